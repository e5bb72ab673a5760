// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarnel::test {

// A small, strict XML reader for reading the GPX and KML files back: elements, attributes,
// character data, the XML declaration, comments and the five predefined and numeric
// character references. Anything else (DOCTYPE, CDATA, processing instructions after the
// declaration, unknown entities, mismatched or unclosed tags, text outside the root, a
// '<' or a lone '&' in text, a repeated attribute) is an error. Names are kept as written,
// prefixes included ("gx:coord").
struct XmlElement {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::string text;  // character data directly inside, concatenated
    std::vector<std::unique_ptr<XmlElement>> children;

    // Children named `name`, in document order.
    std::vector<const XmlElement*> All(std::string_view name) const;
    // The first child named `name`, or null.
    const XmlElement* First(std::string_view name) const;
    // Names of the children in document order.
    std::vector<std::string> ChildNames() const;
};

struct XmlDocument {
    std::unique_ptr<XmlElement> root;
    std::string error;  // empty when the text is well-formed
};

XmlDocument ParseXml(std::string_view text);

}  // namespace quarnel::test
