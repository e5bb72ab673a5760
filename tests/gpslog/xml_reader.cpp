// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gpslog/xml_reader.h"

#include <cstdint>

namespace quarnel::test {

std::vector<const XmlElement*> XmlElement::All(std::string_view n) const {
    std::vector<const XmlElement*> out;
    for (const auto& c : children) {
        if (c->name == n) {
            out.push_back(c.get());
        }
    }
    return out;
}

const XmlElement* XmlElement::First(std::string_view n) const {
    for (const auto& c : children) {
        if (c->name == n) {
            return c.get();
        }
    }
    return nullptr;
}

std::vector<std::string> XmlElement::ChildNames() const {
    std::vector<std::string> out;
    for (const auto& c : children) {
        out.push_back(c->name);
    }
    return out;
}

namespace {

class Reader {
public:
    explicit Reader(std::string_view text) : m_s(text) {}

    XmlDocument Read() {
        XmlDocument doc;
        if (Starts("<?xml")) {
            const size_t end = m_s.find("?>", m_i);
            if (end == std::string_view::npos) {
                return Fail("unterminated XML declaration");
            }
            m_i = end + 2;
        }
        if (!Misc()) {
            return Fail(m_error);
        }
        if (!Starts("<")) {
            return Fail("no root element");
        }
        doc.root = Element();
        if (!doc.root) {
            return Fail(m_error);
        }
        if (!Misc()) {
            return Fail(m_error);
        }
        if (m_i != m_s.size()) {
            return Fail("content after the root element");
        }
        return doc;
    }

private:
    XmlDocument Fail(std::string why) {
        XmlDocument doc;
        doc.error = why + " at offset " + std::to_string(m_i);
        return doc;
    }
    bool Starts(std::string_view prefix) const { return m_s.substr(m_i).starts_with(prefix); }
    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    void SkipSpace() {
        while (m_i < m_s.size() && IsSpace(m_s[m_i])) {
            ++m_i;
        }
    }
    // Blanks and comments outside the root.
    bool Misc() {
        for (;;) {
            SkipSpace();
            if (Starts("<!--")) {
                if (!Comment()) {
                    return false;
                }
                continue;
            }
            return true;
        }
    }
    bool Comment() {
        const size_t end = m_s.find("-->", m_i + 4);
        if (end == std::string_view::npos) {
            m_error = "unterminated comment";
            return false;
        }
        m_i = end + 3;
        return true;
    }
    static bool NameChar(char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == ':' || c == '-' || c == '.' ||
               static_cast<unsigned char>(c) >= 0x80;
    }
    std::string Name() {
        const size_t start = m_i;
        while (m_i < m_s.size() && NameChar(m_s[m_i])) {
            ++m_i;
        }
        const std::string name(m_s.substr(start, m_i - start));
        if (name.empty() || (name[0] >= '0' && name[0] <= '9') || name[0] == '-' ||
            name[0] == '.') {
            m_error = "bad name";
            return {};
        }
        return name;
    }
    static void PutUtf8(std::string& out, uint32_t c) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    // After '&': one reference, appended decoded to `out`.
    bool Reference(std::string& out) {
        const size_t end = m_s.find(';', m_i);
        if (end == std::string_view::npos || end - m_i > 10) {
            m_error = "bad reference";
            return false;
        }
        const std::string_view ref = m_s.substr(m_i + 1, end - m_i - 1);
        m_i = end + 1;
        if (ref == "amp") {
            out += '&';
        } else if (ref == "lt") {
            out += '<';
        } else if (ref == "gt") {
            out += '>';
        } else if (ref == "quot") {
            out += '"';
        } else if (ref == "apos") {
            out += '\'';
        } else if (ref.starts_with("#")) {
            const bool hex = ref.starts_with("#x");
            const std::string digits(ref.substr(hex ? 2 : 1));
            if (digits.empty()) {
                m_error = "bad character reference";
                return false;
            }
            unsigned long c = 0;
            for (char d : digits) {
                const int v = d >= '0' && d <= '9'          ? d - '0'
                              : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10
                              : hex && d >= 'A' && d <= 'F' ? d - 'A' + 10
                                                            : -1;
                if (v < 0) {
                    c = 0;
                    break;
                }
                c = c * (hex ? 16 : 10) + static_cast<unsigned long>(v);
            }
            if (c == 0 || c > 0x10FFFF) {
                m_error = "bad character reference";
                return false;
            }
            PutUtf8(out, static_cast<uint32_t>(c));
        } else {
            m_error = "unknown entity &" + std::string(ref) + ";";
            return false;
        }
        return true;
    }
    std::unique_ptr<XmlElement> Element() {
        ++m_i;  // '<'
        auto e = std::make_unique<XmlElement>();
        e->name = Name();
        if (e->name.empty()) {
            return nullptr;
        }
        for (;;) {
            const size_t before = m_i;
            SkipSpace();
            if (Starts("/>")) {
                m_i += 2;
                return e;
            }
            if (Starts(">")) {
                ++m_i;
                break;
            }
            if (m_i == before) {
                m_error = "no blank before an attribute";
                return nullptr;
            }
            const std::string attribute = Name();
            if (attribute.empty()) {
                return nullptr;
            }
            SkipSpace();
            if (!Starts("=")) {
                m_error = "attribute without value";
                return nullptr;
            }
            ++m_i;
            SkipSpace();
            if (m_i >= m_s.size() || (m_s[m_i] != '"' && m_s[m_i] != '\'')) {
                m_error = "unquoted attribute value";
                return nullptr;
            }
            const char quote = m_s[m_i++];
            std::string value;
            while (m_i < m_s.size() && m_s[m_i] != quote) {
                if (m_s[m_i] == '<') {
                    m_error = "'<' in an attribute value";
                    return nullptr;
                }
                if (m_s[m_i] == '&') {
                    if (!Reference(value)) {
                        return nullptr;
                    }
                    continue;
                }
                value += m_s[m_i++];
            }
            if (m_i >= m_s.size()) {
                m_error = "unterminated attribute value";
                return nullptr;
            }
            ++m_i;
            if (!e->attributes.emplace(attribute, value).second) {
                m_error = "repeated attribute " + attribute;
                return nullptr;
            }
        }
        // Content.
        for (;;) {
            if (m_i >= m_s.size()) {
                m_error = "unclosed element " + e->name;
                return nullptr;
            }
            if (Starts("</")) {
                m_i += 2;
                const std::string closing = Name();
                SkipSpace();
                if (closing != e->name || !Starts(">")) {
                    m_error = "</" + closing + "> closes <" + e->name + ">";
                    return nullptr;
                }
                ++m_i;
                return e;
            }
            if (Starts("<!--")) {
                if (!Comment()) {
                    return nullptr;
                }
                continue;
            }
            if (Starts("<!") || Starts("<?")) {
                m_error = "markup this reader does not take";
                return nullptr;
            }
            if (Starts("<")) {
                auto child = Element();
                if (!child) {
                    return nullptr;
                }
                e->children.push_back(std::move(child));
                continue;
            }
            if (m_s[m_i] == '&') {
                if (!Reference(e->text)) {
                    return nullptr;
                }
                continue;
            }
            if (Starts("]]>")) {
                m_error = "']]>' in text";
                return nullptr;
            }
            e->text += m_s[m_i++];
        }
    }

    std::string_view m_s;
    size_t m_i = 0;
    std::string m_error;
};

}  // namespace

XmlDocument ParseXml(std::string_view text) {
    return Reader(text).Read();
}

}  // namespace quarnel::test
