// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// A profile checked whole: its keys against the catalogue, every refusal with its line,
// the values that are fine, the checksum and sealing.
#include "profile/profile_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "params/param_catalogue.h"
#include "profile/profile_samples.h"
#include "profile/profile_write.h"
#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

using test::LineOf;
using test::Replaced;
using test::SampleProfile;

const std::string kBase = FormatProfile(SampleProfile());

std::string Problems(const CheckedProfile& c) {
    std::string all;
    for (const ProfileProblem& p : c.problems) {
        all += std::to_string(p.line) + ": " + p.text + "\n";
    }
    return all;
}

TEST(ProfileKeys, NameEveryControlSetParameterWritesExactlyOnce) {
    std::multiset<int> named;
    for (const ProfileKey& key : ProfileKeys()) {
        if (key.kind == ValueKind::Transport) {
            for (int box : ItemOf(key).controls) {
                named.insert(box);
            }
        } else {
            named.insert(key.control);
        }
    }
    size_t written = 0;
    for (const ParamItem& item : Catalogue()) {
        if (!item.written) {
            continue;
        }
        for (int c : item.controls) {
            if (c != kNoControl) {
                EXPECT_EQ(named.count(c), 1u) << "control " << c;
                ++written;
            }
        }
        for (const ListElement& e : item.elements) {
            EXPECT_EQ(named.count(e.control), 1u) << "control " << e.control;
            ++written;
        }
    }
    EXPECT_EQ(named.size(), written);
}

TEST(ProfileKeys, ComeSectionBySectionInTheOrderOfTheSections) {
    auto section = BodySections().begin();
    for (const ProfileKey& key : ProfileKeys()) {
        while (section != BodySections().end() && *section != key.section) {
            ++section;
        }
        ASSERT_NE(section, BodySections().end()) << key.section << " " << key.key;
    }
}

TEST(ProfileKeys, TakeTheKeyboardLimitsOfTheCatalogue) {
    EXPECT_EQ(KeyboardLimit(ProfileKeys()[FindProfileKey("system", "sms_interval")]), 6);
    EXPECT_EQ(KeyboardLimit(ProfileKeys()[FindProfileKey("system", "ring_counter")]), 2);
    EXPECT_EQ(KeyboardLimit(ProfileKeys()[FindProfileKey("server", "address")]), 50);
    EXPECT_EQ(KeyboardLimit(ProfileKeys()[FindProfileKey("sleep", "wakeup_sec")]), 2);
    EXPECT_EQ(KeyboardLimit(ProfileKeys()[FindProfileKey("access", "user")]), 8);
    EXPECT_EQ(KeyboardLimit(ProfileKeys()[FindProfileKey("sensor", "active")]), 0);
    EXPECT_EQ(KeyboardLimit(ProfileKeys()[FindProfileKey("phones", "sos")]), 0);
}

TEST(CheckProfile, AcceptsAProfileAsGetWritesIt) {
    const CheckedProfile c = CheckProfile(kBase, ChecksumRule::Enforce);
    EXPECT_TRUE(c.Usable()) << Problems(c);
    EXPECT_EQ(c.seal, SealState::Matches);
    EXPECT_EQ(c.profile, SampleProfile());
    EXPECT_EQ(c.keyLines[static_cast<size_t>(FindProfileKey("system", "sms_interval"))],
              LineOf(kBase, "sms_interval ="));
}

// One change to the sample profile, and the one problem it must give.
struct Refusal {
    const char* name;
    std::string from;
    std::string to;
    std::string lineStart;  // the problem's line starts so in the changed text; "": line 0
    const char* says;
    // Problems in all: a line that cannot be read leaves its key missing as well.
    size_t count = 1;
};

class CheckProfileRefuses : public testing::TestWithParam<Refusal> {};

