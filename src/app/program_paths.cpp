#include "app/program_paths.h"

namespace quarnel {

std::filesystem::path SettingsFilePath(const std::u16string& programDir) {
    return std::filesystem::path(programDir + u"/Player.ini");
}

std::filesystem::path LanguageFilePath(const std::u16string& programDir,
                                       const std::u16string& languageName) {
    return std::filesystem::path(programDir + u"/Lang/" + languageName);
}

}  // namespace quarnel
