// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/cli_ui.h"

#include <algorithm>
#include <cerrno>

#include "os/files.h"

namespace quarnel::cli {

namespace {

// Opens and closes `path` as the command will; the error when that fails.
std::error_code Try(const std::filesystem::path& path, bool forWriting) {
    const int fd = os::Open(path, forWriting ? os::Access::ReadWriteCreate : os::Access::Read);
    // A folder to read from opens on Linux and fails only when read; the command reports
    // that failure in its own words, so a folder refused at the open (Windows) goes on too.
    if (fd < 0 && !forWriting && errno == EISDIR) {
        return {};
    }
    if (fd < 0) {
        return std::error_code(errno, std::generic_category());
    }
    os::Close(fd);
    return {};
}

}  // namespace

void CliUi::AnswerDialogsWith(std::vector<std::filesystem::path> paths) {
    m_answers.assign(paths.begin(), paths.end());
}

void CliUi::ShowMessage(const std::u16string& text) {
    m_messages.push_back(text);
}

void CliUi::ShowErrorBox(const std::u16string& text) {
    m_errorBoxes.push_back(text);
}

std::optional<SaveChoice> CliUi::SaveFileDialog(const FileDialogOptions&) {
    std::optional<std::filesystem::path> path = Answer(true);
    if (!path) {
        return std::nullopt;
    }
    return SaveChoice{std::move(*path), 0};
}

std::optional<std::filesystem::path> CliUi::OpenFileDialog(const FileDialogOptions&) {
    return Answer(false);
}

std::optional<std::filesystem::path> CliUi::Answer(bool forWriting) {
    ++m_dialogs;
    if (m_answers.empty() || m_trouble) {
        return std::nullopt;
    }
    std::filesystem::path path = std::move(m_answers.front());
    m_answers.pop_front();
    if (const std::error_code error = Try(path, forWriting)) {
        m_trouble = FileTrouble{path, error};
        return std::nullopt;
    }
    return path;
}

bool CliUi::Said(std::u16string_view message) const {
    return std::find(m_messages.begin(), m_messages.end(), message) != m_messages.end();
}

const std::u16string* CliUi::SaidStartingWith(std::u16string_view lead) const {
    for (const std::u16string& m : m_messages) {
        if (std::u16string_view(m).starts_with(lead)) {
            return &m;
        }
    }
    return nullptr;
}

}  // namespace quarnel::cli
