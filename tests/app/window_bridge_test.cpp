// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The bridge that carries a worker thread's calls to the window's thread, and what
// happens when the window closes while a worker waits on it.
#include "app/window_bridge.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "form/control_ids.h"
#include "form_fixture.h"
#include "support/memory_form.h"
#include "support/recording_ui.h"

namespace quarnel {
namespace {

using namespace std::chrono_literals;

// Records which thread each call ran on.
class ThreadRecordingForm : public test::MemoryForm {
public:
    void SetText(int id, const std::u16string& text) override {
        Note();
        MemoryForm::SetText(id, text);
    }
    std::u16string GetText(int id) override {
        Note();
        return MemoryForm::GetText(id);
    }
    void SetProgress(int id, int position) override {
        Note();
        if (position < 0) {
            throw std::out_of_range("negative progress");
        }
        MemoryForm::SetProgress(id, position);
    }
    std::vector<QThread*> threads() {
        std::lock_guard l(m_mutex);
        return m_threads;
    }

private:
    void Note() {
        std::lock_guard l(m_mutex);
        m_threads.push_back(QThread::currentThread());
    }
    std::mutex m_mutex;
    std::vector<QThread*> m_threads;
};

class Bridge : public ::testing::Test {
protected:
    ~Bridge() override {
        if (worker.joinable()) {
            bridge.BeginClosing();
            worker.join();
        }
    }
    // Keeps the window's thread serving the bridge until `done` or a time-out.
    bool PumpUntil(const std::atomic<bool>& done) {
        return QTest::qWaitFor([&done] { return done.load(); }, 10000);
    }

