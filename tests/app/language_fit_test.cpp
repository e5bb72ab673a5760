// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Every shipped language on the real form: each caption fits its control, measured with
// the font and style the window draws it with.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QStyle>
#include <algorithm>
#include <string>
#include <vector>

#include "caption_fit.h"
#include "form/control_ids.h"
#include "form_fixture.h"
#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

using test::CaptionOverflow;
using test::FormFixture;

const QString kDataDir = QStringLiteral(QUARNEL_DATA_DIR);

// Glyph pixels a caption may lose at its control's edge: the last anti-aliased column or
// row of a glyph. The template's own "Hour" loses one column of its "r" on the Hour label
// in DejaVu Sans, and a line of Chinese, drawn with the taller line of the CJK fallback
// font, one row at the foot of an eight-unit label; neither is seen as a cut text.
constexpr int kEdgePx = 1;

// A language file's lines, as the program's files are written: UTF-16LE, a byte-order
// mark, CR LF after every line.
std::vector<QString> ReadLanguageLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    std::vector<QString> lines;
    for (const QString& line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        lines.push_back(line);
    }
    return lines;
}

void WriteUtf16Lines(const QString& path, const std::vector<QString>& lines) {
    QString text(QChar(0xFEFF));
    for (const QString& line : lines) {
        text += line + QStringLiteral("\r\n");
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// A form started on `lines` as its language file, with the firmware panel shown or hidden.
void StartForm(FormFixture& f, const std::vector<QString>& lines, bool firmwareHidden) {
    const QString dir = f.programDir.path();
    WriteUtf16Lines(dir + "/Player.ini",
                    {QStringLiteral("[SETUP]"), QStringLiteral("Language=Shown.ini"),
                     QStringLiteral("HideFirmwareUpdate=%1").arg(firmwareHidden ? 1 : 0)});
    ASSERT_TRUE(QDir().mkpath(dir + "/Lang"));
    WriteUtf16Lines(dir + "/Lang/Shown.ini", lines);
    ASSERT_TRUE(f.Show());
    // The start-up ran to its end: every text is on its control and the layout rule ran.
    ASSERT_TRUE(f.ui.Events().empty()) << test::Narrow(f.ui.Events().front().text);
}

std::vector<std::string> ShippedLanguages() {
    std::vector<std::string> names;
    for (const QString& file :
         QDir(kDataDir + "/Lang").entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name)) {
        names.push_back(file.chopped(4).toStdString());
    }
    return names;
}

// The writing systems a language file needs a font for, beyond the Latin one.
QFontDatabase::WritingSystem WritingSystemOf(const std::vector<QString>& lines) {
    for (const QString& line : lines) {
        for (const QChar c : line) {
            if (c.script() == QChar::Script_Han) {
                return QFontDatabase::SimplifiedChinese;
            }
            if (c.script() == QChar::Script_Cyrillic) {
                return QFontDatabase::Cyrillic;
            }
        }
    }
    return QFontDatabase::Latin;
}

class LanguageFit : public testing::TestWithParam<std::string> {};

TEST_P(LanguageFit, EveryCaptionFitsItsControl) {
    const std::string language = GetParam();
    const bool firmwareHidden =
        std::string(testing::UnitTest::GetInstance()->current_test_info()->test_suite_name())
            .starts_with("FirmwarePanelHidden");
    const auto lines =
        ReadLanguageLines(kDataDir + "/Lang/" + QString::fromStdString(language) + ".ini");
    ASSERT_FALSE(lines.empty()) << language;
    if (QFontDatabase::families(WritingSystemOf(lines)).isEmpty()) {
        GTEST_SKIP() << "no font for " << language << "'s script: install fonts-noto-cjk";
    }

    FormFixture f;
    StartForm(f, lines, firmwareHidden);
    const auto overflows = test::CaptionOverflows(*f.form, kEdgePx);

    for (const CaptionOverflow& o : overflows) {
        ADD_FAILURE() << language << ": " << test::Describe(o);
    }
    EXPECT_TRUE(overflows.empty())
        << language << ": " << overflows.size() << " captions do not fit";
}

std::string LanguageCaseName(const testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(FirmwarePanelShown, LanguageFit, testing::ValuesIn(ShippedLanguages()),
                         LanguageCaseName);
INSTANTIATE_TEST_SUITE_P(FirmwarePanelHidden, LanguageFit, testing::ValuesIn(ShippedLanguages()),
                         LanguageCaseName);

TEST(LanguageFitCheck, MeasuresWithTheWindowsFontAndStyle) {
    FormFixture f;
    const QWidget* button = f.C(ctl::GetParameterButton);
    EXPECT_EQ(button->font(), CQuarnelDlg::FormFont());
    EXPECT_EQ(button->style()->name(), QStringLiteral("windows"));
    // What the fonts resolve to, for the record of a run (offscreen and under X alike).
    const QFontInfo info(button->font());
    const QFontMetrics metrics(button->font());
    testing::Test::RecordProperty("form_font",
                                  QStringLiteral("%1 %2 pt, %3 px high, base width %4 px")
                                      .arg(info.family())
                                      .arg(info.pointSizeF())
                                      .arg(metrics.height())
                                      .arg(f.form->Units().baseWidth())
                                      .toStdString());
    EXPECT_EQ(f.form->Units().baseHeight(), metrics.height());
}

// The check itself: one caption made too long for its control is found, named, and
// measured; all other captions of the English file still fit.
struct OverlongCase {
    std::string name;
    QString section;
    int entry;
    QString text;
    int controlId;
    std::string entryName;
    std::string how;
};

std::vector<OverlongCase> OverlongCases() {
    return {
        {"ButtonText", "[BUTTON]", 0, "Get Parameters From Tracker", ctl::GetParameterButton,
         "[BUTTON] entry 0", "too wide"},
        {"CheckBoxText", "[SYSTEM CONFIG]", 12, "Burglar alarm at doors and windows",
         ctl::BurglarCheck, "[SYSTEM CONFIG] entry 12", "too wide"},
        // Each text is too long in every font the form may get (DejaVu Sans on Linux,
        // Tahoma or the offscreen plugin's font under Windows).
        {"OneWordLabel", "[GSM GPRS CONFIG]", 2, "Benutzerkennung", ctl::UserLabel,
         "[GSM GPRS CONFIG] entry 2", "too wide"},
        {"OneLineLabelWrapped", "[SYSTEM CONFIG]", 3, "Interval between SMS reports (s)",
         ctl::SmsIntervalLabel, "[SYSTEM CONFIG] entry 3", "too tall"},
        {"TwoLineLabelNeedsThree", "[SLEEP MODE]", 2,
         "Time at which the tracker goes to sleep every single night of the week",
         ctl::TimeToSleepLabel, "[SLEEP MODE] entry 2", "too tall"},
        {"PanelTitle", "[SYSTEM CONFIG]", 11, "Security SMS messages switched on or off",
         ctl::SecuritySmsPanel, "[SYSTEM CONFIG] entry 11", "too wide"},
        {"ModeChoice", "[SLEEP MODE]", 10, "Scheduled by the timetable", ctl::ModeCombo,
         "[SLEEP MODE] entry 10", "too wide"},
    };
}

std::string DescribeAll(const std::vector<CaptionOverflow>& overflows) {
    std::string lines;
    for (const CaptionOverflow& o : overflows) {
        lines += test::Describe(o) + "\n";
    }
    return lines;
}

class OverlongCaption : public testing::TestWithParam<OverlongCase> {};

TEST_P(OverlongCaption, IsFoundNamedAndMeasured) {
    const OverlongCase& c = GetParam();
    auto lines = ReadLanguageLines(kDataDir + "/Lang/English.ini");
    const auto section = std::find(lines.begin(), lines.end(), c.section);
    ASSERT_NE(section, lines.end());
    *(section + 1 + c.entry) = c.text;

    FormFixture f;
    StartForm(f, lines, false);
    const auto overflows = test::CaptionOverflows(*f.form, kEdgePx);

    ASSERT_EQ(overflows.size(), 1u) << DescribeAll(overflows);
    const CaptionOverflow& o = overflows[0];
    EXPECT_EQ(o.controlId, c.controlId);
    EXPECT_EQ(o.entry, c.entryName);
    EXPECT_EQ(o.text, c.text.toStdString());
    EXPECT_EQ(o.how, c.how);
    EXPECT_GT(o.overflowPx, kEdgePx);
    // The glyphs outside the room are at least the part of their span it cannot hold.
    EXPECT_GE(o.overflowPx, o.neededPx - o.roomPx);
    EXPECT_LE(o.overflowPx, o.neededPx);
    const std::string line = test::Describe(o);
    EXPECT_NE(line.find(std::to_string(c.controlId)), std::string::npos) << line;
    EXPECT_NE(line.find(c.entryName), std::string::npos) << line;
    EXPECT_NE(line.find(std::to_string(o.overflowPx) + " px " + c.how), std::string::npos) << line;
}

TEST(LanguageFitCheck, MeasuresAButtonTextInTheFormFont) {
    auto lines = ReadLanguageLines(kDataDir + "/Lang/English.ini");
    const auto section = std::find(lines.begin(), lines.end(), QStringLiteral("[BUTTON]"));
    ASSERT_NE(section, lines.end());
    const QString text = QStringLiteral("Get Parameters From Tracker");
    *(section + 1) = text;

    FormFixture f;
    StartForm(f, lines, false);
    const auto overflows = test::CaptionOverflows(*f.form, kEdgePx);

    ASSERT_EQ(overflows.size(), 1u) << DescribeAll(overflows);
    // The glyphs span the text's advance less the side bearings at its ends.
    const int advance = QFontMetrics(CQuarnelDlg::FormFont()).horizontalAdvance(text);
    EXPECT_LE(overflows[0].neededPx, advance);
    EXPECT_GE(overflows[0].neededPx, advance - 4);
    // The room is the button less its frame and margins, never more than the button.
    EXPECT_LT(overflows[0].roomPx, f.C(ctl::GetParameterButton)->width());
    EXPECT_GT(overflows[0].roomPx, f.C(ctl::GetParameterButton)->width() - 20);
}

INSTANTIATE_TEST_SUITE_P(LanguageFitCheck, OverlongCaption, testing::ValuesIn(OverlongCases()),
                         test::RowName());

}  // namespace
}  // namespace quarnel
