// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/quarnel_app.h"

#include <clocale>

#include <QDialog>
#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/qt_ui_services.h"
#include "app/quarnel_dlg.h"

namespace quarnel {

void ConfigureApplication(QApplication& app) {
    // Qt takes the user's locale for the C library too, and a decimal comma there would
    // put commas into the CSV's numbers, whose format is fixed.
    std::setlocale(LC_NUMERIC, "C");
    app.setStyle(QStringLiteral("Windows"));
    // The settings root is named, as the platform expects of an application, but the
    // program never reads or writes anything under it.
    QCoreApplication::setOrganizationName(QStringLiteral("本機 AppWizard 所產生的應用程式"));
}

CQuarnelApp::CQuarnelApp(int& argc, char** argv, const DeviceLink& link)
    : QApplication(argc, argv), m_link(link) {
    ConfigureApplication(*this);
}

bool CQuarnelApp::InitInstance() {
    QtUiServices ui;
    DlgOptions options;
    options.onHelp = [this] { OnHelp(); };
    CQuarnelDlg dlg(m_link, ui, options);
    ui.SetParent(&dlg);
    m_mainWindow = &dlg;
    dlg.DoModal();
    m_mainWindow = nullptr;
    return false;
}

QString CQuarnelApp::UserGuidePath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/user-guide.md");
}

void CQuarnelApp::OnHelp() {
    if (m_guide != nullptr) {
        m_guide->show();
        m_guide->raise();
        m_guide->activateWindow();
        return;
    }
    const QString path = UserGuidePath();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        QtUiServices(m_mainWindow)
            .ShowMessage(
                (QStringLiteral("The user guide cannot be opened: ") + path).toStdU16String());
        return;
    }
    // A window of the form's own, not modal, so the guide can stay open beside it.
    auto* guide = new QDialog(m_mainWindow, Qt::Window);
    guide->setAttribute(Qt::WA_DeleteOnClose);
    guide->setWindowTitle(ApplicationName() + QStringLiteral(" Help"));
    auto* text = new QTextBrowser(guide);
    text->setOpenExternalLinks(true);
    text->setMarkdown(QString::fromUtf8(file.readAll()));
    auto* layout = new QVBoxLayout(guide);
    layout->addWidget(text);
    guide->resize(640, 560);
    m_guide = guide;
    guide->show();
}

}  // namespace quarnel