TEST_P(CheckProfileRefuses, WithTheProblemOnItsLine) {
    const Refusal& r = GetParam();
    const std::string text = Replaced(kBase, r.from, r.to);
    const CheckedProfile c = CheckProfile(text, ChecksumRule::Ignore);
    ASSERT_EQ(c.problems.size(), r.count) << Problems(c);
    const int line = r.lineStart.empty() ? 0 : LineOf(text, r.lineStart);
    ASSERT_TRUE(r.lineStart.empty() || line != 0) << r.lineStart;
    const auto problem =
        std::find_if(c.problems.begin(), c.problems.end(), [&](const ProfileProblem& p) {
            return p.line == line && p.text.find(r.says) != std::string::npos;
        });
    EXPECT_NE(problem, c.problems.end()) << "line " << line << ": " << r.says << "\n"
                                         << Problems(c);
    EXPECT_FALSE(c.Usable());
}

const std::string k33(33, '1');

INSTANTIATE_TEST_SUITE_P(
    Profiles, CheckProfileRefuses,
    testing::Values(
        Refusal{"UnknownSection", "[phones]", "[extra]\nx = 1\n[phones]", "[extra]",
                "unknown section [extra]"},
        Refusal{"UnknownKey", "apn = internet.emome.net", "apn = internet.emome.net\nproxy = on",
                "proxy", "unknown key [gprs] proxy"},
        Refusal{"UnknownHeaderKey", "format = 1", "format = 1\nowner = me", "owner",
                "unknown key [profile] owner"},
        Refusal{"RepeatedKey", "ring_counter = 3", "ring_counter = 3\nring_counter = 4",
                "ring_counter = 4", "appears twice (first at line"},
        Refusal{"RepeatedSection", "[phones]\n", "[sensor]\n[phones]\n", "[sensor]\n[phones]",
                "section [sensor] appears twice"},
        Refusal{"MissingKey", "ring_counter = 3\n", "", "[system]",
                "missing key [system] ring_counter"},
        Refusal{"MissingHeaderKey", "imei = 356938035643809\n", "", "[profile]",
                "missing key [profile] imei"},
        Refusal{"CharacterAboveLatin1", "apn = internet.emome.net", "apn = internet\xE2\x82\xAC",
                "apn", "U+20AC"},
        Refusal{"ControlCharacter", "password = trk2014", "password = \"trk\\x01\"",
                "password = \"trk", "control character (\\x01)"},
        Refusal{"LongerThanTheField", "apn = internet.emome.net", "apn = " + std::string(32, 'a'),
                "apn", "at most 31"},
        Refusal{"LongestAddressPlusOne", "address = track.example.net",
                "address = " + std::string(51, 'a'), "address", "at most 50"},
        Refusal{"LettersInADigitsField", "sms_interval = 600", "sms_interval = 60s", "sms_interval",
                "digits only"},
        Refusal{"SpaceInADigitsField", "tcp_port = 6100", "tcp_port = \" 6100\"", "tcp_port",
                "digits only"},
        Refusal{"DigitsFieldTooLong", "ring_counter = 3", "ring_counter = 123", "ring_counter",
                "at most 2"},
        Refusal{"SleepFieldTooLong", "sleep_hour = 23", "sleep_hour = 123", "sleep_hour",
                "at most 2"},
        Refusal{"SleepFieldNotANumber", "sleep_min = 30", "sleep_min = ab", "sleep_min",
                "whole number"},
        Refusal{"EmptyNumber", "wakeup_sec = 0", "wakeup_sec =", "wakeup_sec", "whole number"},
        Refusal{"NegativeSensor", "active = 5", "active = -5", "active", "digits only"},
        Refusal{"SensorBeyond32Bits", "active = 5", "active = 2147483648", "active",
                "beyond what the tracker stores"},
        Refusal{"SwitchNeitherOnNorOff", "burglar = on", "burglar = yes", "burglar", "on or off"},
        Refusal{"SwitchInCapitals", "burglar = on", "burglar = ON", "burglar", "on or off"},
        Refusal{"UnknownMode", "mode = deep_sleep", "mode = hibernate", "mode",
                "light_sleep, deep_sleep, scheduled or none"},
        Refusal{"UnknownTransport", "transport = udp", "transport = reply", "transport",
                "tcp, udp or udp+reply"},
        Refusal{"ElevenNumbers", "sos = +886933221100,", "sos = 1,2,3,4,5,6,7,8,9,10,11,",
                "sos = 1,2", "holds 11 numbers"},
        Refusal{"CommaEndedNumberTooLong", "sos = +886933221100,", "sos = 12," + k33 + ",",
                "sos = 12", "number 2 is 33 characters long"},
        Refusal{"LastNumberTooLong", "sos = +886933221100,", "sos = 1," + std::string(51, '2'),
                "sos = 1,22", "the last number is 51"},
        Refusal{"OtherFormat", "format = 1", "format = 2", "format", "format \"2\""},
        Refusal{"QuoteNeeded", "password = trk2014", "password = trk#2014", "password",
                "must be quoted", 2},
        Refusal{"NotUtf8", "apn = internet.emome.net", "apn = Z\xFCrich", "apn", "not valid UTF-8",
                2},
        Refusal{"StrayLine", "[phones]\n", "[phones]\nthis is no entry\n", "this is", "expected"}),
    [](const testing::TestParamInfo<Refusal>& p) { return std::string(p.param.name); });

