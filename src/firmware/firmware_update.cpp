// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "firmware/firmware_update.h"

#include <array>
#include <optional>

#include "device/hid_cmd.h"
#include "firmware/firmware_messages.h"
#include "firmware/firmware_transfer.h"
#include "firmware/image_check.h"
#include "firmware/input_file.h"
#include "form/control_ids.h"
#include "form/messages.h"

namespace quarnel {

namespace {

FileDialogOptions ImageDialog() {
    return {{{u"BIN Files (*.bin)", u"*.bin"}, {u"All Files (*.*)", u"*.*"}}, u"bin"};
}

FileDialogOptions DigestDialog() {
    return {{{u"MD5 Files (*.md5)", u"*.md5"}, {u"All Files (*.*)", u"*.*"}}, u"md5"};
}

// Shared by a finished transfer, a failed one and a missing tracker: whatever happened,
// the tracker may be in an unknown state and must be restarted.
void CommonEnd(CommandContext& ctx, CHidCmd& cmd) {
    ctx.form.SetEnabled(ctl::UpdateButton, true);
    ctx.form.SetProgress(ctl::UpdateProgress, 0);
    ctx.ui.ShowMessage(std::u16string(msg::kUnplugAndReboot));
    cmd.m_io.Close();
}

// Nothing was sent and nothing went wrong that the user needs to hear about.
void QuietEnd(CommandContext& ctx, CHidCmd& cmd, InputFile& image, InputFile& digest) {
    ctx.form.SetEnabled(ctl::UpdateButton, true);
    image.Close();
    digest.Close();
    cmd.m_io.Close();
}

}  // namespace

void OnUpdateFirmware(CommandContext& ctx) {
    ctx.form.SetEnabled(ctl::UpdateButton, false);

    // A log task owns the device and the shared areas until it ends; the window's thread
    // never waits for it.
    SequenceLock sequence = TryLockSequence(ctx.link.areas);
    if (!sequence.owns_lock()) {
        ctx.ui.ShowMessage(std::u16string(msg::kFirmwareTrackerBusy));
        ctx.form.SetEnabled(ctl::UpdateButton, true);
        return;
    }

    CHidCmd cmd(ctx.link);
    if (cmd.m_io.Open() == 0) {
        ctx.ui.ShowMessage(std::u16string(msg::kUsbConnectFailure));
        CommonEnd(ctx, cmd);
        return;
    }

    // Both dialogs are set up before the first is shown.
    const FileDialogOptions imageDialog = ImageDialog();
    const FileDialogOptions digestDialog = DigestDialog();

    InputFile image;
    InputFile digest;
    const std::optional<std::filesystem::path> imagePath = ctx.ui.OpenFileDialog(imageDialog);
    if (!imagePath) {
        QuietEnd(ctx, cmd, image, digest);
        return;
    }
    const std::optional<std::filesystem::path> digestPath = ctx.ui.OpenFileDialog(digestDialog);
    if (!digestPath || !image.Open(*imagePath) || !digest.Open(*digestPath)) {
        QuietEnd(ctx, cmd, image, digest);
        return;
    }

    std::array<uint8_t, kDigestFileReadSize> digestFile{};
    size_t digestFileLength = 0;
    const bool digestRead = digest.Read(digestFile.data(), digestFile.size(), digestFileLength);
    digest.Close();
    if (!digestRead) {
        ctx.ui.ShowMessage(std::u16string(msg::kCannotReadDigestFile));
        QuietEnd(ctx, cmd, image, digest);
        return;
    }

    ImageArea area(kImageAreaSize, 0);
    size_t imageLength = 0;
    const bool imageRead = image.Read(area.data(), area.size(), imageLength);
    image.Close();
    if (!imageRead) {
        ctx.ui.ShowMessage(std::u16string(msg::kCannotReadImageFile));
        QuietEnd(ctx, cmd, image, digest);
        return;
    }

    const Md5Digest imageDigest = Md5::Of(area.data(), imageLength);
    if (!DigestFileMatches(std::span(digestFile.data(), digestFileLength), imageDigest)) {
        ctx.ui.ShowMessage(std::u16string(msg::kFileCheckMd5Ng));
        area = ImageArea();
        ctx.form.SetEnabled(ctl::UpdateButton, true);
        ctx.form.SetProgress(ctl::UpdateProgress, 0);
        cmd.m_io.Close();
        return;
    }
    ctx.ui.ShowMessage(std::u16string(msg::kFileCheckMd5Ok));

    const std::optional<UnansweredCommand> unanswered = SendImage(cmd, area, ctx.form);
    area = ImageArea();
    if (unanswered) {
        ctx.ui.ShowMessage(msg::FirmwareTransferFailed(*unanswered));
    }
    CommonEnd(ctx, cmd);
}

}  // namespace quarnel
