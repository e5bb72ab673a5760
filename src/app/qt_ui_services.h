// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "form/ui_services.h"

namespace quarnel {

// The application name: the executable's file name without its extension. It is the
// caption of every message box.
QString ApplicationName();

// The file dialog's name filters for `options`. "*.*" means every file, as it does on the
// platform the patterns come from; here that is "*", or names without a dot would be
// left out.
QStringList NameFilters(const FileDialogOptions& options);

// The extension a file type adds to a name typed without one: the pattern's when it is one
// plain "*.ext", else the dialog's default extension.
QString FilterExtension(const FileDialogOptions& options, int filter);

// Message boxes and file dialogs in Qt, modal to the main form. Window's thread only.
class QtUiServices final : public UiServices {
public:
    explicit QtUiServices(QWidget* parent = nullptr) : m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }

    // A warning-icon box with one OK button and the application name as caption.
    void ShowMessage(const std::u16string& text) override;
    // The same box with the error icon.
    void ShowErrorBox(const std::u16string& text) override;
    // The save dialog never asks before replacing a file: the download empties the file
    // it is given anyway. Picking another file type makes its extension the one added to a
    // name typed without one.
    std::optional<SaveChoice> SaveFileDialog(const FileDialogOptions& options) override;
    std::optional<std::filesystem::path> OpenFileDialog(const FileDialogOptions& options) override;

private:
    QPointer<QWidget> m_parent;
};

}  // namespace quarnel
