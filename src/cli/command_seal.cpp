// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/commands.h"
#include "cli/device_run.h"
#include "cli/file_io.h"
#include "cli/profile_input.h"
#include "os/files.h"

namespace quarnel::cli {

int RunSeal(const CommandLine& line, CliEnvironment& env) {
    const std::string& path = line.operands.at(0);
    int status = 0;
    std::string bytes;
    std::optional<CheckedProfile> checked =
        ReadProfileFile(path, ChecksumRule::Ignore, env, status, &bytes);
    if (!checked) {
        return status;
    }
    if (!checked->Usable()) {
        ListProblems(env, path, *checked);
        return Report(env, {ExitStatus::ProfileRefused, path + ": not sealed (" +
                                                            ProblemCount(checked->problems.size()) +
                                                            "); the file was not changed"});
    }
    if (checked->seal == SealState::Matches) {
        env.out << path << " is sealed already (" << checked->checksum << ").\n" << std::flush;
        return 0;
    }
    std::string error;
    if (!ReplaceFile(os::PathFromUtf8(path), SealProfileText(bytes, *checked), error)) {
        return Report(env, {ExitStatus::FileError, error});
    }
    env.out << path << " sealed (" << checked->checksum << ").\n" << std::flush;
    return 0;
}

}  // namespace quarnel::cli
