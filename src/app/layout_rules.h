// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The form's start-up layout rules as arithmetic on plain rectangles, so that their pixel
// results can be checked without a window. All numbers are pixels in the form's client
// coordinates; the constants are device-independent pixels and never scaled.

namespace quarnel {

struct PxRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    // Edges past the rectangle, as the platform's window rectangles have them.
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    friend bool operator==(const PxRect&, const PxRect&) = default;
};

// Label-wrap adjustment, used while the firmware panel is shown: a time label whose text
// does not fit gets room for a second line. `textWidth` is the text's width measured in
// the platform's default font.
PxRect WrapTimeToSleepLabel(const PxRect& label, int textWidth);   // margin 5, grows 18
PxRect WrapTimeToWakeupLabel(const PxRect& label, int textWidth);  // no margin, grows 15

// The controls the firmware-panel-hidden layout reads and moves.
struct SleepPanelRects {
    PxRect sleepPanel;    // 1105
    PxRect serverPanel;   // 1095 (read only)
    PxRect timeToSleep;   // 1107
    PxRect timeToWakeup;  // 1108
    PxRect hour;          // 1109 (read only)
    PxRect min;           // 1110 (read only)
    PxRect sec;           // 1111 (read only)
    PxRect sleepHour;     // 1040
    PxRect sleepMin;      // 1041
    PxRect sleepSec;      // 1042
    PxRect wakeHour;      // 1047
    PxRect wakeMin;       // 1048
    PxRect wakeSec;       // 1049
    friend bool operator==(const SleepPanelRects&, const SleepPanelRects&) = default;
};

// With the firmware panel hidden, the Sleep Mode panel reaches down to the bottom of the
// Server Config panel, both time labels become 300 pixels wide, the wake group starts
// halfway between the top of Time to Sleep and that bottom, and each row of time edits
// sits 30 pixels below its label's top, 7 pixels left of its unit label.
SleepPanelRects FirmwareHiddenLayout(const SleepPanelRects& in);

// Where the form goes to be centred on `workArea`; a form larger than the area keeps to
// its top-left corner rather than running off it.
struct PxPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PxPoint&, const PxPoint&) = default;
};
PxPoint CentredTopLeft(int width, int height, const PxRect& workArea);

}  // namespace quarnel
