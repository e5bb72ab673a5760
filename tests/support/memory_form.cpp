// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/memory_form.h"

#include "form/control_ids.h"

namespace quarnel::test {

std::u16string MemoryForm::GetText(int id) {
    std::lock_guard l(m_mutex);
    return m_controls[id].text;
}

void MemoryForm::SetText(int id, const std::u16string& text) {
    std::lock_guard l(m_mutex);
    Control& c = m_controls[id];
    c.text = text;
    c.textHistory.push_back(text);
}

bool MemoryForm::IsChecked(int id) {
    std::lock_guard l(m_mutex);
    return m_controls[id].checked;
}

void MemoryForm::SetChecked(int id, bool checked) {
    std::lock_guard l(m_mutex);
    m_controls[id].checked = checked;
}

int MemoryForm::GetSelection(int id) {
    std::lock_guard l(m_mutex);
    return m_controls[id].selection;
}

void MemoryForm::SetSelection(int id, int index) {
    std::lock_guard l(m_mutex);
    Control& c = m_controls[id];
    c.selection = (index >= 0 && index < static_cast<int>(c.items.size())) ? index : -1;
    c.text = c.selection >= 0 ? c.items[static_cast<size_t>(c.selection)] : std::u16string();
}

void MemoryForm::AddItem(int id, const std::u16string& text) {
    std::lock_guard l(m_mutex);
    m_controls[id].items.push_back(text);
}

int MemoryForm::ItemCount(int id) {
    std::lock_guard l(m_mutex);
    return static_cast<int>(m_controls[id].items.size());
}

bool MemoryForm::IsEnabled(int id) {
    std::lock_guard l(m_mutex);
    return m_controls[id].enabled;
}

void MemoryForm::SetEnabled(int id, bool enabled) {
    std::lock_guard l(m_mutex);
    Control& c = m_controls[id];
    c.enabled = enabled;
    c.enabledHistory.push_back(enabled);
}

bool MemoryForm::IsVisible(int id) {
    std::lock_guard l(m_mutex);
    return m_controls[id].visible;
}

void MemoryForm::SetVisible(int id, bool visible) {
    std::lock_guard l(m_mutex);
    m_controls[id].visible = visible;
}

int MemoryForm::GetProgress(int id) {
    std::lock_guard l(m_mutex);
    return m_controls[id].progress;
}

void MemoryForm::SetProgress(int id, int position) {
    std::lock_guard l(m_mutex);
    Control& c = m_controls[id];
    c.progress = position;
    c.progressHistory.push_back(position);
}

int MemoryForm::StartTimer(int timerId, int periodMs) {
    std::lock_guard l(m_mutex);
    m_timers.push_back({timerId, periodMs, true});
    return static_cast<int>(m_timers.size());
}

void MemoryForm::StopTimer(int handle) {
    std::lock_guard l(m_mutex);
    if (handle >= 1 && handle <= static_cast<int>(m_timers.size())) {
        m_timers[static_cast<size_t>(handle - 1)].running = false;
    }
}

void MemoryForm::KeepAlive() {
    std::lock_guard l(m_mutex);
    ++m_keepAlive;
}

MemoryForm::Control MemoryForm::Snapshot(int id) {
    std::lock_guard l(m_mutex);
    return m_controls[id];
}

std::vector<MemoryForm::Timer> MemoryForm::Timers() {
    std::lock_guard l(m_mutex);
    return m_timers;
}

void MemoryForm::AddModeItems() {
    for (const char16_t* mode : {u"Off", u"Light Sleep", u"Deep Sleep", u"Scheduled"}) {
        AddItem(ctl::ModeCombo, mode);
    }
}

}  // namespace quarnel::test
