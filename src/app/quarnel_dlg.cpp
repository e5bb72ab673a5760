// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/quarnel_dlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QTimerEvent>
#include <algorithm>
#include <stdexcept>
#include <vector>

#include "app/accessible_names.h"
#include "app/focus_ring.h"
#include "app/input_limit.h"
#include "app/key_rules.h"
#include "app/layout_rules.h"
#include "firmware/firmware_update.h"
#include "form/control_ids.h"
#include "form/control_names.h"
#include "i18n/paths.h"
#include "params/param_commands.h"

namespace quarnel {

namespace {

QString ToQString(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

constexpr Qt::WindowFlags kFormFrame = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                       Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

PxRect RectOf(const QWidget* w) {
    const QRect g = w->geometry();
    return {g.x(), g.y(), g.width(), g.height()};
}

void SetRect(QWidget* w, const PxRect& r) {
    w->setGeometry(r.left, r.top, r.width, r.height);
}

std::u16string MissingEntryText(const LangEntryMissing& e) {
    return u"Encountered an improper argument: the language file has no " +
           std::u16string(SectionName(e.section())) + u" entry " +
           QString::number(static_cast<qulonglong>(e.position())).toStdU16String() + u".";
}

QIcon LoadWindowIcon() {
    QIcon icon;
    for (const int size : {32, 16, 48, 64}) {
        icon.addFile(QStringLiteral(":/icons/quarnel-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace

const std::array<CQuarnelDlg::Command, 9> CQuarnelDlg::kCommands{{
    {ctl::GetParameterButton, &CQuarnelDlg::OnGetParameter},
    {ctl::SetParameterButton, &CQuarnelDlg::OnSetParameter},
    {ctl::GetGpsLogButton, &CQuarnelDlg::OnGetGpsLog},
    {ctl::UpdateButton, &CQuarnelDlg::OnUpdate},
    {ctl::EraseGpsLogButton, &CQuarnelDlg::OnEraseGpsLog},
    {ctl::TcpCheck, &CQuarnelDlg::OnAddressMode},
    {ctl::UdpCheck, &CQuarnelDlg::OnAddressMode},
    {ctl::ReplyCheck, &CQuarnelDlg::OnAddressMode},
    {ctl::SetDefaultButton, &CQuarnelDlg::OnSetDefault},
}};

QFont CQuarnelDlg::FormFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(kFormPointSize);
    return font;
}

CQuarnelDlg::CQuarnelDlg(const DeviceLink& link, UiServices& ui, DlgOptions options)
    : QDialog(nullptr, kFormFrame),
      m_link(link),
      m_ui(ui),
      m_options(std::move(options)),
      m_units(DialogUnits::Of(FormFont())),
      m_bridge(*this, *this, ui),
      m_logTasks(m_link, *this, m_bridge.Form(), m_bridge.Ui(), m_lang) {
    setFont(FormFont());
    m_controls = BuildControls(*this, m_units);
    setFixedSize(m_units.ToPixelsX(kFormWidthDlu), m_units.ToPixelsY(kFormHeightDlu));
    setWindowTitle(QString::fromUtf16(kTemplateCaption.data(),
                                      static_cast<qsizetype>(kTemplateCaption.size())));
    // The template puts the form at the screen's corner; start-up centres it.
    move(0, 0);
    m_icon = LoadWindowIcon();
    WatchKeys();
    ConnectCommands();
    m_focusRing = new FocusRing(*this);
}

CQuarnelDlg::~CQuarnelDlg() {
    ShutdownTasks();
}

// Start-up ----------------------------------------------------------------------------

void CQuarnelDlg::setVisible(bool visible) {
    if (visible && !m_initialised) {
        m_initialised = true;
        // A missing language entry ends the start-up where it stands: the form still opens,
        // left where the template put it.
        RunHandler([this] { OnInitDialog(); });
        // Also after a start-up that a missing language entry ended: whatever captions the
        // controls show then are their names.
        RunHandler([this] { NameControls(m_controls); });
    }
    QDialog::setVisible(visible);
}

bool CQuarnelDlg::OnInitDialog() {
    DoDataExchange();

    m_programDir =
        m_options.programDir.empty()
            ? std::filesystem::path(
                  QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString())
            : m_options.programDir;
    LoadSettings(SettingsFilePath(m_programDir), m_settings, m_ui);
    LoadLanguage(LanguageFilePath(m_programDir, m_settings.languageName), m_lang, m_ui);

    // One icon with every size serves as the big and the small window icon.
    setWindowIcon(m_icon);

    for (QProgressBar* bar : {m_bound.updateProgress, m_bound.logProgress}) {
        bar->setRange(0, 100);
        bar->setValue(0);
    }
    SetInputLimits();
    m_bound.modeCombo->setCurrentIndex(-1);
    m_bound.modeCombo->clearEditText();

    setWindowTitle(QStringLiteral("Trelvin ") + windowTitle());

    ApplyLanguageTexts(m_lang, *this);

    if (m_settings.firmwarePanelHidden) {
        ApplyFirmwareHiddenLayout();
    } else {
        ApplyLabelWrapAdjustment();
    }

    // Focus goes to the first visible tab stop in creation order: the Burglar check box.
    for (QWidget* w : m_controls.InCreationOrder()) {
        if ((w->focusPolicy() & Qt::TabFocus) && !w->isHidden() && w->isEnabledTo(this)) {
            w->setFocus(Qt::OtherFocusReason);
            break;
        }
    }
    CentreOnScreen();
    return true;
}

template <typename T>
void CQuarnelDlg::DdxControl(int id, T*& handle) {
    handle = qobject_cast<T*>(Control(id));
    if (handle == nullptr) {
        throw std::logic_error("a bound control is missing or of another kind");
    }
}

void CQuarnelDlg::DoDataExchange() {
    // Binds only, in the binding order; values move through the commands alone.
    for (const int id : BindingOrder()) {
        if (id == ctl::UpdateProgress) {
            DdxControl(id, m_bound.updateProgress);
        } else if (id == ctl::LogProgress) {
            DdxControl(id, m_bound.logProgress);
        } else if (id >= 1021 && id <= 1036) {
            DdxControl(id, m_bound.edits[static_cast<size_t>(id - 1021)]);
        } else if (id >= 1051 && id <= 1058) {
            DdxControl(id, m_bound.securityChecks[static_cast<size_t>(id - 1051)]);
        } else if (id >= 1059 && id <= 1064) {
            DdxControl(id, m_bound.buzzerChecks[static_cast<size_t>(id - 1059)]);
        } else if (id == ctl::ButtonPressedCheck) {
            DdxControl(id, m_bound.buzzerChecks[6]);
        } else if (id >= 1040 && id <= 1042) {
            DdxControl(id, m_bound.sleepEdits[static_cast<size_t>(id - 1040)]);
        } else if (id >= 1047 && id <= 1049) {
            DdxControl(id, m_bound.wakeEdits[static_cast<size_t>(id - 1047)]);
        } else if (id == ctl::ModeCombo) {
            DdxControl(id, m_bound.modeCombo);
        } else if (id >= 1067 && id <= 1069) {
            DdxControl(id, m_bound.addressModeChecks[static_cast<size_t>(id - 1067)]);
        }
    }
}

void CQuarnelDlg::SetInputLimits() {
    for (const ControlSpec& row : ControlTable()) {
        if (row.kind != ControlKind::Edit || row.inputLimit <= 0) {
            continue;
        }
        if (auto* edit = qobject_cast<QLineEdit*>(Control(row.id))) {
            if (auto* limit = edit->findChild<InputLimitValidator*>()) {
                limit->SetLimit(row.inputLimit);
            }
        }
    }
}

void CQuarnelDlg::ApplyFirmwareHiddenLayout() {
    for (const int id : {ctl::FirmwareUpdatePanel, ctl::UpdateButton, ctl::UpdateProgress}) {
        Control(id)->hide();
    }
    SleepPanelRects in;
    in.sleepPanel = RectOf(Control(ctl::SleepModePanel));
    in.serverPanel = RectOf(Control(ctl::ServerConfigPanel));
    in.timeToSleep = RectOf(Control(ctl::TimeToSleepLabel));
    in.timeToWakeup = RectOf(Control(ctl::TimeToWakeupLabel));
    in.hour = RectOf(Control(ctl::HourLabel));
    in.min = RectOf(Control(ctl::MinLabel));
    in.sec = RectOf(Control(ctl::SecLabel));
    in.sleepHour = RectOf(Control(ctl::SleepHourEdit));
    in.sleepMin = RectOf(Control(ctl::SleepMinEdit));
    in.sleepSec = RectOf(Control(ctl::SleepSecEdit));
    in.wakeHour = RectOf(Control(ctl::WakeupHourEdit));
    in.wakeMin = RectOf(Control(ctl::WakeupMinEdit));
    in.wakeSec = RectOf(Control(ctl::WakeupSecEdit));

    const SleepPanelRects out = FirmwareHiddenLayout(in);
    SetRect(Control(ctl::SleepModePanel), out.sleepPanel);
    SetRect(Control(ctl::TimeToSleepLabel), out.timeToSleep);
    SetRect(Control(ctl::SleepHourEdit), out.sleepHour);
    SetRect(Control(ctl::SleepMinEdit), out.sleepMin);
    SetRect(Control(ctl::SleepSecEdit), out.sleepSec);
    SetRect(Control(ctl::TimeToWakeupLabel), out.timeToWakeup);
    SetRect(Control(ctl::WakeupHourEdit), out.wakeHour);
    SetRect(Control(ctl::WakeupMinEdit), out.wakeMin);
    SetRect(Control(ctl::WakeupSecEdit), out.wakeSec);
}

void CQuarnelDlg::ApplyLabelWrapAdjustment() {
    // Measured in the platform's default font, not the form's: the label's text may be
    // narrower on screen than measured, and that is the rule.
    const QFontMetrics metrics(QApplication::font());
    QWidget* sleep = Control(ctl::TimeToSleepLabel);
    const int sleepWidth =
        metrics.horizontalAdvance(ToQString(m_lang.Entry(LangSection::SleepMode, 2)));
    SetRect(sleep, WrapTimeToSleepLabel(RectOf(sleep), sleepWidth));

    QWidget* wakeup = Control(ctl::TimeToWakeupLabel);
    const int wakeupWidth =
        metrics.horizontalAdvance(ToQString(m_lang.Entry(LangSection::SleepMode, 3)));
    SetRect(wakeup, WrapTimeToWakeupLabel(RectOf(wakeup), wakeupWidth));
}

void CQuarnelDlg::CentreOnScreen() {
    QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (s == nullptr) {
        return;
    }
    const QRect area = s->availableGeometry();
    const PxPoint at =
        CentredTopLeft(width(), height(), {area.x(), area.y(), area.width(), area.height()});
    move(at.x, at.y);
}

// Handlers ----------------------------------------------------------------------------

bool CQuarnelDlg::RunHandler(const std::function<void()>& handler) noexcept {
    ++m_running;
    bool completed = false;
    try {
        handler();
        completed = true;
    } catch (const LangEntryMissing& e) {
        ReportError(MissingEntryText(e));
    } catch (const std::exception& e) {
        ReportError(u"An unexpected error ended the command: " +
                    QString::fromLocal8Bit(e.what()).toStdU16String());
    } catch (...) {
        ReportError(u"An unexpected error ended the command.");
    }
    --m_running;
    if (m_running == 0 && m_pendingDone) {
        const int result = *m_pendingDone;
        m_pendingDone.reset();
        done(result);
    }
    return completed;
}

void CQuarnelDlg::ReportError(const std::u16string& text) noexcept {
    try {
        m_ui.ShowErrorBox(text);
    } catch (...) {
        // Nothing is left to report with.
    }
}

void CQuarnelDlg::ConnectCommands() {
    for (const Command& command : kCommands) {
        auto* button = qobject_cast<QAbstractButton*>(Control(command.id));
        if (button == nullptr) {
            continue;
        }
        // `clicked` comes from the user (mouse or Space) and after a check box's toggle;
        // setChecked() by a command does not raise it.
        connect(button, &QAbstractButton::clicked, this, [this, command] {
            RunHandler([this, command] { (this->*command.handler)(command.id); });
        });
    }
}

void CQuarnelDlg::OnGetParameter(int) {
    CommandContext ctx = WindowContext();
    GetParameter(ctx, m_params);
}

void CQuarnelDlg::OnSetParameter(int) {
    CommandContext ctx = WindowContext();
    SetParameter(ctx, m_params);
}

void CQuarnelDlg::OnSetDefault(int) {
    CommandContext ctx = WindowContext();
    SetDefault(ctx, m_params);
}

void CQuarnelDlg::OnAddressMode(int id) {
    OnAddressModeClicked(*this, id);
}

void CQuarnelDlg::OnGetGpsLog(int) {
    m_logTasks.OnGetGpsLog();
}

void CQuarnelDlg::OnEraseGpsLog(int) {
    m_logTasks.OnEraseGpsLog();
}

void CQuarnelDlg::OnUpdate(int) {
    CommandContext ctx = WindowContext();
    OnUpdateFirmware(ctx);
}

void CQuarnelDlg::timerEvent(QTimerEvent* event) {
    for (const auto& [timerId, qtTimer] : m_timers) {
        if (qtTimer == event->timerId()) {
            const int id = timerId;
            RunHandler([this, id] { m_logTasks.OnTimer(id); });
            return;
        }
    }
    QDialog::timerEvent(event);
}

// Keys and closing ----------------------------------------------------------------------

void CQuarnelDlg::WatchKeys() {
    // The Mode combo box's list exists only once asked for; it is watched too, so Enter
    // and Escape do nothing while it is dropped down either.
    if (auto* combo = qobject_cast<QComboBox*>(Control(ctl::ModeCombo))) {
        combo->view();
    }
    for (QWidget* w : findChildren<QWidget*>()) {
        w->installEventFilter(this);
    }
}

bool CQuarnelDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // Some widgets act on Enter and Escape before the key press arrives (the Mode
        // list closes and picks its item here); taking the override leaves the key press
        // to the filter below.
        auto* key = static_cast<QKeyEvent*>(event);
        if (ClassifyKey(key->key(), key->modifiers(), key->nativeVirtualKey(), false) ==
            KeyAction::Swallow) {
            event->accept();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress &&
        PreTranslateMessage(watched, *static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CQuarnelDlg::keyPressEvent(QKeyEvent* event) {
    if (PreTranslateMessage(this, *event)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CQuarnelDlg::PreTranslateMessage(QObject* target, const QKeyEvent& key) {
    const bool inPhoneEdit = target == Control(ctl::ScuPhoneEdit) ||
                             target == Control(ctl::SosPhoneEdit) ||
                             target == Control(ctl::SmsPhoneEdit);
    switch (ClassifyKey(key.key(), key.modifiers(), key.nativeVirtualKey(), inPhoneEdit)) {
        case KeyAction::Pass:
            return false;
        case KeyAction::Swallow:
            return true;
        case KeyAction::Cancel:
            reject();
            return true;
        case KeyAction::Close:
            close();
            return true;
        case KeyAction::Help:
            if (m_options.onHelp) {
                RunHandler(m_options.onHelp);
            }
            return true;
        case KeyAction::NextOtherField:
        case KeyAction::PreviousOtherField:
            FocusOtherField(ClassifyKey(key.key(), key.modifiers(), key.nativeVirtualKey(),
                                        inPhoneEdit) == KeyAction::NextOtherField);
            return true;
    }
    return false;
}

void CQuarnelDlg::FocusOtherField(bool forward) {
    // The shown, enabled fields that take the focus from a click but not from Tab.
    std::vector<QWidget*> fields;
    for (QWidget* w : m_controls.InCreationOrder()) {
        if (w->focusPolicy() == Qt::ClickFocus && !w->isHidden() && w->isEnabledTo(this)) {
            fields.push_back(w);
        }
    }
    if (fields.empty()) {
        return;
    }
    const auto at = std::find(fields.begin(), fields.end(), QApplication::focusWidget());
    size_t next = 0;
    if (at == fields.end()) {
        next = forward ? 0 : fields.size() - 1;
    } else {
        const size_t here = static_cast<size_t>(at - fields.begin());
        next = forward ? (here + 1) % fields.size() : (here + fields.size() - 1) % fields.size();
    }
    fields[next]->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

void CQuarnelDlg::done(int result) {
    if (m_running > 0) {
        // A command on this thread is still using the form; it closes once that returns.
        m_pendingDone = result;
        return;
    }
    ShutdownTasks();
    QDialog::done(result);
}

void CQuarnelDlg::ShutdownTasks() noexcept {
    if (m_shutDown) {
        return;
    }
    m_shutDown = true;
    m_bridge.BeginClosing();
    try {
        m_logTasks.Shutdown();
    } catch (...) {
        // The workers are gone either way; nothing to report to a closing window.
    }
    for (const auto& [timerId, qtTimer] : m_timers) {
        killTimer(qtTimer);
    }
    m_timers.clear();
}

// FormAccess ------------------------------------------------------------------------------

std::u16string CQuarnelDlg::GetText(int id) {
    QWidget* w = Control(id);
    QString text;
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        text = edit->text();
    } else if (auto* phone = qobject_cast<QPlainTextEdit*>(w)) {
        text = phone->toPlainText();
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        text = combo->currentText();
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        text = button->text();
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        text = label->text();
    } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
        text = box->title();
    }
    return text.toStdU16String();
}

void CQuarnelDlg::SetText(int id, const std::u16string& value) {
    QWidget* w = Control(id);
    const QString text = ToQString(value);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        SetTextAsIs(*edit, text);
    } else if (auto* phone = qobject_cast<QPlainTextEdit*>(w)) {
        phone->setPlainText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        combo->setEditText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(text);
        if (IsValueDisplay(id)) {
            FollowShownValue(*label);
        }
    } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
        box->setTitle(text);
    }
}

bool CQuarnelDlg::IsChecked(int id) {
    auto* box = qobject_cast<QCheckBox*>(Control(id));
    return box != nullptr && box->isChecked();
}

void CQuarnelDlg::SetChecked(int id, bool checked) {
    if (auto* box = qobject_cast<QCheckBox*>(Control(id))) {
        box->setChecked(checked);
    }
}

int CQuarnelDlg::GetSelection(int id) {
    auto* combo = qobject_cast<QComboBox*>(Control(id));
    if (combo == nullptr) {
        return -1;
    }
    // An editable combo box keeps its old index while the user types, so the text decides:
    // the entry it shows exactly, or none.
    const QString text = combo->currentText();
    const int current = combo->currentIndex();
    if (current >= 0 && combo->itemText(current) == text) {
        return current;
    }
    return combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void CQuarnelDlg::SetSelection(int id, int index) {
    auto* combo = qobject_cast<QComboBox*>(Control(id));
    if (combo == nullptr) {
        return;
    }
    if (index >= 0 && index < combo->count()) {
        combo->setCurrentIndex(index);
        combo->setEditText(combo->itemText(index));
    } else {
        combo->setCurrentIndex(-1);
        combo->clearEditText();
    }
}

void CQuarnelDlg::AddItem(int id, const std::u16string& text) {
    if (auto* combo = qobject_cast<QComboBox*>(Control(id))) {
        // Adding the first item must not select it: the selection stays as it was.
        const int current = combo->currentIndex();
        const QString shown = combo->currentText();
        combo->addItem(ToQString(text));
        if (current < 0) {
            combo->setCurrentIndex(-1);
            combo->setEditText(shown);
        }
    }
}

int CQuarnelDlg::ItemCount(int id) {
    auto* combo = qobject_cast<QComboBox*>(Control(id));
    return combo != nullptr ? combo->count() : 0;
}

bool CQuarnelDlg::IsEnabled(int id) {
    QWidget* w = Control(id);
    return w != nullptr && w->isEnabledTo(this);
}

void CQuarnelDlg::SetEnabled(int id, bool enabled) {
    if (QWidget* w = Control(id)) {
        w->setEnabled(enabled);
    }
}

bool CQuarnelDlg::IsVisible(int id) {
    QWidget* w = Control(id);
    return w != nullptr && !w->isHidden();
}

void CQuarnelDlg::SetVisible(int id, bool visible) {
    if (QWidget* w = Control(id)) {
        w->setVisible(visible);
    }
}

int CQuarnelDlg::GetProgress(int id) {
    auto* bar = qobject_cast<QProgressBar*>(Control(id));
    return bar != nullptr ? bar->value() : 0;
}

void CQuarnelDlg::SetProgress(int id, int position) {
    if (auto* bar = qobject_cast<QProgressBar*>(Control(id))) {
        // Held to the range, as the platform's bar does (Qt would ignore the value).
        bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
    }
}

int CQuarnelDlg::StartTimer(int timerId, int periodMs) {
    StopTimer(timerId);
    m_timers[timerId] = startTimer(std::max(periodMs, 0));
    return timerId;
}

void CQuarnelDlg::StopTimer(int handle) {
    const auto it = m_timers.find(handle);
    if (it != m_timers.end()) {
        killTimer(it->second);
        m_timers.erase(it);
    }
}

void CQuarnelDlg::KeepAlive() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace quarnel
