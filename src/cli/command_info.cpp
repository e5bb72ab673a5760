#include "cli/commands.h"
#include "cli/device_run.h"
#include "form/control_ids.h"

namespace quarnel::cli {

int RunInfo(const CommandLine& line, CliEnvironment& env) {
    int status = 0;
    std::unique_ptr<DeviceRun> run = StartDeviceRun(line, env, status);
    if (!run) {
        return status;
    }
    if (auto failure = run->ReadConfiguration()) {
        return run->End(env, Report(env, *failure));
    }
    env.out << "IMEI: " << Utf8(run->form.GetText(ctl::ImeiDisplay)) << "\n"
            << "Firmware version: " << Utf8(run->form.GetText(ctl::VersionEdit)) << "\n"
            << std::flush;
    return run->End(env, 0);
}

}  // namespace quarnel::cli
