// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "firmware/md5.h"

#include <gtest/gtest.h>
#if QUARNEL_HAVE_OPENSSL
#include <openssl/evp.h>
#endif

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace quarnel {
namespace {

std::string Hex(const Md5Digest& digest) {
    std::string out;
    for (uint8_t byte : digest) {
        char two[3];
        std::snprintf(two, sizeof two, "%02x", byte);
        out += two;
    }
    return out;
}

Md5Digest OfText(const std::string& text) {
    return Md5::Of(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

#if QUARNEL_HAVE_OPENSSL
Md5Digest OpenSslMd5(const std::vector<uint8_t>& bytes) {
    Md5Digest digest{};
    unsigned int size = 0;
    EXPECT_EQ(EVP_Digest(bytes.data(), bytes.size(), digest.data(), &size, EVP_md5(), nullptr), 1);
    EXPECT_EQ(size, digest.size());
    return digest;
}

#endif

struct RfcCase {
    const char* name;
    std::string message;
    const char* digest;
};

void PrintTo(const RfcCase& row, std::ostream* os) {
    *os << row.name;
}

class Md5RfcSuite : public testing::TestWithParam<RfcCase> {};

TEST_P(Md5RfcSuite, GivesTheDigestOfTheTestSuite) {
    EXPECT_EQ(Hex(OfText(GetParam().message)), GetParam().digest);
}

TEST_P(Md5RfcSuite, GivesTheSameDigestFedOneByteAtATime) {
    Md5 md5;
    for (char c : GetParam().message) {
        const auto byte = static_cast<uint8_t>(c);
        md5.Add(&byte, 1);
    }
    EXPECT_EQ(Hex(md5.Finish()), GetParam().digest);
}

std::string EightyDigits() {
    std::string out;
    for (int i = 0; i < 8; ++i) {
        out += "1234567890";
    }
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Rfc1321, Md5RfcSuite,
    testing::Values(RfcCase{"Empty", "", "d41d8cd98f00b204e9800998ecf8427e"},
                    RfcCase{"A", "a", "0cc175b9c0f1b6a831c399e269772661"},
                    RfcCase{"Abc", "abc", "900150983cd24fb0d6963f7d28e17f72"},
                    RfcCase{"MessageDigest", "message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
                    RfcCase{"Alphabet", "abcdefghijklmnopqrstuvwxyz",
                            "c3fcd3d76192e4007dfb496cca67e13b"},
                    RfcCase{"LettersAndDigits",
                            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
                            "d174ab98d277d9f5a5611c2c9f419d9f"},
                    RfcCase{"EightyDigits", EightyDigits(), "57edf4a22be3c955ac49da2e2107b67a"}),
    [](const testing::TestParamInfo<RfcCase>& row) { return std::string(row.param.name); });

// OpenSSL is the yardstick of the next two where the build has it (not in the Windows
// build, which has no OpenSSL); the RFC suite above runs everywhere.
#if QUARNEL_HAVE_OPENSSL
// Every length up to a little past 4096 crosses each padding case (the length field
// fitting in the last block or needing one more) many times over.
TEST(Md5, AgreesWithOpenSslOnEveryLengthSplitIntoRandomRuns) {
    std::mt19937 rng(20240611);
    for (size_t length = 0; length <= 4160; ++length) {
        std::vector<uint8_t> bytes(length);
        for (auto& b : bytes) {
            b = static_cast<uint8_t>(rng());
        }
        const Md5Digest expected = OpenSslMd5(bytes);

        ASSERT_EQ(Hex(Md5::Of(bytes.data(), bytes.size())), Hex(expected)) << "length " << length;

        Md5 md5;
        size_t at = 0;
        while (at < length) {
            // Runs of 0 to 150 bytes: empty runs, runs inside one block and runs that span
            // several blocks all occur.
            const size_t run = std::min<size_t>(rng() % 151, length - at);
            md5.Add(bytes.data() + at, run);
            at += run;
        }
        ASSERT_EQ(Hex(md5.Finish()), Hex(expected)) << "length " << length << " in runs";
    }
}

TEST(Md5, AgreesWithOpenSslOnTheWholeImageArea) {
    std::mt19937 rng(126976);
    std::vector<uint8_t> bytes(126976);
    for (auto& b : bytes) {
        b = static_cast<uint8_t>(rng());
    }
    EXPECT_EQ(Hex(Md5::Of(bytes.data(), bytes.size())), Hex(OpenSslMd5(bytes)));
}

#endif

TEST(Md5, StartingAgainForgetsEverythingAddedBefore) {
    Md5 md5;
    const std::string noise = "left over from an earlier digest";
    md5.Add(reinterpret_cast<const uint8_t*>(noise.data()), noise.size());
    md5.Start();
    md5.Add(reinterpret_cast<const uint8_t*>("abc"), 3);
    EXPECT_EQ(Hex(md5.Finish()), "900150983cd24fb0d6963f7d28e17f72");

    md5.Start();
    EXPECT_EQ(Hex(md5.Finish()), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(Md5, AddingNothingChangesNothing) {
    Md5 md5;
    md5.Add(reinterpret_cast<const uint8_t*>("ab"), 2);
    md5.Add(nullptr, 0);
    md5.Add(reinterpret_cast<const uint8_t*>("c"), 1);
    EXPECT_EQ(Hex(md5.Finish()), "900150983cd24fb0d6963f7d28e17f72");
}

}  // namespace
}  // namespace quarnel
