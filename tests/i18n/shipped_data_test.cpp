// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The files that ship in data/ must label the whole form.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "form/control_ids.h"
#include "i18n/file_bytes.h"
#include "i18n/lang_fixture.h"
#include "i18n/lang_table.h"
#include "i18n/paths.h"
#include "i18n/settings.h"
#include "i18n/text_table.h"
#include "support/memory_form.h"
#include "support/recording_ui.h"

namespace quarnel {
namespace {

const std::filesystem::path kDataDir = QUARNEL_DATA_DIR;

std::vector<std::string> ShippedLanguageFiles() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kDataDir / "Lang")) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The program's text files are UTF-16LE with a byte-order mark and CR LF after every line.
void ExpectProgramTextFormat(const std::filesystem::path& file) {
    const auto bytes = ReadFileBytes(file);
    ASSERT_TRUE(bytes) << file;
    ASSERT_EQ(bytes->size() % 2, 0u) << file;
    ASSERT_GE(bytes->size(), 2u);
    EXPECT_EQ(bytes->substr(0, 2), "\xFF\xFE") << file;
    EXPECT_EQ(bytes->substr(bytes->size() - 4), std::string("\r\0\n\0", 4)) << file;
    for (size_t i = 2; i + 1 < bytes->size(); i += 2) {
        const bool lf = (*bytes)[i] == '\n' && (*bytes)[i + 1] == 0;
        if (lf) {
            EXPECT_EQ(bytes->substr(i - 2, 2), std::string("\r\0", 2)) << file << " at " << i;
        }
    }
}

TEST(ShippedData, SettingsFileNamesEnglishAndShowsTheFirmwarePanel) {
    ExpectProgramTextFormat(SettingsFilePath(kDataDir));
    test::RecordingUi ui;
    Settings settings{u"Prior.ini", true};

    ASSERT_TRUE(LoadSettings(SettingsFilePath(kDataDir), settings, ui));

    EXPECT_EQ(settings.languageName, u"English.ini");
    EXPECT_FALSE(settings.firmwarePanelHidden);
    CLangTable table;
    EXPECT_TRUE(LoadLanguage(LanguageFilePath(kDataDir, settings.languageName), table, ui));
    EXPECT_TRUE(ui.Events().empty());
}

TEST(ShippedData, ShipsEnglishAndTheTrackersOtherMarkets) {
    const auto files = ShippedLanguageFiles();
    for (const char* name : {"English.ini", "ChineseTraditional.ini", "ChineseSimplified.ini",
                             "Spanish.ini", "Russian.ini", "PortugueseBrazil.ini", "Turkish.ini"}) {
        EXPECT_NE(std::find(files.begin(), files.end(), name), files.end()) << name;
    }
}

class ShippedLanguageTest : public testing::TestWithParam<std::string> {};

TEST_P(ShippedLanguageTest, LabelsTheWholeForm) {
    const auto path =
        LanguageFilePath(kDataDir, std::u16string(GetParam().begin(), GetParam().end()));
    ExpectProgramTextFormat(path);
    test::RecordingUi ui;
    CLangTable table;
    ASSERT_TRUE(LoadLanguage(path, table, ui));
    EXPECT_TRUE(ui.Events().empty());
    for (size_t s = 0; s < kLangSectionCount; ++s) {
        EXPECT_EQ(table.Count(test::SectionAt(s)), test::kRequiredCounts[s])
            << test::Narrow(std::u16string(SectionName(test::SectionAt(s))));
    }

    test::MemoryForm form;
    ASSERT_NO_THROW(ApplyLanguageTexts(table, form));

    for (const LangTextRow& row : kLangTextRows) {
        if (row.kind == LangTextRow::Caption) {
            EXPECT_FALSE(form.GetText(row.controlId).empty()) << "control " << row.controlId;
        }
    }
    const auto items = form.Snapshot(ctl::ModeCombo).items;
    ASSERT_EQ(items.size(), 4u);
    for (const auto& item : items) {
        EXPECT_FALSE(item.empty());
    }
}

