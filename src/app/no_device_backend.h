// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "device/hid_backend.h"

namespace quarnel {

// A HID layer with no devices at all: what the program uses when the platform's HID
// library cannot be started, so every command says "USB CONNECT FAILURE".
class NoDeviceBackend final : public HidBackend {
public:
    std::vector<std::string> EnumerateInterfaces() override { return {}; }
    std::unique_ptr<HidChannel> Open(const std::string&, HidAccess) override { return nullptr; }
};

}  // namespace quarnel
