// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "i18n/settings.h"

#include "form/messages.h"
#include "form/wide_number.h"
#include "i18n/file_bytes.h"
#include "i18n/utf16_pieces.h"

namespace quarnel {

namespace {

constexpr std::u16string_view kSetupHeading = u"[SETUP]";
constexpr std::u16string_view kLanguageKey = u"Language";
constexpr std::u16string_view kHideFirmwareKey = u"HideFirmwareUpdate";

}  // namespace

void ParseSettings(std::string_view bytes, Settings& settings) {
    Utf16PieceReader reader(bytes);
    std::u16string piece;
    while (reader.Next(piece)) {
        // Sections are not tracked: the heading is merely skipped, and so is any line that
        // happens to contain it, key or not.
        if (piece.find(kSetupHeading) != std::u16string::npos) {
            continue;
        }
        const size_t equals = piece.find(u'=');
        if (equals == std::u16string::npos) {
            continue;  // no key
        }
        const std::u16string_view line(piece);
        const std::u16string_view key = line.substr(0, equals);
        const std::u16string_view value = line.substr(equals + 1);
        if (key == kLanguageKey) {
            settings.languageName = value;
        } else if (key == kHideFirmwareKey) {
            settings.firmwarePanelHidden = ParseWideLong(value) != 0;
        }
    }
}

bool LoadSettings(const std::filesystem::path& path, Settings& settings, UiServices& ui) {
    const auto bytes = ReadFileBytes(path);
    if (!bytes) {
        // The same words as for the language file, whichever of the two failed.
        ui.ShowMessage(std::u16string(msg::kCannotOpenLang));
        return false;
    }
    ParseSettings(*bytes, settings);
    return true;
}

}  // namespace quarnel
