// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/row_name.h"  // RowName: cases named after their rows

namespace quarnel::test {

// The bytes of `text` as UTF-16 little-endian, as the program's text files hold it.
std::string Utf16Le(std::u16string_view text);

inline constexpr std::u16string_view kBom = u"\uFEFF";

// How the lines of a test file are put together.
enum class LineEnd { Lf, CrLf, Cr };
struct TextFileStyle {
    bool bom = true;
    LineEnd lineEnd = LineEnd::CrLf;
};

// `lines`, each followed by its line end, in UTF-16LE.
std::string Utf16File(const std::vector<std::u16string>& lines, TextFileStyle style = {});

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // Writes `bytes` to `name` inside the folder (creating sub-folders) and returns its path.
    std::filesystem::path Write(const std::string& name, std::string_view bytes) const;

private:
    std::filesystem::path m_path;
};

}  // namespace quarnel::test