TEST(CheckProfile, CountsAMissingSectionOnceAndReportsEveryProblemInLineOrder) {
    std::string text = kBase;
    const size_t from = text.find("[buzzer]");
    text.erase(from, text.find("[sleep]") - from);
    text = Replaced(text, "burglar = on", "burglar = maybe");
    text = Replaced(text, "apn = internet.emome.net", "apn = " + std::string(40, 'x'));
    const CheckedProfile c = CheckProfile(text, ChecksumRule::Enforce);
    ASSERT_EQ(c.problems.size(), 4u) << Problems(c);
    EXPECT_EQ(c.problems[0].line, 0);
    EXPECT_EQ(c.problems[0].text, "missing section [buzzer]");
    EXPECT_EQ(c.problems[1].line, LineOf(text, "checksum"));
    EXPECT_EQ(c.problems[2].line, LineOf(text, "burglar"));
    EXPECT_EQ(c.problems[3].line, LineOf(text, "apn"));
}

struct Fine {
    const char* name;
    std::string from;
    std::string to;
};

class CheckProfileAccepts : public testing::TestWithParam<Fine> {};

TEST_P(CheckProfileAccepts, ValuesTheWindowCouldHoldAndSend) {
    const CheckedProfile c =
        CheckProfile(Replaced(kBase, GetParam().from, GetParam().to), ChecksumRule::Ignore);
    EXPECT_TRUE(c.Usable()) << Problems(c);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, CheckProfileAccepts,
    testing::Values(
        Fine{"Latin1Text", "apn = internet.emome.net", "apn = Z\xC3\xBCrich-\xC3\xBF"},
        Fine{"EmptyText", "apn = internet.emome.net", "apn ="},
        Fine{"QuotedEmptyText", "apn = internet.emome.net", "apn = \"\""},
        Fine{"QuotedHashAndBlanks", "password = trk2014", "password = \" #;x \""},
        Fine{"FieldFull", "address = track.example.net", "address = " + std::string(50, 'a')},
        Fine{"NegativeSleepHour", "sleep_hour = 23", "sleep_hour = -1"},
        Fine{"ModeNone", "mode = deep_sleep", "mode = none"},
        Fine{"ModeScheduled", "mode = deep_sleep", "mode = scheduled"},
        Fine{"TransportWithReply", "transport = udp", "transport = udp+reply"},
        Fine{"LargestSensor", "active = 5", "active = 2147483647"},
        Fine{"CommaEndedNumberOf32", "sos = +886933221100,",
             "sos = " + std::string(32, '1') + ",2,"},
        Fine{"LastNumberOf50", "sos = +886933221100,", "sos = 1," + std::string(50, '2')},
        Fine{"TenNumbers", "sos = +886933221100,", "sos = 1,2,3,4,5,6,7,8,9,10,"},
        Fine{"NoPhones", "sos = +886933221100,", "sos ="},
        Fine{"CrLfLines", "\n[system]\n", "\r\n[system]\r\n"}),
    [](const testing::TestParamInfo<Fine>& p) { return std::string(p.param.name); });

