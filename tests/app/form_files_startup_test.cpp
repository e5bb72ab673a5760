// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The form's start-up with settings and language files in its program directory.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QScreen>
#include <map>
#include <string>
#include <vector>

#include "app/layout_rules.h"
#include "form/control_ids.h"
#include "form/messages.h"
#include "form_fixture.h"
#include "i18n/lang_table.h"

namespace quarnel {
namespace {

using test::FormFixture;
using test::RecordingUi;

// Writes `lines` as UTF-16LE with a byte-order mark and CR LF line ends.
void WriteUtf16File(const QString& path, const std::vector<std::u16string>& lines) {
    std::u16string text = u"\uFEFF";
    for (const std::u16string& line : lines) {
        text += line + u"\r\n";
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    for (const char16_t unit : text) {
        const char bytes[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        file.write(bytes, 2);
    }
}

// Every entry the form uses, each text naming its own section and position.
std::map<std::u16string, std::vector<std::u16string>> MarkedTable() {
    const std::pair<std::u16string, int> sections[] = {
        {u"[BUTTON]", 6},          {u"[TRACKER]", 1},        {u"[SYSTEM CONFIG]", 30},
        {u"[GSM GPRS CONFIG]", 4}, {u"[SERVER CONFIG]", 6},  {u"[PHONE CONFIG]", 4},
        {u"[SLEEP MODE]", 11},     {u"[FIRMWARE UPDATE]", 2}};
    std::map<std::u16string, std::vector<std::u16string>> table;
    for (const auto& [name, count] : sections) {
        for (int i = 0; i < count; ++i) {
            table[name].push_back(name.substr(1, name.size() - 2) + u" #" +
                                  QString::number(i).toStdU16String());
        }
    }
    return table;
}

std::vector<std::u16string> LanguageLines(
    const std::map<std::u16string, std::vector<std::u16string>>& table) {
    std::vector<std::u16string> lines;
    for (const auto& [section, entries] : table) {
        lines.push_back(section);
        lines.insert(lines.end(), entries.begin(), entries.end());
    }
    return lines;
}

class FilesStartup : public ::testing::Test {
protected:
    QString Dir() const { return f.programDir.path(); }
    void WriteSettings(const std::u16string& language, const std::u16string& hide) {
        WriteUtf16File(Dir() + "/Player.ini",
                       {u"[SETUP]", u"Language=" + language, u"HideFirmwareUpdate=" + hide});
    }
    void WriteLanguage(const QString& name,
                       const std::map<std::u16string, std::vector<std::u16string>>& table) {
        ASSERT_TRUE(QDir().mkpath(Dir() + "/Lang"));
        WriteUtf16File(Dir() + "/Lang/" + name, LanguageLines(table));
    }
    QRect Px(int id) { return f.form->Units().ToPixels(FindControl(id)->rect); }

    FormFixture f;
};

TEST_F(FilesStartup, NoSettingsFileTwoMessagesThenTheGenericErrorBox) {
    ASSERT_TRUE(f.Show());
    const auto events = f.ui.Events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].kind, RecordingUi::Event::Message);
    EXPECT_EQ(events[0].text, msg::kCannotOpenLang);
    EXPECT_EQ(events[1].kind, RecordingUi::Event::Message);
    EXPECT_EQ(events[1].text, msg::kCannotOpenLang);
    EXPECT_EQ(events[2].kind, RecordingUi::Event::ErrorBox);
    EXPECT_NE(test::Narrow(events[2].text).find("[BUTTON] entry 0"), std::string::npos);

    EXPECT_EQ(f.form->windowTitle(), QStringLiteral("Trelvin (14020701)"));
    for (const int id : {ctl::FirmwareUpdatePanel, ctl::UpdateButton, ctl::UpdateProgress}) {
        EXPECT_TRUE(f.C(id)->isVisible()) << id;
    }
    EXPECT_EQ(f.form->GetText(ctl::GetParameterButton), u"Get Parameter");
    EXPECT_EQ(f.form->ItemCount(ctl::ModeCombo), 0);
    EXPECT_EQ(f.form->pos(), QPoint(0, 0));
}

TEST_F(FilesStartup, HiddenFirmwarePanelIsShownAnywayWhenTheTextsFail) {
    WriteSettings(u"Missing.ini", u"1");
    ASSERT_TRUE(f.Show());
    EXPECT_TRUE(f.form->settings().firmwarePanelHidden);
    EXPECT_EQ(f.ui.Messages(), std::vector<std::u16string>{std::u16string(msg::kCannotOpenLang)});
    EXPECT_EQ(f.ui.ErrorBoxes().size(), 1u);
    EXPECT_TRUE(f.C(ctl::UpdateButton)->isVisible());
}

TEST_F(FilesStartup, ACompleteTableLabelsTheFormCentresItAndFocusesBurglar) {
    WriteSettings(u"Marked.ini", u"0");
    WriteLanguage("Marked.ini", MarkedTable());
    ASSERT_TRUE(f.Show());
    EXPECT_TRUE(f.ui.Events().empty());

    EXPECT_EQ(f.form->GetText(ctl::GetParameterButton), u"BUTTON #0");
    EXPECT_EQ(f.form->GetText(ctl::PasswdLabel), u"BUTTON #5");
    EXPECT_EQ(f.form->GetText(ctl::BurglarCheck), u"SYSTEM CONFIG #12");
    EXPECT_EQ(f.form->GetText(ctl::SosGeoAlarmLabel), u"SYSTEM CONFIG #29");
    EXPECT_EQ(f.form->GetText(ctl::UpdateButton), u"FIRMWARE UPDATE #1");
    EXPECT_EQ(f.form->GetText(ctl::HiddenStaticLabel), u"Static");  // never relabelled
    EXPECT_EQ(f.form->ItemCount(ctl::ModeCombo), 4);
    EXPECT_EQ(f.form->GetSelection(ctl::ModeCombo), -1);
    EXPECT_EQ(f.form->GetText(ctl::ModeCombo), u"");
    EXPECT_EQ(f.form->windowTitle(), QStringLiteral("Trelvin (14020701)"));

    EXPECT_EQ(test::ControlIdOf(QApplication::focusWidget()), ctl::BurglarCheck);
    const QRect area = f.form->screen()->availableGeometry();
    const PxPoint centre = CentredTopLeft(f.form->width(), f.form->height(),
                                          {area.x(), area.y(), area.width(), area.height()});
    EXPECT_EQ(f.form->pos(), QPoint(centre.x, centre.y));

    // The label-wrap adjustment ran with the texts of [SLEEP MODE] entries 2 and 3.
    const QFontMetrics metrics(QApplication::font());
    const QRect a = Px(ctl::TimeToSleepLabel);
    const PxRect sleep =
        WrapTimeToSleepLabel({a.x(), a.y(), a.width(), a.height()},
                             metrics.horizontalAdvance(QStringLiteral("SLEEP MODE #2")));
    EXPECT_EQ(f.C(ctl::TimeToSleepLabel)->geometry(),
              QRect(sleep.left, sleep.top, sleep.width, sleep.height));
    EXPECT_TRUE(f.C(ctl::UpdateButton)->isVisible());
}

TEST_F(FilesStartup, HideFirmwareUpdateAppliesTheHiddenLayout) {
    WriteSettings(u"Marked.ini", u"1");
    WriteLanguage("Marked.ini", MarkedTable());
    ASSERT_TRUE(f.Show());
    EXPECT_TRUE(f.ui.Events().empty());
    for (const int id : {ctl::FirmwareUpdatePanel, ctl::UpdateButton, ctl::UpdateProgress}) {
        EXPECT_FALSE(f.C(id)->isVisible()) << id;
    }
    EXPECT_EQ(f.C(ctl::TimeToSleepLabel)->width(), 300);
    EXPECT_EQ(f.C(ctl::TimeToWakeupLabel)->width(), 300);
    const QRect v = Px(ctl::ServerConfigPanel);
    const QRect panel = f.C(ctl::SleepModePanel)->geometry();
    EXPECT_EQ(panel.y() + panel.height(), v.y() + v.height());
    EXPECT_EQ(f.C(ctl::SleepHourEdit)->y(), f.C(ctl::TimeToSleepLabel)->y() + 30);
    EXPECT_EQ(f.C(ctl::WakeupSecEdit)->y(), f.C(ctl::TimeToWakeupLabel)->y() + 30);
}

TEST_F(FilesStartup, AMissingEntryStopsTheTextsWhereItStands) {
    // Without [SYSTEM CONFIG] entry 10 everything after it shifts up by one and the
    // section runs out at entry 29.
    auto table = MarkedTable();
    auto& system = table[u"[SYSTEM CONFIG]"];
    system.erase(system.begin() + 10);
    WriteSettings(u"Short.ini", u"1");
    WriteLanguage("Short.ini", table);
    ASSERT_TRUE(f.Show());

    const auto boxes = f.ui.ErrorBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(test::Narrow(boxes[0]).find("[SYSTEM CONFIG] entry 29"), std::string::npos);
    EXPECT_TRUE(f.ui.Messages().empty());
    EXPECT_EQ(f.form->GetText(ctl::SecuritySmsPanel), u"SYSTEM CONFIG #12");  // shifted
    EXPECT_EQ(f.form->GetText(ctl::ButtonPressedCheck), u"SYSTEM CONFIG #29");
    EXPECT_EQ(f.form->GetText(ctl::SosGeoAlarmLabel), u"(SOS/Geo/Alarm)");  // template
    EXPECT_EQ(f.form->GetText(ctl::GsmGprsPanel), u"GSM / GPRS Config");
    EXPECT_EQ(f.form->ItemCount(ctl::ModeCombo), 0);
    // Neither layout ran although the settings hide the firmware panel, and the form
    // stays where the template put it.
    EXPECT_TRUE(f.C(ctl::UpdateButton)->isVisible());
    EXPECT_EQ(f.C(ctl::TimeToSleepLabel)->geometry(), Px(ctl::TimeToSleepLabel));
    EXPECT_EQ(f.form->pos(), QPoint(0, 0));
    EXPECT_TRUE(f.form->isVisible());
}

TEST_F(FilesStartup, TheShippedFilesLabelTheFormInEnglish) {
    const QString data = QStringLiteral(QUARNEL_DATA_DIR);
    ASSERT_TRUE(QFile::copy(data + "/Player.ini", Dir() + "/Player.ini"));
    ASSERT_TRUE(QDir().mkpath(Dir() + "/Lang"));
    ASSERT_TRUE(QFile::copy(data + "/Lang/English.ini", Dir() + "/Lang/English.ini"));
    ASSERT_TRUE(f.Show());
    EXPECT_TRUE(f.ui.Events().empty());
    EXPECT_EQ(f.form->GetText(ctl::GetGpsLogButton), u"Get GPS Log");
    EXPECT_EQ(f.form->ItemCount(ctl::ModeCombo), 4);
}

}  // namespace
}  // namespace quarnel