    QObject window;
    ThreadRecordingForm form;
    test::RecordingUi ui;
    WindowBridge bridge{window, form, ui};
    std::thread worker;
};

TEST_F(Bridge, WorkerCallsRunOnTheWindowThreadInOrder) {
    std::atomic<bool> done{false};
    std::u16string read;
    worker = std::thread([&] {
        for (int i = 0; i < 50; ++i) {
            bridge.Form().SetText(ctl::GetGpsLogButton,
                                  QString::number(i).toStdU16String() + u" %");
        }
        read = bridge.Form().GetText(ctl::GetGpsLogButton);
        bridge.Form().SetProgress(ctl::LogProgress, 100);
        bridge.Ui().ShowMessage(u"USB CONNECT FAILURE");
        done = true;
    });
    ASSERT_TRUE(PumpUntil(done));
    worker.join();

    EXPECT_EQ(read, u"49 %");
    const auto history = form.Snapshot(ctl::GetGpsLogButton).textHistory;
    ASSERT_EQ(history.size(), 50u);
    for (size_t i = 0; i < history.size(); ++i) {
        EXPECT_EQ(history[i], QString::number(static_cast<int>(i)).toStdU16String() + u" %");
    }
    EXPECT_EQ(form.GetProgress(ctl::LogProgress), 100);
    for (QThread* t : form.threads()) {
        EXPECT_EQ(t, window.thread());
    }
    EXPECT_EQ(ui.Messages(), std::vector<std::u16string>{u"USB CONNECT FAILURE"});
}

TEST_F(Bridge, DialogAnswersComeBackToTheWorker) {
    ui.QueueSaveAnswer(std::filesystem::path("/tmp/log.kml"), 2);
    std::atomic<bool> done{false};
    std::optional<SaveChoice> answer;
    worker = std::thread([&] {
        answer = bridge.Ui().SaveFileDialog({{{u"CSV Files (*.csv)", u"*.csv"}}, u"csv"});
        done = true;
    });
    ASSERT_TRUE(PumpUntil(done));
    worker.join();
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(*answer, (SaveChoice{"/tmp/log.kml", 2}));
}

TEST_F(Bridge, CallsOnTheWindowThreadGoStraightThrough) {
    // No event loop runs here: a carried call would wait for ever.
    bridge.Form().SetText(ctl::ApnEdit, u"internet");
    EXPECT_EQ(bridge.Form().GetText(ctl::ApnEdit), u"internet");
    EXPECT_EQ(form.threads().size(), 2u);
}

TEST_F(Bridge, AnExceptionOnTheWindowSideReachesTheWorker) {
    std::atomic<bool> done{false};
    bool caught = false;
    worker = std::thread([&] {
        try {
            bridge.Form().SetProgress(ctl::LogProgress, -1);
        } catch (const std::out_of_range&) {
            caught = true;
        }
        done = true;
    });
    ASSERT_TRUE(PumpUntil(done));
    worker.join();
    EXPECT_TRUE(caught);
}

TEST_F(Bridge, ClosingReleasesAWorkerThatWaitsForTheWindow) {
    std::atomic<bool> calling{false};
    std::atomic<bool> done{false};
    worker = std::thread([&] {
        calling = true;
        bridge.Ui().ShowMessage(u"UNPLUG USB and REBOOT TRACKER");  // the window never serves it
        done = true;
    });
    while (!calling) {
        std::this_thread::yield();
    }
    std::this_thread::sleep_for(20ms);  // let the call be queued and waiting
    EXPECT_FALSE(done);

    bridge.BeginClosing();  // would deadlock the join below if it left the worker waiting
    worker.join();
    EXPECT_TRUE(done);
    // The queued box was settled without being shown.
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_TRUE(bridge.IsClosing());
}

TEST_F(Bridge, AfterClosingWorkerCallsReturnAtOnceWithDefaults) {
    form.SetText(ctl::ApnEdit, u"internet");
    form.SetChecked(ctl::TcpCheck, true);
    form.AddItem(ctl::ModeCombo, u"Normal");
    form.SetSelection(ctl::ModeCombo, 0);
    ui.QueueDialogAnswer(std::filesystem::path("/tmp/log.csv"));
    bridge.BeginClosing();

    worker = std::thread([&] {
        EXPECT_EQ(bridge.Form().GetText(ctl::ApnEdit), u"");
        EXPECT_FALSE(bridge.Form().IsChecked(ctl::TcpCheck));
        EXPECT_EQ(bridge.Form().GetSelection(ctl::ModeCombo), -1);
        EXPECT_EQ(bridge.Form().ItemCount(ctl::ModeCombo), 0);
        EXPECT_FALSE(bridge.Form().IsEnabled(ctl::GetGpsLogButton));
        EXPECT_EQ(bridge.Form().GetProgress(ctl::LogProgress), 0);
        bridge.Form().SetText(ctl::GetGpsLogButton, u"50 %");
        bridge.Form().KeepAlive();
        bridge.Ui().ShowMessage(u"GET FINISH");
        EXPECT_FALSE(bridge.Ui().SaveFileDialog({}).has_value());
        EXPECT_FALSE(bridge.Ui().OpenFileDialog({}).has_value());
    });
    worker.join();  // nothing on this thread serves it: it must not wait
    EXPECT_TRUE(form.Snapshot(ctl::GetGpsLogButton).textHistory.empty());
    EXPECT_TRUE(ui.Events().empty());
}

TEST_F(Bridge, ClosingWhileAWorkerIsBusyCutsItsCallsShort) {
    std::atomic<bool> stop{false};
    std::atomic<int> calls{0};
    worker = std::thread([&] {
        while (!stop) {
            bridge.Form().SetText(ctl::GetGpsLogButton, u"x");
            ++calls;
        }
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return calls > 20; }, 10000));
    bridge.BeginClosing();
    const size_t applied = form.Snapshot(ctl::GetGpsLogButton).textHistory.size();
    // No call reaches the window after closing began, however many the worker makes.
    const int before = calls;
    ASSERT_TRUE(QTest::qWaitFor([&] { return calls > before + 100; }, 10000));
    stop = true;
    worker.join();
    EXPECT_EQ(form.Snapshot(ctl::GetGpsLogButton).textHistory.size(), applied);
}

// The form's own bridge: closing the form while its worker waits does not hang.
TEST(FormBridge, ClosingTheFormReleasesItsWorker) {
    test::FormFixture f;
    ASSERT_TRUE(f.Show());
    std::atomic<bool> calling{false};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        calling = true;
        f.form->WorkerForm().SetProgress(ctl::LogProgress, 40);
        f.form->WorkerUi().ShowMessage(u"USB CONNECT FAILURE");
        f.form->WorkerForm().SetEnabled(ctl::GetGpsLogButton, true);
        done = true;
    });
    while (!calling) {
        std::this_thread::yield();
    }
    std::this_thread::sleep_for(20ms);
    f.form->reject();
    worker.join();
    EXPECT_TRUE(done);
    EXPECT_EQ(f.finishedCount, 1);
    for (const std::u16string& m : f.ui.Messages()) {
        EXPECT_NE(m, u"USB CONNECT FAILURE");  // only the start-up's own messages
    }
}

TEST(FormBridge, WorkerReachesTheRealControls) {
    test::FormFixture f;
    ASSERT_TRUE(f.Show());
    std::atomic<bool> done{false};
    std::thread worker([&] {
        f.form->WorkerForm().SetEnabled(ctl::GetGpsLogButton, false);
        f.form->WorkerForm().SetProgress(ctl::LogProgress, 33);
        done = true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 10000));
    worker.join();
    EXPECT_FALSE(f.C(ctl::GetGpsLogButton)->isEnabled());
    EXPECT_EQ(f.form->GetProgress(ctl::LogProgress), 33);
}

}  // namespace
}  // namespace quarnel
