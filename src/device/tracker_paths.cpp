// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "device/tracker_paths.h"

#include <algorithm>

#include "device/hid_io.h"

namespace quarnel {

namespace {

// The attributes of `path`, probed as CHidIO::Open probes them; false when it cannot be.
bool Probe(HidBackend& backend, const std::string& path, HidAttributes& attributes) {
    std::unique_ptr<HidChannel> probe = backend.Open(path, HidAccess::None);
    return probe && probe->GetAttributes(attributes);
}

bool IsTracker(const HidAttributes& a) {
    return a.vendorId == kTrackerVendorId && a.productId == kTrackerProductId;
}

}  // namespace

std::vector<std::string> FindTrackerPaths(HidBackend& backend) {
    std::vector<std::string> trackers;
    for (const std::string& path : backend.EnumerateInterfaces()) {
        HidAttributes attributes;
        if (Probe(backend, path, attributes) && IsTracker(attributes)) {
            trackers.push_back(path);
        }
    }
    return trackers;
}

bool IsForeignDevice(HidBackend& backend, const std::string& path) {
    const std::vector<std::string> present = backend.EnumerateInterfaces();
    if (std::find(present.begin(), present.end(), path) == present.end()) {
        return false;
    }
    HidAttributes attributes;
    return Probe(backend, path, attributes) && !IsTracker(attributes);
}

std::vector<std::string> OnePathBackend::EnumerateInterfaces() {
    std::vector<std::string> paths = m_inner.EnumerateInterfaces();
    if (std::find(paths.begin(), paths.end(), m_path) == paths.end()) {
        return {};
    }
    return {m_path};
}

std::unique_ptr<HidChannel> OnePathBackend::Open(const std::string& path, HidAccess access) {
    if (path != m_path) {
        return nullptr;
    }
    return m_inner.Open(path, access);
}

}  // namespace quarnel
