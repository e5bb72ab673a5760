// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "firmware/firmware_transfer.h"

#include <cstring>

#include "form/control_ids.h"

namespace quarnel {

namespace {

void PutHeader(uint8_t* payload, uint8_t group, uint8_t part) {
    payload[payload::kOp] = OP_SET;
    payload[payload::kLen] = kFirmwareLen;
    payload[payload::kGroup] = group;
    payload[payload::kPart] = part;
}

}  // namespace

void PutFirmwareStart(uint8_t* payload) {
    PutHeader(payload, kGroupFirmwareStart, 0);
}

void PutFirmwareBlock(uint8_t* payload, const ImageArea& area, uint32_t block) {
    PutHeader(payload, kGroupFirmwareBlock, static_cast<uint8_t>(block % 8));
    PutLe32(payload + payload::kIndex, block);
    std::memcpy(payload + payload::kBody, area.data() + size_t{block} * kFirmwareBlockSize,
                kFirmwareBlockSize);
}

void PutFirmwareEnd(uint8_t* payload, const Md5Digest& areaDigest) {
    PutHeader(payload, kGroupFirmwareEnd, 0);
    // The 16 digest bytes in digest order over the index field and the body's start.
    std::memcpy(payload + payload::kIndex, areaDigest.data(), areaDigest.size());
}

int ProgressAfterBlock(uint32_t block) {
    return static_cast<int>(uint64_t{kFirmwareBlockSize} * (block + 1) * 100 / kImageAreaSize);
}

std::optional<UnansweredCommand> SendImage(CHidCmd& cmd, const ImageArea& area, FormAccess& form) {
    uint8_t* payload = cmd.Link().areas.payload.data();
    const Md5Digest areaDigest = Md5::Of(area.data(), kImageAreaSize);

    PutFirmwareStart(payload);
    if (!Transact(cmd, kWritePolicy)) {
        return UnansweredCommand{UnansweredCommand::Start};
    }

    int shown = form.GetProgress(ctl::UpdateProgress);
    for (uint32_t block = 0; block < kFirmwareBlockCount; ++block) {
        PutFirmwareBlock(payload, area, block);
        if (!Transact(cmd, kWritePolicy)) {
            return UnansweredCommand{UnansweredCommand::Block, block};
        }
        const int progress = ProgressAfterBlock(block);
        form.SetProgress(ctl::UpdateProgress, progress);
        // The window runs no event loop of its own during the transfer; letting it paint
        // at each new percentage keeps the bar moving without slowing the transfer.
        if (progress != shown) {
            shown = progress;
            form.KeepAlive();
        }
    }

    PutFirmwareEnd(payload, areaDigest);
    if (!Transact(cmd, kWritePolicy)) {
        return UnansweredCommand{UnansweredCommand::End};
    }
    return std::nullopt;
}

}  // namespace quarnel