TEST(CheckProfile, RefusesAFileFarLargerThanAnyProfile) {
    const std::string huge = kBase + "#" + std::string(kMaxProfileBytes, 'x') + "\n";
    const CheckedProfile c = CheckProfile(huge, ChecksumRule::Ignore);
    ASSERT_EQ(c.problems.size(), 1u);
    EXPECT_NE(c.problems[0].text.find("larger than 1 MiB"), std::string::npos);
}

TEST(ProfileChecksum, NoticesOneChangedByteInAnyValue) {
    const std::string body = kBase.substr(kBase.find("[system]"));
    for (size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        // Letters and digits of values; a change elsewhere breaks the syntax instead.
        if (!std::isalnum(static_cast<unsigned char>(c)) ||
            body.rfind('=', i) < body.rfind('\n', i) || body.rfind('=', i) == std::string::npos) {
            continue;
        }
        std::string damaged = kBase;
        damaged[kBase.find("[system]") + i] = c == '0' ? '1' : '0';
        const CheckedProfile checked = CheckProfile(damaged, ChecksumRule::Ignore);
        EXPECT_EQ(checked.seal, SealState::Differs) << "offset " << i;
    }
}

TEST(ProfileChecksum, NoticesACutFileBesidesItsMissingKeys) {
    const std::string cut = kBase.substr(0, kBase.find("sms = +886912345678,0917") + 10);
    const CheckedProfile c = CheckProfile(cut, ChecksumRule::Enforce);
    EXPECT_EQ(c.seal, SealState::Differs);
    ASSERT_EQ(c.problems.size(), 1u) << Problems(c);
    EXPECT_NE(c.problems[0].text.find("checksum does not match"), std::string::npos);

    const std::string shorter = kBase.substr(0, kBase.find("[phones]"));
    const CheckedProfile d = CheckProfile(shorter, ChecksumRule::Ignore);
    EXPECT_EQ(d.seal, SealState::Differs);
    EXPECT_EQ(Problems(d), "0: missing section [phones]\n");
}

TEST(ProfileChecksum, IgnoresCommentsLayoutQuotingAndLineEnds) {
    std::string text = Replaced(kBase, "[system]\n", "# edited\n[system]\n\n");
    text = Replaced(text, "sms_interval = 600", "  sms_interval=\"600\"  ");
    std::string crlf;
    for (char c : text) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    const CheckedProfile c = CheckProfile(crlf, ChecksumRule::Enforce);
    EXPECT_TRUE(c.Usable()) << Problems(c);
    EXPECT_EQ(c.seal, SealState::Matches);
}

TEST(ProfileChecksum, CoversTheHeader) {
    const CheckedProfile c =
        CheckProfile(Replaced(kBase, "imei = 3569", "imei = 3568"), ChecksumRule::Enforce);
    EXPECT_EQ(c.seal, SealState::Differs);
    EXPECT_FALSE(c.Usable());
}

TEST(ProfileChecksum, MissingOrMalformedIsAProblemOnlyWhenEnforced) {
    const std::string unsealed = Replaced(kBase, "checksum = ", "# checksum = ");
    const CheckedProfile enforced = CheckProfile(unsealed, ChecksumRule::Enforce);
    EXPECT_EQ(enforced.seal, SealState::Missing);
    EXPECT_EQ(Problems(enforced), std::to_string(LineOf(unsealed, "[profile]")) +
                                      ": [profile] has no checksum: the profile is not sealed\n");
    const CheckedProfile ignored = CheckProfile(unsealed, ChecksumRule::Ignore);
    EXPECT_TRUE(ignored.Usable());
    EXPECT_EQ(ignored.seal, SealState::Missing);

    const std::string upper = Replaced(kBase, "checksum = crc32:", "checksum = CRC32:");
    EXPECT_EQ(CheckProfile(upper, ChecksumRule::Enforce).seal, SealState::Differs);
}

