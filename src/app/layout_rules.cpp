// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/layout_rules.h"

#include <algorithm>

namespace quarnel {

namespace {

constexpr int kTimeLabelWidth = 300;
constexpr int kEditsBelowLabel = 30;
constexpr int kEditLeftOfUnit = 7;
constexpr int kWrapRaise = 10;

PxRect MovedTo(PxRect r, int left, int top) {
    r.left = left;
    r.top = top;
    return r;
}

}  // namespace

PxRect WrapTimeToSleepLabel(const PxRect& label, int textWidth) {
    if (textWidth + 5 > label.width) {
        return {label.left, label.top - kWrapRaise, label.width, label.height + 18};
    }
    return label;
}

PxRect WrapTimeToWakeupLabel(const PxRect& label, int textWidth) {
    if (textWidth > label.width) {
        return {label.left, label.top - kWrapRaise, label.width, label.height + 15};
    }
    return label;
}

SleepPanelRects FirmwareHiddenLayout(const SleepPanelRects& in) {
    SleepPanelRects out = in;
    const PxRect& s = in.sleepPanel;
    const PxRect& v = in.serverPanel;
    out.sleepPanel = {s.left, s.top, s.right() - s.left, v.bottom() - s.top};

    const PxRect& a = in.timeToSleep;
    out.timeToSleep = {a.left, a.top, kTimeLabelWidth, a.bottom() - a.top};

    const int sleepRow = a.top + kEditsBelowLabel;
    out.sleepHour = MovedTo(in.sleepHour, in.hour.left - kEditLeftOfUnit, sleepRow);
    out.sleepMin = MovedTo(in.sleepMin, in.min.left - kEditLeftOfUnit, sleepRow);
    out.sleepSec = MovedTo(in.sleepSec, in.sec.left - kEditLeftOfUnit, sleepRow);

    const PxRect& w = in.timeToWakeup;
    out.timeToWakeup = {w.left, a.top + (v.bottom() - a.top) / 2, kTimeLabelWidth,
                        w.bottom() - w.top};

    const int wakeRow = out.timeToWakeup.top + kEditsBelowLabel;
    out.wakeHour = MovedTo(in.wakeHour, in.hour.left - kEditLeftOfUnit, wakeRow);
    out.wakeMin = MovedTo(in.wakeMin, in.min.left - kEditLeftOfUnit, wakeRow);
    out.wakeSec = MovedTo(in.wakeSec, in.sec.left - kEditLeftOfUnit, wakeRow);
    return out;
}

PxPoint CentredTopLeft(int width, int height, const PxRect& workArea) {
    // The framework's centring: middle of the area less half the size, then pulled back
    // inside the area, the top-left corner winning when the form is larger than it.
    auto place = [](int start, int extent, int size) {
        int at = (start + (start + extent)) / 2 - size / 2;
        at = std::min(at, start + extent - size);
        return std::max(at, start);
    };
    return {place(workArea.left, workArea.width, width),
            place(workArea.top, workArea.height, height)};
}

}  // namespace quarnel
