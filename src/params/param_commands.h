// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "form/command_context.h"
#include "params/param_state.h"

namespace quarnel {

// Click handlers of the parameter commands. They run to their end on the window's thread.
void GetParameter(CommandContext& ctx, ParamState& state);  // 1001
void SetParameter(CommandContext& ctx, ParamState& state);  // 1002
void SetDefault(CommandContext& ctx, ParamState& state);    // 1009

// Click on the TCP (1067), UDP (1068) or Reply (1069) check box, after the click has
// toggled the clicked box.
void OnAddressModeClicked(FormAccess& form, int clickedId);

}  // namespace quarnel
