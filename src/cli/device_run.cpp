// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/device_run.h"

#include <algorithm>

#include "cli/fleet_run.h"
#include "form/control_ids.h"
#include "form/messages.h"
#include "form/utf8.h"
#include "params/param_commands.h"

namespace quarnel::cli {

namespace {

constexpr std::string_view kNoTracker = "USB CONNECT FAILURE: no tracker (USB 051a:511b) was found";

// The backend a run talks through: the side's own, or a keyhole onto one path of it.
std::unique_ptr<OnePathBackend> Keyhole(TrackerSide& side, const std::optional<std::string>& path) {
    if (!path) {
        return nullptr;
    }
    return std::make_unique<OnePathBackend>(side.Backend(), *path);
}

}  // namespace

DeviceRun::DeviceRun(TrackerSide& side, std::optional<std::string> path)
    : m_side(side),
      m_path(std::move(path)),
      m_onePath(Keyhole(side, m_path)),
      m_watch(m_onePath ? static_cast<HidBackend&>(*m_onePath) : side.Backend()) {}

DeviceRun::DeviceRun(std::unique_ptr<TrackerSide> side, std::optional<std::string> path)
    : m_owned(std::move(side)),
      m_side(*m_owned),
      m_path(std::move(path)),
      m_onePath(Keyhole(m_side, m_path)),
      m_watch(m_onePath ? static_cast<HidBackend&>(*m_onePath) : m_side.Backend()) {}

std::optional<Failure> DeviceRun::FailureIn(const CliUi& services, const std::u16string* ownWords) {
    if (services.Said(msg::kUsbConnectFailure)) {
        if (m_path) {
            return Failure{ExitStatus::NoTracker,
                           "USB CONNECT FAILURE: the tracker at " + *m_path + " is gone"};
        }
        return Failure{ExitStatus::NoTracker, std::string(kNoTracker)};
    }
    switch (m_watch.Check()) {
        case AnswerWatch::Trouble::None:
            break;
        case AnswerWatch::Trouble::CannotOpen:
            return Failure{ExitStatus::CannotOpenTracker,
                           m_watch.Description() +
                               "; to use it without root, install the udev rule (see "
                               "docs/quarnelctl.md)"};
        case AnswerWatch::Trouble::NotAnswering:
            return Failure{ExitStatus::StoppedAnswering,
                           "the tracker stopped answering: " +
                               (ownWords != nullptr ? Utf8(*ownWords) : m_watch.Description())};
    }
    return std::nullopt;
}

std::optional<Failure> DeviceRun::TrackerFailure(const std::u16string* ownWords) {
    return FailureIn(ui, ownWords);
}

std::optional<Failure> DeviceRun::ReadConfiguration() {
    CommandContext ctx = Context();
    GetParameter(ctx, params);
    if (auto failure = TrackerFailure()) {
        return failure;
    }
    if (auto failure = UnexpectedMessages({msg::kGetFinish})) {
        return failure;
    }
    NoteIdentity(form);
    return std::nullopt;
}

std::optional<Failure> DeviceRun::Identify() {
    HeadlessForm window;
    CliUi services;
    ParamState fields;
    CommandContext ctx{Link(), window, services};
    GetParameter(ctx, fields);
    if (auto failure = FailureIn(services, nullptr)) {
        return failure;
    }
    if (auto failure = Unexpected(services, {msg::kGetFinish})) {
        return failure;
    }
    NoteIdentity(window);
    return std::nullopt;
}

void DeviceRun::NoteIdentity(FormAccess& window) {
    m_identity = TrackerIdentity{Utf8(window.GetText(ctl::ImeiDisplay)),
                                 Utf8(window.GetText(ctl::VersionEdit))};
}

std::optional<Failure> DeviceRun::Unexpected(const CliUi& services,
                                             std::initializer_list<std::u16string_view> expected) {
    std::string text;
    for (const std::u16string& m : services.Messages()) {
        if (std::find(expected.begin(), expected.end(), m) == expected.end()) {
            text += (text.empty() ? "" : "; ") + Utf8(m);
        }
    }
    for (const std::u16string& m : services.ErrorBoxes()) {
        text += (text.empty() ? "" : "; ") + Utf8(m);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    return Failure{ExitStatus::Unexpected, text};
}

std::optional<Failure> DeviceRun::UnexpectedMessages(
    std::initializer_list<std::u16string_view> expected) {
    return Unexpected(ui, expected);
}

int DeviceRun::End(CliEnvironment& env, int status) {
    std::string error;
    if (m_owned && !m_owned->Finish(error)) {
        const int fileStatus = Report(env, {ExitStatus::FileError, error});
        return status == 0 ? fileStatus : status;
    }
    return status;
}

namespace {

// The tracker --device names: it must be attached, and a tracker.
std::optional<Failure> CheckDevice(TrackerSide& side, const std::string& path) {
    const std::vector<std::string> trackers = FindTrackerPaths(side.Backend());
    if (std::find(trackers.begin(), trackers.end(), path) != trackers.end()) {
        return std::nullopt;
    }
    if (IsForeignDevice(side.Backend(), path)) {
        return Failure{ExitStatus::NoTracker, path + " is not a tracker (USB 051a:511b)"};
    }
    return Failure{ExitStatus::NoTracker, "no tracker is attached at " + path};
}

// Each tracker's line on standard error, as list prints it.
void ListOnError(CliEnvironment& env, const std::vector<TrackerOutcome>& outcomes) {
    for (const std::string& line : TrackerLines(outcomes)) {
        env.err << line << "\n";
    }
    env.err << std::flush;
}

// The tracker whose IMEI --imei names, read from each attached tracker.
std::optional<Failure> FindImei(TrackerSide& side, CliEnvironment& env, const std::string& imei,
                                std::string& path) {
    const std::vector<std::string> trackers = FindTrackerPaths(side.Backend());
    if (trackers.empty()) {
        return Failure{ExitStatus::NoTracker, std::string(kNoTracker)};
    }
    const std::vector<TrackerOutcome> outcomes = IdentifyTrackers(side, trackers, env);
    std::vector<std::string> matches;
    for (const TrackerOutcome& o : outcomes) {
        if (o.status == 0 && o.identity && o.identity->imei == imei) {
            matches.push_back(o.path);
        }
    }
    if (matches.size() == 1) {
        path = matches.front();
        return std::nullopt;
    }
    ListOnError(env, outcomes);
    if (matches.empty()) {
        return Failure{ExitStatus::NoTracker, "no attached tracker has the IMEI " + imei};
    }
    return Failure{ExitStatus::ChooseTracker, std::to_string(matches.size()) +
                                                  " trackers have the IMEI " + imei +
                                                  "; choose one with --device PATH"};
}

}  // namespace

std::unique_ptr<DeviceRun> StartDeviceRun(const CommandLine& line, CliEnvironment& env, int& status,
                                          bool changesTracker) {
    std::string error;
    std::unique_ptr<TrackerSide> side = env.openTracker(line.global, error);
    if (!side) {
        status = Report(env, {ExitStatus::FileError, error});
        return nullptr;
    }
    std::optional<std::string> path;
    std::optional<Failure> failure;
    if (line.choice.device) {
        failure = CheckDevice(*side, *line.choice.device);
        path = line.choice.device;
    } else if (line.choice.imei) {
        std::string found;
        failure = FindImei(*side, env, *line.choice.imei, found);
        path = found;
    } else {
        // No choice: the window's rule, the first tracker found. With several attached a
        // command that changes a tracker must not guess which.
        const std::vector<std::string> trackers = FindTrackerPaths(side->Backend());
        if (trackers.size() > 1 && changesTracker) {
            ListOnError(env, IdentifyTrackers(*side, trackers, env));
            failure = Failure{ExitStatus::ChooseTracker,
                              std::to_string(trackers.size()) +
                                  " trackers are attached; choose one with --device PATH or "
                                  "--imei IMEI, or all of them with --all"};
        } else if (trackers.size() > 1) {
            Warn(env, std::to_string(trackers.size()) +
                          " trackers are attached; reading the first one found, " +
                          trackers.front() + " (choose one with --device or --imei)");
        }
    }
    if (failure) {
        status = Report(env, *failure);
        return nullptr;
    }
    status = 0;
    return std::make_unique<DeviceRun>(std::move(side), std::move(path));
}

int Report(CliEnvironment& env, const Failure& failure) {
    env.err << "quarnelctl: " << failure.message << "\n" << std::flush;
    env.lastFailure = failure.message;
    return static_cast<int>(failure.status);
}

void Warn(CliEnvironment& env, std::string_view message) {
    env.err << "quarnelctl: warning: " << message << "\n" << std::flush;
}

std::string Utf8(std::u16string_view text) {
    return EncodeUtf8(text);
}

}  // namespace quarnel::cli
