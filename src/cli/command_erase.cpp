#include "cli/commands.h"
#include "cli/device_run.h"
#include "gpslog/log_tasks.h"
#include "i18n/lang_table.h"

namespace quarnel::cli {

int RunErase(const CommandLine& line, CliEnvironment& env) {
    int status = 0;
    std::unique_ptr<DeviceRun> run = StartDeviceRun(line, env, status);
    if (!run) {
        return status;
    }
    // The erase is the window's background task, run here on this thread: nothing else
    // runs meanwhile, and no timer is needed to learn of its end. Its captions are never
    // shown, so the text table stays empty.
    const CLangTable noTexts;
    {
        LogTasks tasks(run->Link(), run->form, run->form, run->ui, noTexts);
        tasks.EraseGpsLog();
    }
    if (auto failure = run->TrackerFailure()) {
        return run->End(env, Report(env, *failure));
    }
    if (auto failure = run->UnexpectedMessages({})) {
        return run->End(env, Report(env, *failure));
    }
    env.out << "The GPS log is erased.\n" << std::flush;
    return run->End(env, 0);
}

}  // namespace quarnel::cli
