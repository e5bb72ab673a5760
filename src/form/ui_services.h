// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quarnel {

struct FileFilter {
    std::u16string display;  // "CSV Files (*.csv)"
    std::u16string pattern;  // "*.csv"
};

struct FileDialogOptions {
    std::vector<FileFilter> filters;
    // Added when the chosen name has none, without a dot. A save dialog whose user picks
    // another file type adds that type's extension instead (a pattern "*.gpx" gives "gpx").
    std::u16string defaultExtension;
};

// The file a save dialog chose, and the file type it was chosen under.
struct SaveChoice {
    std::filesystem::path path;
    size_t filter = 0;  // index into FileDialogOptions::filters; 0, the first, by default
    bool operator==(const SaveChoice&) const = default;
};

// Modal services of the window. Same thread rule as FormAccess: a background task
// reaches them through a wrapper that carries each call to the window's thread and waits
// for its answer.
class UiServices {
public:
    virtual ~UiServices() = default;

    // A modal message box with one OK button, the exclamation icon and the application
    // name as caption. Returns when the user has dismissed it.
    virtual void ShowMessage(const std::u16string& text) = 0;

    // The generic error box for an unexpected error that ended a handler.
    virtual void ShowErrorBox(const std::u16string& text) = 0;

    // Save and open dialogs; nullopt when the user cancels. The save dialog opens on the
    // first file type and reports the one the user left selected.
    virtual std::optional<SaveChoice> SaveFileDialog(const FileDialogOptions& options) = 0;
    virtual std::optional<std::filesystem::path> OpenFileDialog(
        const FileDialogOptions& options) = 0;
};

}  // namespace quarnel
