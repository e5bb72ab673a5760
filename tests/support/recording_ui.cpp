// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/recording_ui.h"

#include <cstdio>

namespace quarnel::test {

void RecordingUi::ShowMessage(const std::u16string& text) {
    std::function<void(const std::u16string&)> hook;
    {
        std::lock_guard l(m_mutex);
        m_events.push_back({Event::Message, text, {}});
        hook = m_onMessage;
    }
    if (hook) {
        hook(text);
    }
}

void RecordingUi::ShowErrorBox(const std::u16string& text) {
    std::lock_guard l(m_mutex);
    m_events.push_back({Event::ErrorBox, text, {}});
}

std::optional<SaveChoice> RecordingUi::SaveFileDialog(const FileDialogOptions& options) {
    std::lock_guard l(m_mutex);
    m_events.push_back({Event::SaveDialog, {}, options});
    return NextAnswer();
}

std::optional<std::filesystem::path> RecordingUi::OpenFileDialog(const FileDialogOptions& options) {
    std::lock_guard l(m_mutex);
    m_events.push_back({Event::OpenDialog, {}, options});
    std::optional<SaveChoice> answer = NextAnswer();
    if (!answer) {
        return std::nullopt;
    }
    return answer->path;
}

std::optional<SaveChoice> RecordingUi::NextAnswer() {
    if (m_answers.empty()) {
        return std::nullopt;
    }
    auto answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

void RecordingUi::QueueDialogAnswer(std::optional<std::filesystem::path> answer) {
    std::lock_guard l(m_mutex);
    if (answer) {
        m_answers.push_back(SaveChoice{std::move(*answer), 0});
    } else {
        m_answers.push_back(std::nullopt);
    }
}

void RecordingUi::QueueSaveAnswer(std::filesystem::path path, size_t filter) {
    std::lock_guard l(m_mutex);
    m_answers.push_back(SaveChoice{std::move(path), filter});
}

void RecordingUi::OnMessage(std::function<void(const std::u16string&)> hook) {
    std::lock_guard l(m_mutex);
    m_onMessage = std::move(hook);
}

std::vector<RecordingUi::Event> RecordingUi::Events() {
    std::lock_guard l(m_mutex);
    return m_events;
}

std::vector<std::u16string> RecordingUi::Messages() {
    std::lock_guard l(m_mutex);
    std::vector<std::u16string> out;
    for (const Event& e : m_events) {
        if (e.kind == Event::Message) {
            out.push_back(e.text);
        }
    }
    return out;
}

std::vector<std::u16string> RecordingUi::ErrorBoxes() {
    std::lock_guard l(m_mutex);
    std::vector<std::u16string> out;
    for (const Event& e : m_events) {
        if (e.kind == Event::ErrorBox) {
            out.push_back(e.text);
        }
    }
    return out;
}

std::string Narrow(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            char buf[10];
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
            out += buf;
        }
    }
    return out;
}

}  // namespace quarnel::test
