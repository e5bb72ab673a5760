#include "cli/commands.h"
#include "cli/device_run.h"
#include "form/messages.h"
#include "params/param_commands.h"

namespace quarnel::cli {

int RunDefault(const CommandLine& line, CliEnvironment& env) {
    int status = 0;
    std::unique_ptr<DeviceRun> run = StartDeviceRun(line, env, status);
    if (!run) {
        return status;
    }
    CommandContext ctx = run->Context();
    SetDefault(ctx, run->params);
    if (auto failure = run->TrackerFailure()) {
        return run->End(env, Report(env, *failure));
    }
    if (auto failure = run->UnexpectedMessages({msg::kGetFinish})) {
        return run->End(env, Report(env, *failure));
    }
    env.out << "The tracker is back on its factory settings.\n" << std::flush;
    return run->End(env, 0);
}

}  // namespace quarnel::cli
