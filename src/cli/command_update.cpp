// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/commands.h"
#include "cli/device_run.h"
#include "cli/fleet_run.h"
#include "cli/progress_display.h"
#include "firmware/firmware_messages.h"
#include "firmware/firmware_update.h"
#include "form/control_ids.h"
#include "form/messages.h"
#include "os/files.h"

namespace quarnel::cli {

namespace {

// How the update's message about a tracker that stopped answering begins
// (firmware/firmware_messages.h).
constexpr std::u16string_view kTransferFailed = u"FIRMWARE UPDATE FAILED";

std::optional<Failure> Judge(DeviceRun& run, const std::string& image, const std::string& digest) {
    const CliUi& ui = run.ui;
    if (auto failure = run.TrackerFailure(ui.SaidStartingWith(kTransferFailed))) {
        return failure;
    }
    if (const auto& trouble = ui.Trouble()) {
        return Failure{ExitStatus::FileError, "cannot open " + os::Utf8FromPath(trouble->path) +
                                                  ": " + trouble->error.message()};
    }
    if (ui.Said(msg::kCannotReadImageFile)) {
        return Failure{ExitStatus::FileError, image + ": " + Utf8(msg::kCannotReadImageFile)};
    }
    if (ui.Said(msg::kCannotReadDigestFile)) {
        return Failure{ExitStatus::FileError, digest + ": " + Utf8(msg::kCannotReadDigestFile)};
    }
    if (ui.Said(msg::kFileCheckMd5Ng)) {
        return Failure{ExitStatus::DigestMismatch, "FILE CHECK MD5 NG: the MD5 digest of " + image +
                                                       " is not the one at the start of " + digest +
                                                       "; nothing was sent to the tracker"};
    }
    if (!ui.Said(msg::kFileCheckMd5Ok)) {
        // The files were tried before the command got them; one that then failed to open
        // ends the update without a word.
        return Failure{ExitStatus::FileError,
                       "cannot open " + image + " or " + digest + "; nothing was sent"};
    }
    return run.UnexpectedMessages({msg::kFileCheckMd5Ok, msg::kUnplugAndReboot});
}

}  // namespace

int RunUpdate(const CommandLine& line, CliEnvironment& env) {
    const std::string& image = line.operands.at(0);
    const std::string& digest = line.operands.at(1);
    JobRules rules;
    rules.changesTracker = true;
    rules.identifyFirst = true;
    rules.progressBar = ctl::UpdateProgress;
    return RunOnTrackers(line, env, rules, [&image, &digest](DeviceRun& run, CliEnvironment& e) {
        run.ui.AnswerDialogsWith({os::PathFromUtf8(image), os::PathFromUtf8(digest)});
        // A worker of --all leaves its progress to the run.
        std::optional<ProgressDisplay> progress;
        if (!e.worker) {
            progress.emplace(e.err, e.errIsTerminal, "Sending the firmware");
            run.form.OnProgress([&progress](int id, int position) {
                if (id == ctl::UpdateProgress) {
                    progress->Show(position);
                }
            });
        }
        CommandContext ctx = run.Context();
        OnUpdateFirmware(ctx);
        if (progress) {
            progress->Finish();
        }
        if (auto failure = Judge(run, image, digest)) {
            return Report(e, *failure);
        }
        e.out << Utf8(msg::kFileCheckMd5Ok) << "\n"
              << "The firmware was sent. " << Utf8(msg::kUnplugAndReboot) << "\n"
              << std::flush;
        return 0;
    });
}

}  // namespace quarnel::cli
