// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "form/ui_services.h"

namespace quarnel::test {

// UI services that never block: dialogs are answered from a script, and every message,
// error box and dialog request is recorded in order. Thread-safe.
class RecordingUi : public UiServices {
public:
    struct Event {
        enum Kind { Message, ErrorBox, SaveDialog, OpenDialog } kind;
        std::u16string text;        // message text
        FileDialogOptions options;  // dialog options
    };

    void ShowMessage(const std::u16string& text) override;
    void ShowErrorBox(const std::u16string& text) override;
    std::optional<SaveChoice> SaveFileDialog(const FileDialogOptions& options) override;
    std::optional<std::filesystem::path> OpenFileDialog(const FileDialogOptions& options) override;

    // Answers for the next dialogs, in order; nullopt answers "cancel". A dialog with no
    // scripted answer is cancelled. A save dialog answered with a path alone reports its
    // first file type, as when the user leaves the type alone.
    void QueueDialogAnswer(std::optional<std::filesystem::path> answer);
    // A save dialog's answer with the file type the user picked (an index into its filters).
    void QueueSaveAnswer(std::filesystem::path path, size_t filter);
    // Called inside ShowMessage, before it returns (as if while the box is shown).
    void OnMessage(std::function<void(const std::u16string&)> hook);

    std::vector<Event> Events();
    std::vector<std::u16string> Messages();  // message texts only, in order
    std::vector<std::u16string> ErrorBoxes();

private:
    std::optional<SaveChoice> NextAnswer();

    std::mutex m_mutex;
    std::vector<Event> m_events;
    std::deque<std::optional<SaveChoice>> m_answers;
    std::function<void(const std::u16string&)> m_onMessage;
};

// Readable text of a UTF-16 string in test failure output.
std::string Narrow(const std::u16string& text);

}  // namespace quarnel::test
