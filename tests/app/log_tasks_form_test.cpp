// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The log download and erase started from the form: their workers reach the window
// through its bridge, the window timers give the buttons back, and closing the form
// while a worker waits for it neither hangs nor shows anything.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "form/control_ids.h"
#include "form_fixture.h"
#include "gpslog/log_tasks.h"
#include "sim/sim_state.h"
#include "support/sim_fixture.h"

namespace quarnel {
namespace {

using test::FormFixture;
using test::RecordingUi;
using test::SimRig;

// The shipped English files beside the form, so the timers find their captions.
void CopyEnglish(const QString& dir) {
    const QString data = QStringLiteral(QUARNEL_DATA_DIR);
    ASSERT_TRUE(QFile::copy(data + "/Player.ini", dir + "/Player.ini"));
    ASSERT_TRUE(QDir().mkpath(dir + "/Lang"));
    ASSERT_TRUE(QFile::copy(data + "/Lang/English.ini", dir + "/Lang/English.ini"));
}

class LogTasksOnTheForm : public ::testing::Test {
protected:
    void SetUp() override {
        CopyEnglish(f.programDir.path());
        ASSERT_TRUE(f.Show());
        ASSERT_TRUE(f.ui.Events().empty());
    }
    void Click(int id) { QTest::mouseClick(f.C(id), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4)); }

    SimRig rig{sim::DemoState()};
    FormFixture f{rig.Link()};
    QTemporaryDir out;
};

TEST_F(LogTasksOnTheForm, DownloadSavesTheLogAndGivesTheButtonBack) {
    const QString csv = out.filePath(QStringLiteral("track.csv"));
    f.ui.QueueDialogAnswer(std::filesystem::path(csv.toStdString()));
    Click(ctl::GetGpsLogButton);
    EXPECT_FALSE(f.form->IsEnabled(ctl::GetGpsLogButton));

    ASSERT_TRUE(test::WaitUntil(
        [&] {
            return f.form->IsEnabled(ctl::GetGpsLogButton) &&
                   f.form->GetText(ctl::GetGpsLogButton) == u"Get GPS Log" &&
                   f.form->IsEnabled(ctl::GetParameterButton);
        },
        20000));
    const auto events = f.ui.Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events[0].kind, RecordingUi::Event::SaveDialog);
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_GT(file.readAll().count('\n'), 1);
    EXPECT_EQ(f.form->GetProgress(ctl::LogProgress), 0);
}

// Each file type of the save dialog: the file is written in it, and the button, the bar
// and the (absent) messages are those of the CSV.
TEST_F(LogTasksOnTheForm, DownloadWritesTheTypeChosenInTheSaveDialog) {
    struct Type {
        size_t filter;
        const char* file;
        QByteArray start;
    };
    for (const Type& type :
         {Type{0, "a.csv", "INDEX,RCR,DATE,TIME,"}, Type{1, "b.gpx", "<?xml version=\"1.0\""},
          Type{2, "c.kml", "<?xml version=\"1.0\""}, Type{3, "d.html", "<!DOCTYPE html>\n"}}) {
        SCOPED_TRACE(type.file);
        const QString path = out.filePath(QString::fromUtf8(type.file));
        f.ui.QueueSaveAnswer(std::filesystem::path(path.toStdString()), type.filter);
        const size_t before = f.ui.Events().size();
        Click(ctl::GetGpsLogButton);
        // The worker gives the button back a moment before it raises its flag, and a click
        // in between is refused: the download has ended once the timer has seen the flag
        // and given the other commands back too.
        ASSERT_TRUE(test::WaitUntil(
            [&] {
                return f.ui.Events().size() > before && f.form->IsEnabled(ctl::GetGpsLogButton) &&
                       f.form->GetText(ctl::GetGpsLogButton) == u"Get GPS Log" &&
                       f.form->IsEnabled(ctl::EraseGpsLogButton);
            },
            20000));
        const auto events = f.ui.Events();
        ASSERT_EQ(events.size(), before + 1) << "the save dialog, and no message";
        EXPECT_EQ(events[before].kind, RecordingUi::Event::SaveDialog);
        EXPECT_EQ(events[before].options.filters.size(), 4u);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes.startsWith(type.start)) << bytes.left(80).toStdString();
        EXPECT_EQ(f.form->GetProgress(ctl::LogProgress), 0);
    }
    QFile page(out.filePath(QStringLiteral("d.html")));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().contains("<dd id=\"points\" data-value=\"240\">240</dd>"));
}

TEST_F(LogTasksOnTheForm, EraseGivesTheButtonBackOnATimerTick) {
    Click(ctl::EraseGpsLogButton);
    EXPECT_FALSE(f.form->IsEnabled(ctl::EraseGpsLogButton));
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            return f.form->IsEnabled(ctl::EraseGpsLogButton) &&
                   f.form->GetText(ctl::EraseGpsLogButton) == u"Erase GPS Log";
        },
        20000));
    EXPECT_TRUE(rig.tracker.State().log.empty());
}

TEST_F(LogTasksOnTheForm, ClosingWhileTheDownloadWaitsForTheWindow) {
    f.ui.QueueDialogAnswer(std::filesystem::path(out.filePath("track.csv").toStdString()));
    Click(ctl::GetGpsLogButton);
    // The worker asks for its save dialog through the window, which is not served now:
    // closing settles that request, stops the task and joins its worker.
    f.form->reject();
    EXPECT_EQ(f.finishedCount, 1);
    EXPECT_EQ(g_logDownloadDone.load(), 1);
    EXPECT_TRUE(f.ui.Events().empty());
    EXPECT_FALSE(QFile::exists(out.filePath("track.csv")));
}

TEST(LogTasksWithAShortTable, AMissingCaptionAtTheTimerIsReportedAndLeavesTheButtonOff) {
    SimRig rig{sim::DemoState()};
    FormFixture f{rig.Link()};
    // A language file whose [BUTTON] list stops before the Erase GPS Log caption.
    const QString dir = f.programDir.path();
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUARNEL_DATA_DIR) + "/Player.ini", dir + "/Player.ini"));
    ASSERT_TRUE(QDir().mkpath(dir + "/Lang"));
    QFile lang(dir + "/Lang/English.ini");
    ASSERT_TRUE(lang.open(QIODevice::WriteOnly));
    for (const char16_t* line :
         {u"[BUTTON]\r\n", u"Get Parameter\r\n", u"Set Parameter\r\n", u"Get GPS Log\r\n"}) {
        lang.write(reinterpret_cast<const char*>(line),
                   static_cast<qint64>(std::char_traits<char16_t>::length(line) * 2));
    }
    lang.close();
    ASSERT_TRUE(f.Show());
    ASSERT_EQ(f.ui.ErrorBoxes().size(), 1u);  // the start-up stopped at [BUTTON] entry 3

    QTest::mouseClick(f.C(ctl::EraseGpsLogButton), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    ASSERT_TRUE(test::WaitUntil([&] { return f.ui.ErrorBoxes().size() == 2; }, 20000));
    EXPECT_NE(test::Narrow(f.ui.ErrorBoxes()[1]).find("[BUTTON] entry 3"), std::string::npos);
    EXPECT_FALSE(f.form->IsEnabled(ctl::EraseGpsLogButton));
    EXPECT_TRUE(f.form->isVisible());
}

}  // namespace
}  // namespace quarnel
