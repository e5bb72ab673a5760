// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "os/process.h"

namespace quarnel::os {

namespace {

std::string Utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string out(static_cast<size_t>(size - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    }
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) {
        args.push_back(Utf8(wide[i]));
    }
    LocalFree(wide);
    return args;
}

void PrepareProcess() {
    SetConsoleOutputCP(CP_UTF8);
    // The C library reads TZ as "std offset [dst]" only; an Olson name such as
    // "Europe/Berlin" (MSYS shells export one) would leave it at UTC.
    const char* tz = std::getenv("TZ");
    if (tz != nullptr && std::strchr(tz, '/') != nullptr) {
        _putenv("TZ=");
        _tzset();
    }
}

}  // namespace quarnel::os
