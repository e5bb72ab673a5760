// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <vector>

namespace quarnel {
class CQuarnelDlg;
}

namespace quarnel::test {

// Whether the captions on a started form fit their controls. Each caption is drawn as its
// control draws it (the control's font, the style's rectangles, the same alignment and
// wrapping) but without clipping, and the pixels its glyphs cover are compared with the
// room the control has: a push button's text within the button less its frame and the
// style's text margin, a check box's text beside the box, a label's text within its width
// and the lines its height holds (one line for most labels, two or more for the ones that
// wrap), a panel's title between the panel's edges, and each Mode choice within the combo
// box's text field. Hidden controls are not looked at.
struct CaptionOverflow {
    int controlId = 0;    // 0 for the labels without an ID
    std::string control;  // "push button 1001 (Get Parameter)"
    std::string entry;    // the language file's entry: "[BUTTON] entry 0"; empty for none
    std::string text;     // the caption, UTF-8
    std::string how;      // "too wide" or "too tall"
    int overflowPx = 0;   // glyph pixels outside the room, both sides together (> 0)
    int neededPx = 0;     // the width (or height) the glyphs span
    int roomPx = 0;       // what the control has for them
};

// The captions with more than `allowedPx` pixels of glyphs outside their room.
std::vector<CaptionOverflow> CaptionOverflows(const CQuarnelDlg& form, int allowedPx);

// One line for a failure message: control, entry, text and the overflow in pixels.
std::string Describe(const CaptionOverflow& overflow);

}  // namespace quarnel::test
