// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "form/ui_services.h"

namespace quarnel {

// The two values of Player.ini, held by the main form for its whole life.
struct Settings {
    std::u16string languageName;       // key "Language": the file's name inside Lang/
    bool firmwarePanelHidden = false;  // key "HideFirmwareUpdate"
};

// Reads the settings file at `path` into `settings`. Returns true when the file was
// opened, whatever it held; false (after "Cannot open Lang.ini file!") when it could not
// be opened. A key that does not occur leaves its field as it was.
bool LoadSettings(const std::filesystem::path& path, Settings& settings, UiServices& ui);

// What LoadSettings does with the file's bytes once it has them (UTF-16LE, BOM optional):
// every line outside "[SETUP]" lines is split at its first "="; the keys "Language" and
// "HideFirmwareUpdate" (exact case, nothing trimmed) set their fields, the last occurrence
// winning. Nothing in the bytes is an error.
void ParseSettings(std::string_view bytes, Settings& settings);

}  // namespace quarnel
