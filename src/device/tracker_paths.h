// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <vector>

#include "device/hid_backend.h"

namespace quarnel {

// Every attached tracker, for the tools that serve several at once. The window keeps its
// own rule: CHidIO::Open takes the first tracker found.

// The paths of the attached trackers in enumeration order: the interfaces whose attributes,
// read as CHidIO::Open reads them (no access rights), show the tracker's vendor and product
// ID. A device that cannot even be probed is passed over, as Open passes it over; one that
// can be probed but not opened for reading or writing is listed.
std::vector<std::string> FindTrackerPaths(HidBackend& backend);

// Whether `path` is enumerated now but is not a tracker.
bool IsForeignDevice(HidBackend& backend, const std::string& path);

// Another backend as seen through a keyhole: it enumerates `path` alone (while the other
// backend enumerates it) and opens nothing else, so CHidIO::Open through it finds that one
// tracker or none. Each of several trackers' commands is handed its own, so a command can
// never wander to another tracker. Enumerating asks the other backend afresh every time, so
// a tracker that went away is not found.
class OnePathBackend final : public HidBackend {
public:
    OnePathBackend(HidBackend& inner, std::string path) : m_inner(inner), m_path(std::move(path)) {}

    std::vector<std::string> EnumerateInterfaces() override;
    std::unique_ptr<HidChannel> Open(const std::string& path, HidAccess access) override;

    const std::string& Path() const { return m_path; }

private:
    HidBackend& m_inner;
    std::string m_path;
};

}  // namespace quarnel
