// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>
#include <QIcon>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "app/dialog_units.h"
#include "app/form_builder.h"
#include "app/window_bridge.h"
#include "device/device_link.h"
#include "form/command_context.h"
#include "form/form_access.h"
#include "form/ui_services.h"
#include "gpslog/log_tasks.h"
#include "i18n/lang_table.h"
#include "i18n/settings.h"
#include "params/param_state.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QProgressBar;

namespace quarnel {

class FocusRing;

struct DlgOptions {
    std::filesystem::path
        programDir;                // where Player.ini and Lang/ lie; empty: the executable's folder
    std::function<void()> onHelp;  // the application's Help command (F1)
};

// The controls the form holds as typed handles, bound by DoDataExchange.
struct BoundControls {
    QProgressBar* updateProgress = nullptr;         // 1005
    QProgressBar* logProgress = nullptr;            // 1006
    std::array<QLineEdit*, 16> edits{};             // 1021 + i
    std::array<QCheckBox*, 8> securityChecks{};     // 1051 to 1058
    std::array<QCheckBox*, 7> buzzerChecks{};       // 1059 to 1064, 1066
    std::array<QLineEdit*, 3> sleepEdits{};         // 1040, 1041, 1042
    std::array<QCheckBox*, 3> addressModeChecks{};  // 1067, 1068, 1069
    QComboBox* modeCombo = nullptr;                 // 1065
    std::array<QLineEdit*, 3> wakeEdits{};          // 1047, 1048, 1049
};

// The main form: every control of the template, the start-up order, the command table,
// the key filter and the window's side of the FormAccess seam.
//
// Thread rule: everything here runs on the window's thread; background tasks reach the
// form through WorkerForm() and WorkerUi(). Every handler (commands, timers, start-up)
// runs through one wrapper that reports any exception in the generic error box, so none
// ever reaches Qt's event loop. While a handler runs, a request to close the form waits
// until it has returned.
class CQuarnelDlg final : public QDialog, public FormAccess {
    Q_OBJECT
public:
    CQuarnelDlg(const DeviceLink& link, UiServices& ui, DlgOptions options = {});
    ~CQuarnelDlg() override;

    // Runs the form modally; start-up happens as it first shows. Returns the dialog result.
    int DoModal() { return exec(); }

    // FormAccess on the real controls.
    std::u16string GetText(int id) override;
    void SetText(int id, const std::u16string& text) override;
    bool IsChecked(int id) override;
    void SetChecked(int id, bool checked) override;
    int GetSelection(int id) override;
    void SetSelection(int id, int index) override;
    void AddItem(int id, const std::u16string& text) override;
    int ItemCount(int id) override;
    bool IsEnabled(int id) override;
    void SetEnabled(int id, bool enabled) override;
    bool IsVisible(int id) override;
    void SetVisible(int id, bool visible) override;
    int GetProgress(int id) override;
    void SetProgress(int id, int position) override;
    // The handle is the timer ID, as with the platform's window timers.
    int StartTimer(int timerId, int periodMs) override;
    void StopTimer(int handle) override;
    // Repaints and answers the window system; user input waits until the command ends.
    void KeepAlive() override;

    // The form as background tasks reach it (carried over to this thread).
    FormAccess& WorkerForm() { return m_bridge.Form(); }
    UiServices& WorkerUi() { return m_bridge.Ui(); }

    // Start-up, in its order; runs once, just before the form first shows.
    bool OnInitDialog();
    // The two layout rules of the start-up.
    void ApplyFirmwareHiddenLayout();
    void ApplyLabelWrapAdjustment();

    // Runs one handler: any exception ends it and is shown in the generic error box.
    // Returns whether the handler ran to its end.
    bool RunHandler(const std::function<void()>& handler) noexcept;
    bool IsHandlerRunning() const { return m_running > 0; }

    QWidget* Control(int id) const { return m_controls.Find(id); }
    const FormControls& Controls() const { return m_controls; }
    const BoundControls& Bound() const { return m_bound; }
    const DialogUnits& Units() const { return m_units; }
    const FocusRing& Focus() const { return *m_focusRing; }
    const Settings& settings() const { return m_settings; }
    CLangTable& LangTable() { return m_lang; }
    const std::filesystem::path& ProgramDirectory() const { return m_programDir; }

    // The form's font: the platform's default UI font at 9 points.
    static QFont FormFont();

public slots:
    // Ends the form (OK or Cancel). Deferred while a handler runs; otherwise stops the
    // background tasks first (see WindowBridge::BeginClosing).
    void done(int result) override;

protected:
    void setVisible(bool visible) override;
    void keyPressEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DoDataExchange();
    template <typename T>
    void DdxControl(int id, T*& handle);
    // The key filter: true when the key is consumed.
    bool PreTranslateMessage(QObject* target, const QKeyEvent& key);
    // F6 and Shift+F6: the focus to the next or previous field that Tab passes by.
    void FocusOtherField(bool forward);
    void WatchKeys();
    void ConnectCommands();
    void SetInputLimits();
    void CentreOnScreen();
    void ShutdownTasks() noexcept;
    void ReportError(const std::u16string& text) noexcept;
    CommandContext WindowContext() { return CommandContext{m_link, *this, m_ui}; }

    // Command table entries.
    void OnGetParameter(int id);
    void OnSetParameter(int id);
    void OnSetDefault(int id);
    void OnAddressMode(int id);
    void OnGetGpsLog(int id);
    void OnEraseGpsLog(int id);
    void OnUpdate(int id);
    struct Command {
        int id;
        void (CQuarnelDlg::*handler)(int id);
    };
    static const std::array<Command, 9> kCommands;

    DeviceLink m_link;
    UiServices& m_ui;
    DlgOptions m_options;
    DialogUnits m_units;
    FormControls m_controls;
    BoundControls m_bound;

    ParamState m_params;  // finish-message switch, reply text, send buffer
    CLangTable m_lang;
    Settings m_settings;  // language name, firmware panel hidden
    QIcon m_icon;
    std::filesystem::path m_programDir;

    FocusRing* m_focusRing = nullptr;  // a child of the form
    WindowBridge m_bridge;
    LogTasks m_logTasks;  // timer IDs and download counters, the two workers

    std::map<int, int> m_timers;  // timer ID -> Qt timer
    int m_running = 0;
    std::optional<int> m_pendingDone;
    bool m_initialised = false;
    bool m_shutDown = false;
};

}  // namespace quarnel
