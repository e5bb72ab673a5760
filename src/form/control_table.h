// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace quarnel {

// The main form's template: every control with its ID, kind, caption, place and the style
// facts its behaviour depends on, in creation order. The window is built by walking this
// table, and creation order is also the order the Tab key visits the visible tab stops.
// Positions and sizes are dialog units of the form's font (see the window's conversion).

enum class ControlKind : uint8_t {
    PushButton,
    CheckBox,
    Edit,
    Label,
    GroupBox,
    ProgressBar,
    ComboBox,
};

// Style facts, combined as a bit set.
namespace style {
inline constexpr uint32_t kNone = 0;
inline constexpr uint32_t kHidden = 1u << 0;        // created invisible; nothing ever shows it
inline constexpr uint32_t kReadOnly = 1u << 1;      // edit the user cannot change
inline constexpr uint32_t kDigitsOnly = 1u << 2;    // edit that refuses typed non-digits
inline constexpr uint32_t kTabStop = 1u << 3;       // visited by the Tab key
inline constexpr uint32_t kMultiLine = 1u << 4;     // phone edit: word-wrapped, no scroll bars
inline constexpr uint32_t kAutoHScroll = 1u << 5;   // single-line edit scrolls while typing
inline constexpr uint32_t kFlat = 1u << 6;          // group box drawn flat (else 3-D)
inline constexpr uint32_t kSmooth = 1u << 7;        // progress bar continuous (else segmented)
inline constexpr uint32_t kRightAligned = 1u << 8;  // label text right-aligned
inline constexpr uint32_t kBordered = 1u << 9;      // plain one-pixel border
inline constexpr uint32_t kSunken = 1u << 10;       // sunken 3-D client edge
}  // namespace style

struct DluRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    friend bool operator==(const DluRect&, const DluRect&) = default;
};

struct ControlSpec {
    int id;  // 0 for the labels that have none
    ControlKind kind;
    std::u16string_view text;  // the template's caption; empty for none
    DluRect rect;
    uint32_t styles;
    int inputLimit;  // characters the user may type; 0 = the platform's default

    bool Has(uint32_t s) const { return (styles & s) == s; }
};

// The form itself.
inline constexpr int kFormWidthDlu = 578;
inline constexpr int kFormHeightDlu = 294;
inline constexpr std::u16string_view kTemplateCaption = u"(14020701)";
inline constexpr int kFormPointSize = 9;

// Every control, in creation order.
std::span<const ControlSpec> ControlTable();

// The control with `id`, or nullptr (also for 0: the unnamed labels have no ID).
const ControlSpec* FindControl(int id);

// The controls the form holds as typed handles, in the order they are bound.
std::span<const int> BindingOrder();

}  // namespace quarnel
