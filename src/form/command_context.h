// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "device/device_link.h"
#include "form/form_access.h"
#include "form/ui_services.h"

namespace quarnel {

// Everything a command handler works with: the device link, the window and its modal
// services. All three are handed in, so a test can run any command on the simulated
// tracker and an in-memory form.
struct CommandContext {
    DeviceLink link;
    FormAccess& form;
    UiServices& ui;
};

}  // namespace quarnel
