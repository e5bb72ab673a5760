// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "app/no_device_backend.h"
#include "app/quarnel_dlg.h"
#include "device/clock.h"
#include "device/command_areas.h"
#include "support/recording_ui.h"

namespace quarnel::test {

// A main form on a HID layer without devices, with recorded message boxes and an empty
// program directory of its own (no Player.ini, no Lang folder).
class FormFixture {
public:
    FormFixture() { Rebuild(); }
    // A form on `link` (a simulated tracker, say) instead of a HID layer without devices.
    explicit FormFixture(const DeviceLink& link) : m_link(link) { Rebuild(); }

    void Rebuild() {
        form.reset();
        DlgOptions options;
        options.programDir = programDir.path().toStdString();
        options.onHelp = [this] { ++helpCalls; };
        form = std::make_unique<CQuarnelDlg>(m_link, ui, options);
        QObject::connect(form.get(), &QDialog::finished, [this](int result) {
            ++finishedCount;
            lastResult = result;
        });
    }

    // Shows the form (which runs its start-up) and makes it the active window.
    bool Show() {
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get())) {
            return false;
        }
        form->activateWindow();
        return QTest::qWaitForWindowActive(form.get());
    }

    QWidget* C(int id) const { return form->Control(id); }

    NoDeviceBackend backend;
    SteadyClock clock;
    CommandAreas areas;
    RecordingUi ui;
    QTemporaryDir programDir;
    int helpCalls = 0;
    int finishedCount = 0;
    int lastResult = -1;
    std::unique_ptr<CQuarnelDlg> form;

private:
    DeviceLink m_link{backend, clock, areas};
};

// Runs the window's event loop until `done` holds or `timeoutMs` has passed; unlike a
// sleep-and-poll wait it serves a worker's calls the moment they arrive.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
    if (done()) {
        return true;
    }
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(2);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done()) {
            loop.quit();
        }
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start();
    loop.exec();
    return done();
}

// The ID of the control that `w` is or belongs to (a combo box's line edit and list
// belong to the combo box); -1 for none.
inline int ControlIdOf(const QWidget* w) {
    while (w != nullptr) {
        const QVariant id = w->property("controlId");
        if (id.isValid()) {
            return id.toInt();
        }
        w = w->parentWidget();
    }
    return -1;
}

}  // namespace quarnel::test
