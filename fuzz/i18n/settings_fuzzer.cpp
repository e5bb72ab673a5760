// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Any bytes as Player.ini: parsing never fails, and what it keeps is one whole line piece.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "i18n/paths.h"
#include "i18n/settings.h"

namespace {

constexpr size_t kMaxLanguageName = 255 - 9;  // a 255-unit piece less "Language="

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    quarnel::Settings settings;
    quarnel::ParseSettings(bytes, settings);

    Check(settings.languageName.size() <= kMaxLanguageName);
    for (char16_t unit : settings.languageName) {
        Check(unit != u'\r' && unit != u'\n' && unit != 0);
    }
    // The window builds a path from whatever name the file gave; that must never throw.
    (void)quarnel::LanguageFilePath("/opt/quarnel", settings.languageName);
    return 0;
}
