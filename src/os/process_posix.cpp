// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "os/process.h"

namespace quarnel::os {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    // Linux hands the bytes as they were typed; paths among them are taken as they are.
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void PrepareProcess() {}

}  // namespace quarnel::os
