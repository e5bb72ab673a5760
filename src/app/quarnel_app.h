// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QApplication>
#include <QPointer>
#include <QString>

#include "device/device_link.h"

namespace quarnel {

// Settings every program of ours gives Qt before it shows a window: the classic
// "Windows" style and the settings root (under which nothing is ever stored).
void ConfigureApplication(QApplication& app);

// The application: runs the main form modally and ends when it closes. No command line
// of its own, no settings stored, no guard against a second running copy.
class CQuarnelApp final : public QApplication {
    Q_OBJECT
public:
    // `argc` and `argv` must outlive the application, as Qt requires.
    CQuarnelApp(int& argc, char** argv, const DeviceLink& link);

    // Builds the form, runs it modally, destroys it; always returns false, which tells the
    // caller to end the process.
    bool InitInstance();

    // The Help command (F1 on the form): shows the user guide that lies beside the
    // program, or says where it was looked for.
    void OnHelp();

    // Where the user guide is looked for.
    static QString UserGuidePath();

private:
    DeviceLink m_link;
    QPointer<QWidget> m_mainWindow;
    QPointer<QWidget> m_guide;
};

}  // namespace quarnel
