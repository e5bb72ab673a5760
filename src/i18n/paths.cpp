// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "i18n/paths.h"

#include <string>

#include "form/utf8.h"
#include "os/files.h"

namespace quarnel {

std::filesystem::path SettingsFilePath(const std::filesystem::path& programDir) {
    std::filesystem::path path = programDir;
    path += "/Player.ini";
    return path;
}

// The name comes from a file that may hold anything; the conversion never fails (a lone
// surrogate becomes U+FFFD), where std::filesystem's own would throw. It is appended as
// text, not joined as a path, so an absolute name stays below the program's folder.
std::filesystem::path LanguageFilePath(const std::filesystem::path& programDir,
                                       std::u16string_view languageName) {
    std::filesystem::path path = programDir;
    path += "/Lang/";
    path += os::PathFromUtf8(EncodeUtf8(languageName)).native();
    return path;
}

}  // namespace quarnel
