// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "form/control_names.h"

#include <algorithm>
#include <array>
#include <initializer_list>

#include "form/control_ids.h"
#include "form/control_table.h"

namespace quarnel {

namespace {

struct NamedBy {
    int id;
    std::initializer_list<int> sources;
};

// The controls that the text just before them does not name. The time fields come after
// a ":" or the row's label; the speed limit after its check box, with its unit after it;
// the address-mode boxes are drawn in the row of their port; the progress bars belong to
// the command whose progress they show.
const std::array kNamedBy{
    NamedBy{ctl::OverSpeedEdit, {ctl::OverSpeedAlarmCheck, ctl::KmhLabel}},
    NamedBy{ctl::SleepHourEdit, {ctl::TimeToSleepLabel, ctl::HourLabel}},
    NamedBy{ctl::SleepMinEdit, {ctl::TimeToSleepLabel, ctl::MinLabel}},
    NamedBy{ctl::SleepSecEdit, {ctl::TimeToSleepLabel, ctl::SecLabel}},
    NamedBy{ctl::WakeupHourEdit, {ctl::TimeToWakeupLabel, ctl::HourLabel}},
    NamedBy{ctl::WakeupMinEdit, {ctl::TimeToWakeupLabel, ctl::MinLabel}},
    NamedBy{ctl::WakeupSecEdit, {ctl::TimeToWakeupLabel, ctl::SecLabel}},
    NamedBy{ctl::TcpCheck, {ctl::TcpPortLabel}},
    NamedBy{ctl::UdpCheck, {ctl::UdpPortLabel}},
    NamedBy{ctl::ReplyCheck, {ctl::ReplyLabel}},
    NamedBy{ctl::LogProgress, {ctl::GetGpsLogButton}},
    NamedBy{ctl::UpdateProgress, {ctl::FirmwareUpdatePanel}},
};

bool ShowsOwnCaption(const ControlSpec& c) {
    switch (c.kind) {
        case ControlKind::PushButton:
        case ControlKind::GroupBox:
            return true;
        case ControlKind::CheckBox:
            return !c.text.empty();
        case ControlKind::Label:
            return !c.Has(style::kSunken);
        case ControlKind::Edit:
        case ControlKind::ProgressBar:
        case ControlKind::ComboBox:
            return false;
    }
    return true;
}

// A combo box's template height includes its dropped-down list, which may reach past its
// panel: the closed field is what the panel holds.
DluRect ClosedRect(const ControlSpec& c) {
    DluRect r = c.rect;
    if (c.kind == ControlKind::ComboBox) {
        r.h = 12;
    }
    return r;
}

bool Holds(const DluRect& outer, const DluRect& inner) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
           inner.y + inner.h <= outer.y + outer.h;
}

}  // namespace

std::vector<int> NameSources(int id) {
    const ControlSpec* control = FindControl(id);
    if (control == nullptr || ShowsOwnCaption(*control)) {
        return {};
    }
    for (const NamedBy& row : kNamedBy) {
        if (row.id == id) {
            return std::vector<int>(row.sources);
        }
    }
    const auto table = ControlTable();
    const auto at =
        std::find_if(table.begin(), table.end(), [id](const ControlSpec& c) { return c.id == id; });
    if (at == table.begin()) {
        return {};
    }
    const ControlSpec& before = *(at - 1);
    if (before.kind != ControlKind::Label || before.id == 0 || before.text.empty()) {
        return {};
    }
    return {before.id};
}

bool IsValueDisplay(int id) {
    const ControlSpec* control = FindControl(id);
    return control != nullptr && control->kind == ControlKind::Label &&
           control->Has(style::kSunken);
}

int EnclosingPanel(int id) {
    const ControlSpec* control = FindControl(id);
    if (control == nullptr) {
        return 0;
    }
    const ControlSpec* best = nullptr;
    for (const ControlSpec& panel : ControlTable()) {
        if (panel.kind != ControlKind::GroupBox || panel.id == id ||
            !Holds(panel.rect, ClosedRect(*control))) {
            continue;
        }
        if (best == nullptr || Holds(best->rect, panel.rect)) {
            best = &panel;
        }
    }
    return best != nullptr ? best->id : 0;
}

}  // namespace quarnel
