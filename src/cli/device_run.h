#pragma once

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/answer_watch.h"
#include "cli/cli_environment.h"
#include "cli/cli_ui.h"
#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/headless_form.h"
#include "device/command_areas.h"
#include "form/command_context.h"
#include "params/param_state.h"

namespace quarnel::cli {

// Everything one command needs to run the window's own command logic: the tracker (behind
// an AnswerWatch), the shared areas, the window as a HeadlessForm and its services as a
// CliUi, and the parameter commands' fields of the window.
class DeviceRun {
public:
    explicit DeviceRun(std::unique_ptr<TrackerSide> side);
    DeviceRun(const DeviceRun&) = delete;
    DeviceRun& operator=(const DeviceRun&) = delete;

    DeviceLink Link() { return DeviceLink{m_watch, m_side->TimeSource(), m_areas}; }
    CommandContext Context() { return CommandContext{Link(), form, ui}; }
    // The same tracker and services with another window, for a second read.
    CommandContext Context(FormAccess& other) { return CommandContext{Link(), other, ui}; }
    AnswerWatch& Watch() { return m_watch; }

    // How the exchange with the tracker went wrong, judged once the window's logic has run:
    // the command said "USB CONNECT FAILURE", the tracker could not be opened, or it
    // stopped answering. `ownWords` is what the command itself said about a stop, when it
    // said something; it is the better description.
    std::optional<Failure> TrackerFailure(const std::u16string* ownWords = nullptr);

    // Runs the window's Get Parameter into the headless form; the failure, when the
    // tracker was missing or stopped answering or anything unexpected was said.
    std::optional<Failure> ReadConfiguration();

    // Every message the command showed that is not among `expected`, and every error box,
    // as a failure; nothing when there were none.
    std::optional<Failure> UnexpectedMessages(std::initializer_list<std::u16string_view> expected);

    // Ends the run: the tracker side finishes (the simulated tracker saves its state). A
    // failure there turns a success into a file error and is reported either way.
    int End(CliEnvironment& env, int status);

    HeadlessForm form;
    CliUi ui;
    ParamState params;

private:
    std::unique_ptr<TrackerSide> m_side;
    AnswerWatch m_watch;
    CommandAreas m_areas;
};

// Opens the tracker the command line chooses. Nothing, with the failure reported and its
// status in `status`, when that cannot be done.
std::unique_ptr<DeviceRun> StartDeviceRun(const CommandLine& line, CliEnvironment& env,
                                          int& status);

// Writes "quarnelctl: MESSAGE" on standard error; returns the failure's status.
int Report(CliEnvironment& env, const Failure& failure);

// A warning line on standard error: "quarnelctl: warning: MESSAGE".
void Warn(CliEnvironment& env, std::string_view message);

// Window text for the terminal.
std::string Utf8(std::u16string_view text);

}  // namespace quarnel::cli
