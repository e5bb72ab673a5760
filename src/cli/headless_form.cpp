// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/headless_form.h"

#include "form/control_ids.h"
#include "profile/profile_keys.h"

namespace quarnel::cli {

HeadlessForm::HeadlessForm() {
    for (const std::u16string_view entry : kModeEntries) {
        AddItem(ctl::ModeCombo, std::u16string(entry));
    }
}

std::u16string HeadlessForm::GetText(int id) {
    return m_controls[id].text;
}

void HeadlessForm::SetText(int id, const std::u16string& text) {
    m_controls[id].text = text;
}

bool HeadlessForm::IsChecked(int id) {
    return m_controls[id].checked;
}

void HeadlessForm::SetChecked(int id, bool checked) {
    m_controls[id].checked = checked;
}

int HeadlessForm::GetSelection(int id) {
    return m_controls[id].selection;
}

void HeadlessForm::SetSelection(int id, int index) {
    Control& c = m_controls[id];
    const bool valid = index >= 0 && index < static_cast<int>(c.items.size());
    c.selection = valid ? index : -1;
    c.text = valid ? c.items[static_cast<size_t>(index)] : std::u16string();
}

void HeadlessForm::AddItem(int id, const std::u16string& text) {
    m_controls[id].items.push_back(text);
}

int HeadlessForm::ItemCount(int id) {
    return static_cast<int>(m_controls[id].items.size());
}

bool HeadlessForm::IsEnabled(int id) {
    return m_controls[id].enabled;
}

void HeadlessForm::SetEnabled(int id, bool enabled) {
    m_controls[id].enabled = enabled;
}

bool HeadlessForm::IsVisible(int id) {
    return m_controls[id].visible;
}

void HeadlessForm::SetVisible(int id, bool visible) {
    m_controls[id].visible = visible;
}

int HeadlessForm::GetProgress(int id) {
    return m_controls[id].progress;
}

void HeadlessForm::SetProgress(int id, int position) {
    m_controls[id].progress = position;
    if (m_progress) {
        m_progress(id, position);
    }
}

int HeadlessForm::StartTimer(int, int) {
    return ++m_timers;
}

void HeadlessForm::StopTimer(int) {}

void HeadlessForm::KeepAlive() {}

void HeadlessForm::OnProgress(std::function<void(int id, int position)> observer) {
    m_progress = std::move(observer);
}

}  // namespace quarnel::cli