std::string FileCaseName(const testing::TestParamInfo<std::string>& file) {
    std::string name = file.param.substr(0, file.param.rfind('.'));
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(ShippedData, ShippedLanguageTest,
                         testing::ValuesIn(ShippedLanguageFiles()), FileCaseName);

// The captions the form's template gives each control.
const std::map<int, std::u16string> kTemplateCaptions = {
    {ctl::GetParameterButton, u"Get Parameter"},
    {ctl::SetParameterButton, u"Set Parameter"},
    {ctl::GetGpsLogButton, u"Get GPS Log"},
    {ctl::EraseGpsLogButton, u"Erase GPS Log"},
    {ctl::SetDefaultButton, u"Set Default"},
    {ctl::PasswdLabel, u"Passwd"},
    {ctl::TrackerPanel, u"Tracker"},
    {ctl::SystemConfigPanel, u"System Config"},
    {ctl::ImeiLabel, u"IMEI"},
    {ctl::VersionLabel, u"Version"},
    {ctl::SmsIntervalLabel, u"SMS Interval (s)"},
    {ctl::GprsIntervalLabel, u"GPRS Interval (s)"},
    {ctl::LogIntervalLabel, u"LOG Interval (s)"},
    {ctl::GeoFenceLabel, u"Geo Fence (m)"},
    {ctl::DisableAlarmLabel, u"Disable Alarm (s)"},
    {ctl::RingCounterLabel, u"Ring Counter"},
    {ctl::SensorActiveLabel, u"Sensor Active"},
    {ctl::SecuritySmsPanel, u"Security SMS On/Off"},
    {ctl::BurglarCheck, u"Burglar"},
    {ctl::SosCheck, u"SOS"},
    {ctl::SecurityGeoFenceCheck, u"Geo Fence"},
    {ctl::PowerCutCheck, u"Power Cut"},
    {ctl::LowBatteryCheck, u"Low Battery"},
    {ctl::VibrationAlarmCheck, u"Vibration Alarm"},
    {ctl::GpsFixAlarmCheck, u"GPS Fix Alarm"},
    {ctl::OverSpeedAlarmCheck, u"Over Speed Alarm"},
    {ctl::KmhLabel, u"[km/h]"},
    {ctl::BuzzerPanel, u"Buzzer On/Off"},
    {ctl::SmsSendCheck, u"SMS Send"},
    {ctl::GprsSendCheck, u"GPRS Send"},
    {ctl::BuzzerGeoFenceCheck, u"Geo Fence"},
    {ctl::UsbSetCheck, u"USB Set"},
    {ctl::WebSetCheck, u"Web Set"},
    {ctl::SmsSetCheck, u"SMS Set"},
    {ctl::ButtonPressedCheck, u"Button Pressed"},
    {ctl::SosGeoAlarmLabel, u"(SOS/Geo/Alarm)"},
    {ctl::GsmGprsPanel, u"GSM / GPRS Config"},
    {ctl::ApnLabel, u"APN"},
    {ctl::UserLabel, u"User"},
    {ctl::PassLabel, u"Pass"},
    {ctl::ServerConfigPanel, u"Server Config"},
    {ctl::IpDomainLabel, u"IP / Domain Name"},
    {ctl::TcpPortLabel, u"TCP Port"},
    {ctl::UdpPortLabel, u"UDP Port"},
    {ctl::ConfigPortLabel, u"Config Port"},
    {ctl::ReplyLabel, u"Reply"},
    {ctl::PhoneConfigPanel, u"Phone Config"},
    {ctl::ScuPhoneLabel, u"SCU Phone [ex:****,****,]"},
    {ctl::SosPhoneLabel, u"SOS Phone [ex:****,****,]"},
    {ctl::SmsPhoneLabel, u"SMS Phone [ex:****,****,]"},
    {ctl::SleepModePanel, u"Sleep Mode"},
    {ctl::ModeLabel, u"Mode"},
    {ctl::TimeToSleepLabel, u"Time to Sleep"},
    {ctl::TimeToWakeupLabel, u"Time to Wakeup"},
    {ctl::HourLabel, u"Hour"},
    {ctl::MinLabel, u"Min."},
    {ctl::SecLabel, u"Sec."},
    {ctl::FirmwareUpdatePanel, u"Firmware Update"},
    {ctl::UpdateButton, u"Update"},
};

TEST(ShippedData, EnglishGivesTheTemplateCaptions) {
    test::RecordingUi ui;
    CLangTable table;
    ASSERT_TRUE(LoadLanguage(LanguageFilePath(kDataDir, u"English.ini"), table, ui));
    test::MemoryForm form;
    ApplyLanguageTexts(table, form);

    ASSERT_EQ(kTemplateCaptions.size(), 59u);
    for (const auto& [id, caption] : kTemplateCaptions) {
        EXPECT_EQ(form.GetText(id), caption)
            << "control " << id << ": " << test::Narrow(form.GetText(id));
    }
    EXPECT_EQ(form.Snapshot(ctl::ModeCombo).items,
              (std::vector<std::u16string>{u"Off", u"Light Sleep", u"Deep Sleep", u"Scheduled"}));
    EXPECT_FALSE(table.Entry(LangSection::SystemConfig, 10).empty());
}

}  // namespace
}  // namespace quarnel
