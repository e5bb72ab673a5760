// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "form/ui_services.h"

namespace quarnel::cli {

// The window's modal services on the command line: the file dialogs are answered with the
// files named on the command line, in the order the command asks for them (a save dialog
// with its first file type), and every message is kept for the command to judge once the
// window's logic has run.
//
// Like a file dialog that will not accept a name it cannot use, each answer is tried
// first: the save dialog's file must open for reading and writing (it is created if need
// be, as the command would create it a moment later), the open dialog's for reading. A
// file that fails is answered as a cancelled dialog, and the reason is kept. One thread.
class CliUi final : public UiServices {
public:
    // The answers for the coming dialogs; a dialog beyond them is cancelled.
    void AnswerDialogsWith(std::vector<std::filesystem::path> paths);

    void ShowMessage(const std::u16string& text) override;
    void ShowErrorBox(const std::u16string& text) override;
    std::optional<SaveChoice> SaveFileDialog(const FileDialogOptions& options) override;
    std::optional<std::filesystem::path> OpenFileDialog(const FileDialogOptions& options) override;

    const std::vector<std::u16string>& Messages() const { return m_messages; }
    const std::vector<std::u16string>& ErrorBoxes() const { return m_errorBoxes; }
    bool Said(std::u16string_view message) const;
    // The first message that starts with `lead`, or nullptr.
    const std::u16string* SaidStartingWith(std::u16string_view lead) const;
    size_t DialogsAsked() const { return m_dialogs; }

    // A file named on the command line that the dialog could not accept.
    struct FileTrouble {
        std::filesystem::path path;
        std::error_code error;
    };
    const std::optional<FileTrouble>& Trouble() const { return m_trouble; }

private:
    std::optional<std::filesystem::path> Answer(bool forWriting);

    std::deque<std::filesystem::path> m_answers;
    std::vector<std::u16string> m_messages;
    std::vector<std::u16string> m_errorBoxes;
    size_t m_dialogs = 0;
    std::optional<FileTrouble> m_trouble;
};

}  // namespace quarnel::cli
