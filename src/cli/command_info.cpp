// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/commands.h"
#include "cli/device_run.h"
#include "cli/fleet_run.h"
#include "form/control_ids.h"
#include "params/param_catalogue.h"

namespace quarnel::cli {

int RunInfo(const CommandLine& line, CliEnvironment& env) {
    JobRules rules;
    rules.commands = ReadTransactionCount();
    return RunOnTrackers(line, env, rules, [](DeviceRun& run, CliEnvironment& e) {
        if (auto failure = run.ReadConfiguration()) {
            return Report(e, *failure);
        }
        e.out << "IMEI: " << Utf8(run.form.GetText(ctl::ImeiDisplay)) << "\n"
              << "Firmware version: " << Utf8(run.form.GetText(ctl::VersionEdit)) << "\n"
              << std::flush;
        return 0;
    });
}

}  // namespace quarnel::cli
