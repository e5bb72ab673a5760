// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <filesystem>
#include <string_view>

namespace quarnel {

// Where the window looks for its two files. `programDir` is the executable's folder, as
// the platform hands it out (no trailing separator).

// programDir + "/Player.ini".
std::filesystem::path SettingsFilePath(const std::filesystem::path& programDir);

// programDir + "/Lang/" + languageName, joined as text: the name is used exactly as the
// settings file gives it, with no extension added and no path rules applied, so an empty
// name names the Lang folder itself (which then fails to open as a language file).
// The name's UTF-16 is stored as UTF-8; a lone surrogate, which no UTF-8 name can hold,
// becomes U+FFFD.
std::filesystem::path LanguageFilePath(const std::filesystem::path& programDir,
                                       std::u16string_view languageName);

}  // namespace quarnel
