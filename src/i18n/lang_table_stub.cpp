// Placeholder so the tree links while the reader is written; replaced by the real files.
#include "i18n/lang_table.h"
#include "i18n/settings.h"
namespace quarnel {
LangEntryMissing::LangEntryMissing(LangSection section, size_t position)
    : std::invalid_argument("missing text table entry"), m_section(section), m_position(position) {}
void CLangTable::Clear() { for (auto& l : m_lists) l.clear(); }
void CLangTable::Append(LangSection s, std::u16string t) { m_lists[size_t(s)].push_back(std::move(t)); }
size_t CLangTable::Count(LangSection s) const { return m_lists[size_t(s)].size(); }
const std::u16string& CLangTable::Entry(LangSection s, size_t p) const {
    if (p >= Count(s)) throw LangEntryMissing(s, p);
    return m_lists[size_t(s)][p];
}
bool LoadLanguage(const std::filesystem::path&, CLangTable& t, UiServices&) { t.Clear(); return false; }
void ApplyLanguageTexts(const CLangTable&, FormAccess&) {}
bool LoadSettings(const std::filesystem::path&, Settings&, UiServices&) { return false; }
}  // namespace quarnel
