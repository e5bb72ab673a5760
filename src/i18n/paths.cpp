#include "i18n/paths.h"

#include <string>

#include "form/utf8.h"

namespace quarnel {

std::filesystem::path SettingsFilePath(const std::filesystem::path& programDir) {
    return std::filesystem::path(programDir.native() + "/Player.ini");
}

// The name comes from a file that may hold anything; the conversion never fails (a lone
// surrogate becomes U+FFFD), where std::filesystem's own would throw.
std::filesystem::path LanguageFilePath(const std::filesystem::path& programDir,
                                       std::u16string_view languageName) {
    return std::filesystem::path(programDir.native() + "/Lang/" + EncodeUtf8(languageName));
}

}  // namespace quarnel
