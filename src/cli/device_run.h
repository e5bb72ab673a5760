// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

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
#include "device/tracker_paths.h"
#include "form/command_context.h"
#include "params/param_state.h"

namespace quarnel::cli {

// What a tracker says about itself, as the window's Get Parameter shows it.
struct TrackerIdentity {
    std::string imei;
    std::string firmware;
};

// Everything one command needs to run the window's own command logic on one tracker: the
// tracker (behind an AnswerWatch), payload and reply areas of its own, the window as a
// HeadlessForm and its services as a CliUi, and the parameter commands' fields of the
// window. Every tracker of a command run on several has its own DeviceRun, on a worker
// thread of its own, so nothing of one tracker's exchange can reach another's.
class DeviceRun {
public:
    // The tracker `path` of `side` (the side stays the caller's), or with no path the first
    // tracker found, as the window finds it.
    DeviceRun(TrackerSide& side, std::optional<std::string> path);
    // The same, owning the side: End() finishes it.
    DeviceRun(std::unique_ptr<TrackerSide> side, std::optional<std::string> path);
    DeviceRun(const DeviceRun&) = delete;
    DeviceRun& operator=(const DeviceRun&) = delete;

    DeviceLink Link() { return DeviceLink{m_watch, m_side.TimeSource(), m_areas}; }
    CommandContext Context() { return CommandContext{Link(), form, ui}; }
    // The same tracker and services with another window, for a second read.
    CommandContext Context(FormAccess& other) { return CommandContext{Link(), other, ui}; }
    AnswerWatch& Watch() { return m_watch; }
    TrackerSide& Side() { return m_side; }
    // The tracker's path when one was chosen.
    const std::optional<std::string>& Path() const { return m_path; }

    // How the exchange with the tracker went wrong, judged once the window's logic has run:
    // the command said "USB CONNECT FAILURE", the tracker could not be opened, or it
    // stopped answering. `ownWords` is what the command itself said about a stop, when it
    // said something; it is the better description.
    std::optional<Failure> TrackerFailure(const std::u16string* ownWords = nullptr);

    // Runs the window's Get Parameter into the headless form and notes the identity; the
    // failure, when the tracker was missing or stopped answering or anything unexpected
    // was said.
    std::optional<Failure> ReadConfiguration();

    // Learns the IMEI and firmware version with the same read (Get Parameter), into a
    // window and services of its own, so the command that follows finds the form and the
    // messages as if it ran alone (the areas keep the read's bytes, as in the window).
    std::optional<Failure> Identify();
    // Takes the identity from a window that Get Parameter has filled.
    void NoteIdentity(FormAccess& window);
    const std::optional<TrackerIdentity>& Identity() const { return m_identity; }

    // Every message the command showed that is not among `expected`, and every error box,
    // as a failure; nothing when there were none.
    std::optional<Failure> UnexpectedMessages(std::initializer_list<std::u16string_view> expected);

    // Ends the run: an owned tracker side finishes (the simulated trackers save their
    // state). A failure there turns a success into a file error and is reported either way.
    int End(CliEnvironment& env, int status);

    HeadlessForm form;
    CliUi ui;
    ParamState params;

private:
    std::optional<Failure> FailureIn(const CliUi& services, const std::u16string* ownWords);
    static std::optional<Failure> Unexpected(const CliUi& services,
                                             std::initializer_list<std::u16string_view> expected);

    std::unique_ptr<TrackerSide> m_owned;
    TrackerSide& m_side;
    std::optional<std::string> m_path;
    std::unique_ptr<OnePathBackend> m_onePath;
    AnswerWatch m_watch;
    CommandAreas m_areas;
    std::optional<TrackerIdentity> m_identity;
};

// Opens the tracker the command line chooses: the one --device names, the one whose IMEI
// --imei names, or else the first one found. With several attached and neither option
// given, a command that changes the tracker (`changesTracker`) refuses and lists them; one
// that only reads takes the first and says so. Nothing, with the failure reported and its
// status in `status`, when no tracker can be chosen.
std::unique_ptr<DeviceRun> StartDeviceRun(const CommandLine& line, CliEnvironment& env, int& status,
                                          bool changesTracker = false);

// Writes "quarnelctl: MESSAGE" on standard error and keeps it as the environment's last
// failure; returns the failure's status.
int Report(CliEnvironment& env, const Failure& failure);

// A warning line on standard error: "quarnelctl: warning: MESSAGE".
void Warn(CliEnvironment& env, std::string_view message);

// Window text for the terminal.
std::string Utf8(std::u16string_view text);

}  // namespace quarnel::cli
