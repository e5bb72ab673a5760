// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/qt_ui_services.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

namespace quarnel {

namespace {

QString ToQString(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const std::u16string& text) {
    QMessageBox box(icon, ApplicationName(), ToQString(text), QMessageBox::Ok, parent);
    box.exec();
}

std::optional<SaveChoice> RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode,
                                        const FileDialogOptions& options) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    const QStringList filters = NameFilters(options);
    if (mode == QFileDialog::AcceptSave) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        // A name typed without an extension gets the chosen type's, as on Windows.
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog, &options, &filters](const QString& filter) {
                             dialog.setDefaultSuffix(FilterExtension(
                                 options, static_cast<int>(filters.indexOf(filter))));
                         });
    }
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(ToQString(options.defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QByteArray local = QFile::encodeName(dialog.selectedFiles().constFirst());
    const qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
    return SaveChoice{std::filesystem::path(local.toStdString()),
                      chosen < 0 ? size_t{0} : static_cast<size_t>(chosen)};
}

}  // namespace

QString ApplicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QStringList NameFilters(const FileDialogOptions& options) {
    QStringList filters;
    for (const FileFilter& f : options.filters) {
        QString pattern = ToQString(f.pattern);
        QString display = ToQString(f.display);
        if (pattern == QStringLiteral("*.*")) {
            pattern = QStringLiteral("*");
            display.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
        }
        if (!display.contains(u'(')) {
            display += QStringLiteral(" (") + pattern + u')';
        }
        filters << display;
    }
    return filters;
}

QString FilterExtension(const FileDialogOptions& options, int filter) {
    if (filter >= 0 && static_cast<size_t>(filter) < options.filters.size()) {
        const QString pattern = ToQString(options.filters[static_cast<size_t>(filter)].pattern);
        static const QRegularExpression plain(QStringLiteral("^\\*\\.([A-Za-z0-9]+)$"));
        const QRegularExpressionMatch match = plain.match(pattern);
        if (match.hasMatch()) {
            return match.captured(1);
        }
    }
    return ToQString(options.defaultExtension);
}

void QtUiServices::ShowMessage(const std::u16string& text) {
    ShowBox(m_parent, QMessageBox::Warning, text);
}

void QtUiServices::ShowErrorBox(const std::u16string& text) {
    ShowBox(m_parent, QMessageBox::Critical, text);
}

std::optional<SaveChoice> QtUiServices::SaveFileDialog(const FileDialogOptions& options) {
    return RunFileDialog(m_parent, QFileDialog::AcceptSave, options);
}

std::optional<std::filesystem::path> QtUiServices::OpenFileDialog(
    const FileDialogOptions& options) {
    const std::optional<SaveChoice> chosen =
        RunFileDialog(m_parent, QFileDialog::AcceptOpen, options);
    if (!chosen) {
        return std::nullopt;
    }
    return chosen->path;
}

}  // namespace quarnel
