// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "device/command_areas.h"
#include "firmware/firmware_update.h"
#include "firmware/image_check.h"
#include "firmware/md5.h"
#include "firmware/temp_dir.h"
#include "form/command_context.h"
#include "support/sim_fixture.h"

namespace quarnel::test {

// The Update command against one simulated tracker on the virtual clock, with USB frames
// timed as on the real bus, an in-memory form and scripted dialogs.
class UpdateFixture : public testing::Test, protected SimRig {
protected:
    UpdateFixture() : SimRig(sim::FactoryState(), true) {}

    void RunUpdate() {
        CommandContext ctx = Context();
        OnUpdateFirmware(ctx);
    }

    // Writes the two files and queues them as the answers of the two dialogs.
    void ChooseFiles(const std::vector<uint8_t>& image, const std::string& digestFile) {
        ui.QueueDialogAnswer(dir.Write("tracker.bin", image));
        ui.QueueDialogAnswer(dir.Write("tracker.md5", digestFile));
    }

    // The command reports the host sent, in order.
    std::vector<std::vector<uint8_t>> HostReports() { return SentReports(tracker); }

    size_t OpenDialogsShown() {
        size_t n = 0;
        for (const RecordingUi::Event& e : ui.Events()) {
            n += e.kind == RecordingUi::Event::OpenDialog ? 1 : 0;
        }
        return n;
    }

    TempDir dir;
};

inline std::vector<uint8_t> PatternBytes(size_t n, uint32_t seed) {
    std::vector<uint8_t> bytes(n);
    uint32_t x = seed;
    for (auto& b : bytes) {
        x = x * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(x >> 24);
    }
    return bytes;
}

inline std::string DigestOf(const std::vector<uint8_t>& bytes) {
    return DigestText(Md5::Of(bytes.data(), bytes.size()));
}

// The image area a given image becomes: its first bytes, zero-filled.
inline std::vector<uint8_t> AreaOf(const std::vector<uint8_t>& image) {
    std::vector<uint8_t> area(kImageAreaSize, 0);
    std::copy_n(image.begin(), std::min(image.size(), area.size()), area.begin());
    return area;
}

}  // namespace quarnel::test
