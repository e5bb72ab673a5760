#include "cli/commands.h"
#include "cli/device_run.h"
#include "form/control_ids.h"
#include "form/messages.h"
#include "params/param_commands.h"

namespace quarnel::cli {

int RunInfo(const CommandLine& line, CliEnvironment& env) {
    int status = 0;
    std::unique_ptr<DeviceRun> run = StartDeviceRun(line, env, status);
    if (!run) {
        return status;
    }
    CommandContext ctx = run->Context();
    GetParameter(ctx, run->params);
    if (auto failure = run->TrackerFailure()) {
        return run->End(env, Report(env, *failure));
    }
    if (auto failure = run->UnexpectedMessages({msg::kGetFinish})) {
        return run->End(env, Report(env, *failure));
    }
    env.out << "IMEI: " << Utf8(run->form.GetText(ctl::ImeiDisplay)) << "\n"
            << "Firmware version: " << Utf8(run->form.GetText(ctl::VersionEdit)) << "\n"
            << std::flush;
    return run->End(env, 0);
}

}  // namespace quarnel::cli
