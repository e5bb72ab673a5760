// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "app/quarnel_app.h"

namespace quarnel {
namespace {

// A user whose locale writes 1,5 must still get CSV numbers with a point: the window
// configures the C library's numbers back to the C locale after Qt adopted the user's.
class DecimalCommaLocale : public testing::Test {
protected:
    void SetUp() override {
        // Build a German locale of our own, so the test does not depend on what the
        // machine has generated.
        const std::string command = "localedef -i de_DE -f UTF-8 " +
                                    (m_dir / "de_DE.UTF-8").string() + " >/dev/null 2>&1";
        std::filesystem::create_directories(m_dir);
        std::system(command.c_str());
        setenv("LOCPATH", m_dir.c_str(), 1);
        if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
            GTEST_SKIP() << "no decimal-comma locale could be built (localedef, package locales)";
        }
    }
    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        unsetenv("LOCPATH");
        std::filesystem::remove_all(m_dir);
    }
    static std::string Formatted(double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", value);
        return text;
    }
    std::filesystem::path m_dir = std::filesystem::temp_directory_path() /
                                  ("quarnel-locale-" + std::to_string(getpid()));
};

TEST_F(DecimalCommaLocale, NumbersKeepTheirPointOnceTheApplicationIsConfigured) {
    ASSERT_EQ(Formatted(1.5), "1,5") << "the locale must really use a decimal comma";
    ConfigureApplication(*qApp);
    EXPECT_EQ(Formatted(1.5), "1.5");
}

}  // namespace
}  // namespace quarnel
