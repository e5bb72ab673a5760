// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "form/command_context.h"

namespace quarnel {

// Click handler of the Update button (1004): checks an image against its digest file
// and sends it to the tracker. Runs to its end on the window's thread.
void OnUpdateFirmware(CommandContext& ctx);

}  // namespace quarnel
