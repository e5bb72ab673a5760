// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/commands.h"
#include "cli/device_run.h"
#include "cli/fleet_run.h"
#include "gpslog/log_tasks.h"
#include "i18n/lang_table.h"

namespace quarnel::cli {

int RunErase(const CommandLine& line, CliEnvironment& env) {
    JobRules rules;
    rules.changesTracker = true;
    rules.identifyFirst = true;
    rules.commands = 2;
    return RunOnTrackers(line, env, rules, [](DeviceRun& run, CliEnvironment& e) {
        // The erase is the window's background task, run here on this thread: nothing
        // else runs on this tracker meanwhile, and no timer is needed to learn of its end.
        // Its captions are never shown, so the text table stays empty.
        const CLangTable noTexts;
        {
            LogTasks tasks(run.Link(), run.form, run.form, run.ui, noTexts);
            tasks.EraseGpsLog();
        }
        if (auto failure = run.TrackerFailure()) {
            return Report(e, *failure);
        }
        if (auto failure = run.UnexpectedMessages({})) {
            return Report(e, *failure);
        }
        e.out << "The GPS log is erased.\n" << std::flush;
        return 0;
    });
}

}  // namespace quarnel::cli
