#include "cli/commands.h"
#include "cli/device_run.h"
#include "cli/file_io.h"
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
    int status = 0;
    std::unique_ptr<DeviceRun> run = StartDeviceRun(line, env, status);
    if (!run) {
        return status;
    }
    if (auto failure = run->ReadConfiguration()) {
        return run->End(env, Report(env, *failure));
    }

    Profile profile = ProfileFromForm(run->form);
    profile.readAt = UtcTimeText(env.now());
    const std::string text = FormatProfile(profile);
    WarnAboutValues(env, profile);

    if (line.output && *line.output != "-") {
        std::string error;
        if (!WriteWholeFile(*line.output, text, error)) {
            return run->End(env, Report(env, {ExitStatus::FileError, error}));
        }
    } else {
        env.out << text << std::flush;
        if (!env.out) {
            return run->End(env, Report(env, {ExitStatus::FileError,
                                              "cannot write the profile to standard output"}));
        }
    }
    return run->End(env, 0);
}

}  // namespace quarnel::cli
