#pragma once

#include <filesystem>
#include <string>

namespace quarnel {

// Where the form looks for its files, all in the program directory (the executable's
// folder, without a trailing separator).

// program directory + "/Player.ini"
std::filesystem::path SettingsFilePath(const std::u16string& programDir);

// program directory + "/Lang/" + the language name exactly as the settings file gives
// it, joined as plain text: an empty name leaves the path naming the Lang folder itself,
// which then fails to open as a language file.
std::filesystem::path LanguageFilePath(const std::u16string& programDir,
                                       const std::u16string& languageName);

}  // namespace quarnel
