// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <vector>

namespace quarnel {

// Where the form's controls get the names a screen reader speaks. The rule is the one the
// dialog manager of the form's home platform uses: a control without a caption of its own is
// named by the static text just before it in creation order (= Tab order). Where that text
// is not the one a person reads beside the control, the table in control_names.cpp names the
// captions that are, in reading order ("Time to Sleep", "Hour"), and the window joins them.
// The names are the captions shown, so they come from the language file like the captions.
//
// A control added to the template needs nothing more when a label precedes it; otherwise
// it gets a row in that table. Buttons and check boxes with a caption are named by it.

// The controls whose captions name control `id`, in reading order; empty when `id` shows
// a caption of its own (buttons, captioned check boxes, labels, panels) or has nothing
// before it that could name it.
std::vector<int> NameSources(int id);

// Whether `id` shows a value rather than a caption (the IMEI display): it is named by its
// label like a field, and its value is what it shows.
bool IsValueDisplay(int id);

// The innermost panel (group box) whose rectangle holds control `id`'s, as drawn in the
// template; 0 when none does or `id` is no control. Its title tells apart controls of the
// same caption in different panels ("Geo Fence" under Security SMS and under Buzzer).
int EnclosingPanel(int id);

}  // namespace quarnel
