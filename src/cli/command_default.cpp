// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/commands.h"
#include "cli/device_run.h"
#include "cli/fleet_run.h"
#include "form/messages.h"
#include "params/param_catalogue.h"
#include "params/param_commands.h"

namespace quarnel::cli {

int RunDefault(const CommandLine& line, CliEnvironment& env) {
    JobRules rules;
    rules.changesTracker = true;
    rules.commands = 1 + 2 * ReadTransactionCount();
    return RunOnTrackers(line, env, rules, [](DeviceRun& run, CliEnvironment& e) {
        CommandContext ctx = run.Context();
        SetDefault(ctx, run.params);
        if (auto failure = run.TrackerFailure()) {
            return Report(e, *failure);
        }
        if (auto failure = run.UnexpectedMessages({msg::kGetFinish})) {
            return Report(e, *failure);
        }
        // Set Default reads the configuration back into the window.
        run.NoteIdentity(run.form);
        e.out << "The tracker is back on its factory settings.\n" << std::flush;
        return 0;
    });
}

}  // namespace quarnel::cli
