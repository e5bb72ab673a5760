// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// What a screen reader reads of the form, through Qt's accessibility interfaces in the
// process (the same ones the platform's bridge serves, AT-SPI on Linux and UI Automation on
// Windows): every control the keyboard or the mouse can focus has a name in the language
// shown, unique among the controls of its kind in its panel; the progress bars tell their
// position without flooding; a message box is read out as an alert with its text.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFocusFrame>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QTimer>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/focus_ring.h"
#include "app/form_widgets.h"
#include "app/qt_ui_services.h"
#include "form/control_ids.h"
#include "form/control_names.h"
#include "form/control_table.h"
#include "form_fixture.h"

namespace quarnel {
namespace {

using test::FormFixture;

const QString kDataDir = QStringLiteral(QUARNEL_DATA_DIR);

QAccessibleInterface* Accessible(QWidget* w) {
    return QAccessible::queryAccessibleInterface(w);
}

QString NameOf(QWidget* w) {
    QAccessibleInterface* a = Accessible(w);
    return a != nullptr ? a->text(QAccessible::Name) : QString();
}

// The name a screen reader gives a control: its own, or (for an editable combo box on
// Linux, whose name is its text) that of the label that labels it.
QString SpokenName(QWidget* w) {
    QAccessibleInterface* a = Accessible(w);
    if (a == nullptr) {
        return {};
    }
    if (a->role() == QAccessible::ComboBox) {
        for (const auto& [label, relation] : a->relations(QAccessible::Label)) {
            return label->text(QAccessible::Name);
        }
    }
    return a->text(QAccessible::Name);
}

void StartWithLanguage(FormFixture& f, const QString& language) {
    const QString dir = f.programDir.path();
    QFile settings(dir + "/Player.ini");
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    const QString text = "\uFEFF[SETUP]\r\nLanguage=" + language + ".ini\r\n";
    settings.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    settings.close();
    ASSERT_TRUE(QDir().mkpath(dir + "/Lang"));
    ASSERT_TRUE(
        QFile::copy(kDataDir + "/Lang/" + language + ".ini", dir + "/Lang/" + language + ".ini"));
    ASSERT_TRUE(f.Show());
    ASSERT_TRUE(f.ui.Events().empty()) << test::Narrow(f.ui.Events().front().text);
}

// Every control that takes focus, from the keyboard or the mouse, and is shown.
std::vector<int> FocusableControls(const FormFixture& f) {
    std::vector<int> ids;
    for (const ControlSpec& row : ControlTable()) {
        QWidget* w = f.C(row.id);
        if (w != nullptr && w->focusPolicy() != Qt::NoFocus && !w->isHidden()) {
            ids.push_back(row.id);
        }
    }
    return ids;
}

// ---- the names, in English: one row per control that shows no caption of its own ----

struct NameCase {
    const char* name;
    int id;
    const char* spoken;
};

const NameCase kEnglishNames[] = {
    {"SmsInterval", ctl::SmsIntervalEdit, "SMS Interval (s)"},
    {"GprsInterval", ctl::GprsIntervalEdit, "GPRS Interval (s)"},
    {"LogInterval", ctl::LogIntervalEdit, "LOG Interval (s)"},
    {"GeoFence", ctl::GeoFenceEdit, "Geo Fence (m)"},
    {"DisableAlarm", ctl::DisableAlarmEdit, "Disable Alarm (s)"},
    {"RingCounter", ctl::RingCounterEdit, "Ring Counter"},
    {"SensorActive", ctl::SensorActiveEdit, "Sensor Active"},
    {"Version", ctl::VersionEdit, "Version"},
    {"Imei", ctl::ImeiDisplay, "IMEI"},
    {"OverSpeed", ctl::OverSpeedEdit, "Over Speed Alarm, [km/h]"},
    {"Apn", ctl::ApnEdit, "APN"},
    {"GprsUser", ctl::GprsUserEdit, "User"},
    {"GprsPass", ctl::GprsPassEdit, "Pass"},
    {"IpDomain", ctl::IpDomainEdit, "IP / Domain Name"},
    {"TcpPort", ctl::TcpPortEdit, "TCP Port"},
    {"UdpPort", ctl::UdpPortEdit, "UDP Port"},
    {"ConfigPort", ctl::ConfigPortEdit, "Config Port"},
    {"Passwd", ctl::PasswdEdit, "Passwd"},
    {"ScuPhone", ctl::ScuPhoneEdit, "SCU Phone [ex:****,****,]"},
    {"SosPhone", ctl::SosPhoneEdit, "SOS Phone [ex:****,****,]"},
    {"SmsPhone", ctl::SmsPhoneEdit, "SMS Phone [ex:****,****,]"},
    {"SleepHour", ctl::SleepHourEdit, "Time to Sleep, Hour"},
    {"SleepMin", ctl::SleepMinEdit, "Time to Sleep, Min."},
    {"SleepSec", ctl::SleepSecEdit, "Time to Sleep, Sec."},
    {"Mode", ctl::ModeCombo, "Mode"},
    {"WakeupHour", ctl::WakeupHourEdit, "Time to Wakeup, Hour"},
    {"WakeupMin", ctl::WakeupMinEdit, "Time to Wakeup, Min."},
    {"WakeupSec", ctl::WakeupSecEdit, "Time to Wakeup, Sec."},
    {"TcpCheck", ctl::TcpCheck, "TCP Port"},
    {"UdpCheck", ctl::UdpCheck, "UDP Port"},
    {"LogProgress", ctl::LogProgress, "Get GPS Log"},
    {"UpdateProgress", ctl::UpdateProgress, "Firmware Update"},
};

TEST(AccessibleForm, EveryFieldIsNamedInEnglishByTheCaptionBesideIt) {
    FormFixture f;
    StartWithLanguage(f, QStringLiteral("English"));
    for (const NameCase& c : kEnglishNames) {
        EXPECT_EQ(SpokenName(f.C(c.id)).toStdString(), c.spoken) << "control " << c.id << " ("
                                                                 << c.name << ")";
    }
}

// ---- every shipped language ----

std::vector<std::string> ShippedLanguages() {
    std::vector<std::string> names;
    for (const QString& file :
         QDir(kDataDir + "/Lang").entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name)) {
        names.push_back(file.chopped(4).toStdString());
    }
    return names;
}

class EveryLanguage : public testing::TestWithParam<std::string> {};

TEST_P(EveryLanguage, EveryFocusableControlHasANameUniqueInItsPanel) {
    const std::string language = GetParam();
    FormFixture f;
    StartWithLanguage(f, QString::fromStdString(language));
    // Panel, role, name -> the control that has it.
    std::map<std::tuple<int, int, QString>, int> seen;
    for (const int id : FocusableControls(f)) {
        QWidget* w = f.C(id);
        const QString name = SpokenName(w);
        EXPECT_FALSE(name.trimmed().isEmpty()) << language << ": control " << id << " has no name";
        const auto key = std::make_tuple(EnclosingPanel(id), int(Accessible(w)->role()), name);
        const auto [at, fresh] = seen.emplace(key, id);
        EXPECT_TRUE(fresh) << language << ": controls " << at->second << " and " << id
                           << " are both called \"" << name.toStdString() << "\"";
        // The name is made of what the form shows beside the control, in its language.
        for (const int source : NameSources(id)) {
            const QString shown = QString::fromStdU16String(f.form->GetText(source));
            EXPECT_TRUE(name.contains(shown))
                << language << ": control " << id << " is called \"" << name.toStdString()
                << "\", without \"" << shown.toStdString() << "\" shown beside it";
        }
    }
    EXPECT_GE(seen.size(), 50u) << language;
}

TEST_P(EveryLanguage, ControlsOfTheSameCaptionAreToldApartByTheirPanel) {
    const std::string language = GetParam();
    FormFixture f;
    StartWithLanguage(f, QString::fromStdString(language));
    const QString security = NameOf(f.C(ctl::SecuritySmsPanel));
    const QString buzzer = NameOf(f.C(ctl::BuzzerPanel));
    EXPECT_EQ(Accessible(f.C(ctl::SecurityGeoFenceCheck))->text(QAccessible::Description),
              security);
    EXPECT_EQ(Accessible(f.C(ctl::BuzzerGeoFenceCheck))->text(QAccessible::Description), buzzer);
    EXPECT_EQ(Accessible(f.C(ctl::SleepHourEdit))->text(QAccessible::Description),
              NameOf(f.C(ctl::SleepModePanel)));
}

std::string LanguageCaseName(const testing::TestParamInfo<std::string>& info) {
    return info.param;
}

INSTANTIATE_TEST_SUITE_P(Shipped, EveryLanguage, testing::ValuesIn(ShippedLanguages()),
                         LanguageCaseName);

// ---- the focus, to be seen ----

TEST(FocusRing, FollowsTheFocusAroundEveryControlTheKeyboardReaches) {
    FormFixture f;
    StartWithLanguage(f, QStringLiteral("ChineseTraditional"));
    EXPECT_EQ(test::ControlIdOf(f.form->Focus().Around()), ctl::BurglarCheck);
    // A check box without a caption, where the style's own focus mark has nothing to go round.
    for (const int id : {ctl::TcpCheck, ctl::ModeCombo, ctl::GetGpsLogButton, ctl::ScuPhoneEdit}) {
        f.C(id)->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(test::WaitUntil([&] { return f.form->Focus().Around() == f.C(id); }, 5000))
            << "control " << id;
        // The ring lies around the control, outside it.
        const QWidget* ring = f.form->findChild<QFocusFrame*>();
        ASSERT_NE(ring, nullptr);
        EXPECT_TRUE(ring->geometry().contains(f.C(id)->geometry())) << "control " << id;
        EXPECT_GT(ring->width(), f.C(id)->width()) << "control " << id;
    }
}

// ---- values and changes ----

TEST(AccessibleForm, TheImeiDisplayIsNamedByItsLabelAndReadsItsValue) {
    FormFixture f;
    StartWithLanguage(f, QStringLiteral("English"));
    f.form->SetText(ctl::ImeiDisplay, u"356612020123456");
    QAccessibleInterface* imei = Accessible(f.C(ctl::ImeiDisplay));
    EXPECT_EQ(imei->text(QAccessible::Name), QStringLiteral("IMEI"));
    EXPECT_EQ(imei->text(QAccessible::Description), QStringLiteral("356612020123456"));
}

TEST(AccessibleForm, AButtonKeepsItsNameWhileItShowsTheProgress) {
    FormFixture f;
    StartWithLanguage(f, QStringLiteral("Spanish"));
    const QString name = NameOf(f.C(ctl::GetGpsLogButton));
    f.form->SetText(ctl::GetGpsLogButton, u"40%");
    EXPECT_EQ(NameOf(f.C(ctl::GetGpsLogButton)), name);
    EXPECT_FALSE(name.isEmpty());
}

TEST(AccessibleForm, AStartUpEndedByAMissingEntryStillNamesTheControls) {
    FormFixture f;  // no language file: every control keeps its template caption
    ASSERT_TRUE(f.Show());
    EXPECT_EQ(SpokenName(f.C(ctl::SleepHourEdit)), QStringLiteral("Time to Sleep, Hour"));
    EXPECT_EQ(SpokenName(f.C(ctl::ApnEdit)), QStringLiteral("APN"));
}

TEST(AccessibleProgress, TellsTheEndsAtOnceAndOtherPositionsAtMostTwiceASecond) {
    FormFixture f;
    auto* bar = qobject_cast<FormProgressBar*>(f.C(ctl::LogProgress));
    ASSERT_NE(bar, nullptr);
    qint64 now = 0;
    bar->SetClock([&now] { return now; });
    bar->setRange(0, 100);
    f.form->show();
    QAccessibleValueInterface* value = Accessible(bar)->valueInterface();
    ASSERT_NE(value, nullptr);

    std::vector<int> told;
    for (int percent = 1; percent <= 99; ++percent) {
        now = percent * 10;  // a percent every 10 ms: one second for the whole bar
        bar->setValue(percent);
        const int v = value->currentValue().toInt();
        if (told.empty() || told.back() != v) {
            told.push_back(v);
        }
    }
    // The start-up emptied the bar at 0 ms, which was told; then each time half a second
    // has passed since.
    EXPECT_EQ(told, (std::vector<int>{0, 50})) << "told " << told.size() << " positions";
    EXPECT_EQ(bar->value(), 99) << "the bar itself shows every position";
    bar->setValue(100);
    EXPECT_EQ(value->currentValue().toInt(), 100) << "a full bar is told at once";
    bar->setValue(0);
    EXPECT_EQ(value->currentValue().toInt(), 0) << "and so is an empty one";
}

TEST(AccessibleProgress, TheLastPositionIsToldOnceTheIntervalHasPassed) {
    FormFixture f;
    auto* bar = qobject_cast<FormProgressBar*>(f.C(ctl::UpdateProgress));
    ASSERT_NE(bar, nullptr);
    bar->setRange(0, 100);
    f.form->show();
    bar->setValue(10);
    bar->setValue(37);
    QAccessibleValueInterface* value = Accessible(bar)->valueInterface();
    EXPECT_EQ(value->currentValue().toInt(), 0) << "the start-up's empty bar was told just now";
    EXPECT_TRUE(test::WaitUntil([&] { return value->currentValue().toInt() == 37; }, 5000));
    EXPECT_EQ(Accessible(bar)->text(QAccessible::Value), QStringLiteral("37%"));
}

TEST(AccessibleMessageBox, IsAnAlertWhoseTextIsInTheTree) {
    FormFixture f;
    f.form->show();
    QtUiServices ui(f.form.get());
    QString role, text;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        QAccessibleInterface* a = Accessible(box);
        role = a->role() == QAccessible::AlertMessage ? "alert" : QString::number(a->role());
        for (int i = 0; i < a->childCount(); ++i) {
            const QString t = a->child(i)->text(QAccessible::Name);
            if (t.contains(QStringLiteral("USB CONNECT FAILURE"))) {
                text = t;
            }
        }
        box->accept();
    });
    ui.ShowMessage(u"USB CONNECT FAILURE");
    EXPECT_EQ(role, QStringLiteral("alert"));
    EXPECT_EQ(text, QStringLiteral("USB CONNECT FAILURE"));
}

}  // namespace
}  // namespace quarnel
