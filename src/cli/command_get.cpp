// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <memory>

#include "cli/commands.h"
#include "cli/device_run.h"
#include "cli/file_io.h"
#include "cli/file_pattern.h"
#include "cli/fleet_run.h"
#include "os/files.h"
#include "params/param_catalogue.h"
#include "profile/profile_check.h"
#include "profile/profile_form.h"
#include "profile/profile_syntax.h"
#include "profile/profile_write.h"

namespace quarnel::cli {

namespace {

// Values the tracker holds that the window's fields could not take from the keyboard:
// the profile keeps them as they are, and says that set will refuse it as it stands.
void WarnAboutValues(CliEnvironment& env, const Profile& profile) {
    for (size_t i = 0; i < ProfileKeys().size(); ++i) {
        const ProfileKey& key = ProfileKeys()[i];
        if (auto problem = CheckValue(key, profile.values[i])) {
            Warn(env, "[" + std::string(key.section) + "] " + std::string(key.key) + " = " +
                          FormatValue(profile.values[i]) + ": " + *problem +
                          "; set will refuse this profile until the value is changed");
        }
    }
}

}  // namespace

int RunGet(const CommandLine& line, CliEnvironment& env) {
    const bool toStdout = !line.output || *line.output == "-";
    if (line.choice.all && (toStdout || !HasImeiField(*line.output))) {
        return Report(env, {ExitStatus::Usage,
                            "get --all writes one profile per tracker: name them with {imei} in "
                            "-o, as in -o 'profiles/{imei}.ini' (see quarnelctl get --help)"});
    }
    auto claims = std::make_shared<FileClaims>();
    JobRules rules;
    rules.commands = ReadTransactionCount();
    return RunOnTrackers(
        line, env, rules, [&line, toStdout, claims](DeviceRun& run, CliEnvironment& e) {
            if (auto failure = run.ReadConfiguration()) {
                return Report(e, *failure);
            }
            Profile profile = ProfileFromForm(run.form);
            profile.readAt = UtcTimeText(e.now());
            const std::string text = FormatProfile(profile);
            WarnAboutValues(e, profile);

            if (!toStdout) {
                std::string file;
                if (auto failure = NameFile(*line.output, run, *claims, file)) {
                    return Report(e, *failure);
                }
                std::string error;
                if (!WriteWholeFile(os::PathFromUtf8(file), text, error)) {
                    return Report(e, {ExitStatus::FileError, error});
                }
                if (e.worker) {
                    e.out << "profile written to " << file << "\n" << std::flush;
                }
                return 0;
            }
            e.out << text << std::flush;
            if (!e.out) {
                return Report(
                    e, {ExitStatus::FileError, "cannot write the profile to standard output"});
            }
            return 0;
        });
}

}  // namespace quarnel::cli
