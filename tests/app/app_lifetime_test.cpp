// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The application object and the programs: the form runs modally and its end ends the
// run; the command line changes nothing; nothing is stored; F1 shows the user guide.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QDir>
#include <QMessageBox>
#include <QStyle>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <cstdlib>
#include <string>

#include "app/no_device_backend.h"
#include "app/quarnel_app.h"
#include "app/quarnel_dlg.h"
#include "device/clock.h"
#include "device/command_areas.h"

namespace quarnel {
namespace {

// One application object for the whole run, as in the program.
class AppEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        m_app =
            std::make_unique<CQuarnelApp>(m_argc, m_argv, DeviceLink{m_backend, m_clock, m_areas});
    }
    void TearDown() override { m_app.reset(); }
    static CQuarnelApp& App() { return *static_cast<CQuarnelApp*>(QCoreApplication::instance()); }

private:
    NoDeviceBackend m_backend;
    SteadyClock m_clock;
    CommandAreas m_areas;
    int m_argc = 1;
    char m_name[32] = "app_lifetime_test";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<CQuarnelApp> m_app;
};

[[maybe_unused]] auto* const g_environment =
    ::testing::AddGlobalTestEnvironment(new AppEnvironment);

TEST(Application, UsesTheClassicStyle) {
    EXPECT_EQ(QApplication::style()->name().toLower(), QStringLiteral("windows"));
}

TEST(Application, RunsTheFormModallyAndReturnsFalseWhenItCloses) {
    QString title;
    bool modal = false;
    QTimer closer;
    closer.setInterval(10);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            box->accept();  // start-up messages, if the program folder lacks its files
        } else if (auto* form = qobject_cast<CQuarnelDlg*>(w)) {
            title = form->windowTitle();
            modal = form->isModal();
            form->close();
        }
    });
    closer.start();
    EXPECT_FALSE(AppEnvironment::App().InitInstance());
    EXPECT_EQ(title, QStringLiteral("Trelvin (14020701)"));
    EXPECT_TRUE(modal);
    // The form was destroyed with InitInstance.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        EXPECT_EQ(qobject_cast<CQuarnelDlg*>(w), nullptr);
    }
}

TEST(Application, HelpShowsTheUserGuideBesideTheProgram) {
    ASSERT_TRUE(QFile::exists(CQuarnelApp::UserGuidePath()))
        << CQuarnelApp::UserGuidePath().toStdString();
    AppEnvironment::App().OnHelp();
    QTextBrowser* text = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && (text = w->findChild<QTextBrowser*>()) != nullptr) {
            EXPECT_FALSE(w->isModal());
            break;
        }
    }
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_TRUE(text->toPlainText().contains(QStringLiteral("Quarnel user guide")));
    text->window()->close();
}

// Runs `command` for `seconds` and says how it ended: the exit status, or 128 + signal.
int RunFor(const std::string& command, int seconds) {
    const int status = std::system(
        ("timeout -s KILL " + std::to_string(seconds) + " " + command + " >/dev/null 2>&1")
            .c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(Program, IgnoresItsCommandLineAndStoresNothing) {
    QTemporaryDir home;
    const std::string env = "env HOME=" + home.path().toStdString() +
                            " XDG_CONFIG_HOME=" + home.path().toStdString() + "/config" +
                            " QT_QPA_PLATFORM=offscreen ";
    // Qt would end at once on an unknown platform plugin; the program never hands it the
    // option, so it runs until it is stopped.
    EXPECT_EQ(RunFor(env + QUARNEL_PROGRAM + " -platform no-such-plugin --help", 3), 128 + SIGKILL);
    // No settings file under the settings root or anywhere else in the configuration.
    const QDir config(home.path() + "/config");
    EXPECT_TRUE(!config.exists() ||
                config.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

}  // namespace
}  // namespace quarnel