TEST(SealProfileText, RewritesOnlyTheChecksumLine) {
    std::string edited = Replaced(kBase, "sms_interval = 600", "sms_interval = 900  # was 600");
    edited = Replaced(edited, "# was 600", "");
    const CheckedProfile before = CheckProfile(edited, ChecksumRule::Ignore);
    ASSERT_TRUE(before.Usable()) << Problems(before);
    ASSERT_EQ(before.seal, SealState::Differs);

    const std::string sealed = SealProfileText(edited, before);
    const CheckedProfile after = CheckProfile(sealed, ChecksumRule::Enforce);
    EXPECT_TRUE(after.Usable()) << Problems(after);
    EXPECT_EQ(after.seal, SealState::Matches);
    const size_t at = edited.find("checksum = ");
    const size_t end = edited.find('\n', at);
    EXPECT_EQ(sealed.substr(0, at), edited.substr(0, at));
    EXPECT_EQ(sealed.substr(sealed.find('\n', at)), edited.substr(end));
}

TEST(SealProfileText, AddsAMissingChecksumAfterTheHeaderKeepingCrLf) {
    std::string text = Replaced(kBase, "checksum = ", "; checksum = ");
    std::string crlf;
    for (char c : text) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    const CheckedProfile before = CheckProfile(crlf, ChecksumRule::Ignore);
    ASSERT_EQ(before.seal, SealState::Missing);
    const std::string sealed = SealProfileText(crlf, before);
    EXPECT_EQ(sealed.size(), crlf.size() + before.checksum.size() + 13);
    EXPECT_NE(sealed.find("; checksum = "), std::string::npos);
    EXPECT_NE(sealed.find("\r\nchecksum = " + before.checksum + "\r\n"), std::string::npos);
    EXPECT_EQ(CheckProfile(sealed, ChecksumRule::Enforce).seal, SealState::Matches);
}

TEST(SealProfileText, AddsTheChecksumToAHeaderThatEndsTheFile) {
    const std::string text = "[profile]\nformat = 1";
    CheckedProfile checked = CheckProfile(text, ChecksumRule::Ignore);
    EXPECT_EQ(SealProfileText(text, checked),
              "[profile]\nformat = 1\nchecksum = " + checked.checksum + "\n");
}

TEST(FormatProfile, ReadsBackAsTheSameProfileWithTrickyValues) {
    Profile p = SampleProfile();
    test::Put(p, "gprs", "apn", u" lead and trail ");
    test::Put(p, "gprs", "password", u"p#ss;w\"rd\\");
    test::Put(p, "gprs", "user", u"");
    test::Put(p, "server", "address", u"Z\u00FCrich.example");
    test::Put(p, "phones", "sms", u"");
    test::Put(p, "sleep", "mode", u"none");
    p.firmware = u"V1 \"beta\" #2";
    const CheckedProfile c = CheckProfile(FormatProfile(p), ChecksumRule::Enforce);
    EXPECT_TRUE(c.Usable()) << Problems(c);
    EXPECT_EQ(c.profile, p);
}

// The example in docs/profile-format.md is a sealed profile that set would take.
TEST(ProfileFormatDocument, ShowsASealedProfile) {
    std::ifstream doc(QUARNEL_SOURCE_DIR "/docs/profile-format.md");
    const std::string text((std::istreambuf_iterator<char>(doc)), std::istreambuf_iterator<char>());
    const size_t start = text.find("```ini\n");
    ASSERT_NE(start, std::string::npos);
    const size_t from = start + 7;
    const std::string example = text.substr(from, text.find("```\n", from) - from);
    const CheckedProfile c = CheckProfile(example, ChecksumRule::Enforce);
    EXPECT_TRUE(c.Usable()) << Problems(c);
    EXPECT_EQ(c.seal, SealState::Matches);
    EXPECT_EQ(c.profile, SampleProfile());
}

TEST(UtcTimeText, WritesIso8601InUtc) {
    EXPECT_EQ(UtcTimeText(0), u"1970-01-01T00:00:00Z");
    EXPECT_EQ(UtcTimeText(1717243200), u"2024-06-01T12:00:00Z");
}

}  // namespace
}  // namespace quarnel
