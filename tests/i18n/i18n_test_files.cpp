// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "i18n/i18n_test_files.h"

#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

namespace quarnel::test {

std::string Utf16Le(std::u16string_view text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::string Utf16File(const std::vector<std::u16string>& lines, TextFileStyle style) {
    std::u16string text;
    if (style.bom) {
        text += kBom;
    }
    for (const auto& line : lines) {
        text += line;
        switch (style.lineEnd) {
            case LineEnd::Lf:
                text += u"\n";
                break;
            case LineEnd::CrLf:
                text += u"\r\n";
                break;
            case LineEnd::Cr:
                text += u"\r";
                break;
        }
    }
    return Utf16Le(text);
}

TempDir::TempDir() {
    // A name no other folder has: create_directory fails when the folder exists.
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto candidate =
            std::filesystem::temp_directory_path() / ("quarnel-i18n-" + std::to_string(seed()));
        if (std::filesystem::create_directory(candidate)) {
            m_path = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::filesystem::path TempDir::Write(const std::string& name, std::string_view bytes) const {
    const std::filesystem::path file = m_path / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + file.string());
    }
    return file;
}

}  // namespace quarnel::test
