#include "app/qt_ui_services.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace quarnel {

namespace {

QString ToQString(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const std::u16string& text) {
    QMessageBox box(icon, ApplicationName(), ToQString(text), QMessageBox::Ok, parent);
    box.exec();
}

std::optional<std::filesystem::path> RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode,
                                                   const FileDialogOptions& options) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    if (mode == QFileDialog::AcceptSave) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    dialog.setNameFilters(NameFilters(options));
    dialog.setDefaultSuffix(ToQString(options.defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QByteArray local = QFile::encodeName(dialog.selectedFiles().constFirst());
    return std::filesystem::path(local.toStdString());
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

void QtUiServices::ShowMessage(const std::u16string& text) {
    ShowBox(m_parent, QMessageBox::Warning, text);
}

void QtUiServices::ShowErrorBox(const std::u16string& text) {
    ShowBox(m_parent, QMessageBox::Critical, text);
}

std::optional<std::filesystem::path> QtUiServices::SaveFileDialog(
    const FileDialogOptions& options) {
    return RunFileDialog(m_parent, QFileDialog::AcceptSave, options);
}

std::optional<std::filesystem::path> QtUiServices::OpenFileDialog(
    const FileDialogOptions& options) {
    return RunFileDialog(m_parent, QFileDialog::AcceptOpen, options);
}

}  // namespace quarnel
