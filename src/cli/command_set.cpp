// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <memory>

#include "cli/commands.h"
#include "cli/device_run.h"
#include "cli/fleet_run.h"
#include "cli/headless_form.h"
#include "cli/profile_input.h"
#include "cli/provisioning_report.h"
#include "cli/write_profile.h"
#include "form/messages.h"
#include "os/files.h"
#include "params/param_catalogue.h"
#include "params/param_commands.h"
#include "profile/profile_form.h"
#include "profile/profile_syntax.h"

namespace quarnel::cli {

namespace {

std::string Where(size_t key) {
    return "[" + std::string(ProfileKeys()[key].section) + "] " +
           std::string(ProfileKeys()[key].key);
}

// Reads the whole configuration back into a fresh window and compares it with what was
// written. Nothing when every value reads back as written.
std::optional<Failure> ReadBack(DeviceRun& run, CliEnvironment& env, const std::string& path,
                                const CheckedProfile& checked) {
    HeadlessForm back;
    CommandContext ctx = run.Context(back);
    GetParameter(ctx, run.params);
    if (auto failure = run.TrackerFailure()) {
        failure->message += " (while reading the profile back; it was written)";
        return failure;
    }
    run.NoteIdentity(back);
    const std::vector<ValueDifference> differences =
        CompareAfterWrite(checked.profile, ProfileFromForm(back));
    for (const ValueDifference& d : differences) {
        env.err << path << ":" << checked.keyLines[d.key] << ": " << Where(d.key)
                << " was written as " << FormatValue(d.expected) << ", the tracker reads back "
                << FormatValue(d.actual) << "\n";
    }
    if (differences.empty()) {
        return std::nullopt;
    }
    return Failure{ExitStatus::ReadBackDiffers,
                   "the tracker reads back " + std::to_string(differences.size()) +
                       (differences.size() == 1 ? " value" : " values") + " other than written"};
}

}  // namespace

int WriteProfile(DeviceRun& run, CliEnvironment& env, const std::string& path,
                 const CheckedProfile& checked) {
    FillForm(checked.profile, run.form);
    CommandContext ctx = run.Context();
    SetParameter(ctx, run.params);
    if (auto failure = run.TrackerFailure()) {
        if (failure->status == ExitStatus::StoppedAnswering) {
            failure->message += "; its configuration may be partly written";
        }
        return Report(env, *failure);
    }
    if (auto failure = run.UnexpectedMessages({msg::kSetFinish})) {
        return Report(env, *failure);
    }
    if (auto failure = ReadBack(run, env, path, checked)) {
        return Report(env, *failure);
    }
    env.out << path << " written to the tracker and read back the same.\n" << std::flush;
    return 0;
}

int RunSet(const CommandLine& line, CliEnvironment& env) {
    const std::string& path = line.operands.at(0);
    int status = 0;
    // Everything is checked before the tracker is so much as looked for.
    std::optional<CheckedProfile> checked = ReadProfileFile(
        path, line.force ? ChecksumRule::Ignore : ChecksumRule::Enforce, env, status);
    if (!checked) {
        return status;
    }
    if (!checked->Usable()) {
        ListProblems(env, path, *checked);
        return Report(env, {ExitStatus::ProfileRefused, path + ": profile refused (" +
                                                            ProblemCount(checked->problems.size()) +
                                                            "); nothing was sent to the tracker"});
    }
    if (checked->seal != SealState::Matches) {
        Warn(env, path + (checked->seal == SealState::Missing
                              ? ": the profile has no checksum; writing it all the same (--force)"
                              : ": the checksum does not match; writing it all the same "
                                "(--force)"));
    }
    if (line.each) {
        return RunStation(line, env, path, *checked);
    }

    std::shared_ptr<ProvisioningReport> report;
    if (line.report) {
        report = std::make_shared<ProvisioningReport>();
        std::string error;
        if (!report->Open(os::PathFromUtf8(*line.report), error)) {
            return Report(env, {ExitStatus::FileError, error});
        }
    }
    JobRules rules;
    rules.changesTracker = true;
    rules.commands = WriteTransactionCount() + ReadTransactionCount();
    const CheckedProfile& profile = *checked;
    return RunOnTrackers(line, env, rules, [&](DeviceRun& run, CliEnvironment& e) {
        const int result = WriteProfile(run, e, path, profile);
        if (report) {
            const TrackerIdentity identity = run.Identity().value_or(TrackerIdentity{});
            std::string error;
            if (!report->Append(
                    {e.now(), identity.imei, identity.firmware, path, profile.checksum,
                     result == 0 ? "OK"
                                 : "failed (" + std::to_string(result) + "): " + e.lastFailure},
                    error)) {
                return Report(e, {ExitStatus::FileError, error});
            }
        }
        return result;
    });
}

}  // namespace quarnel::cli
