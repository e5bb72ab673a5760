#include "cli/device_run.h"

#include <algorithm>

#include "form/messages.h"
#include "form/utf8.h"
#include "params/param_commands.h"

namespace quarnel::cli {

DeviceRun::DeviceRun(std::unique_ptr<TrackerSide> side)
    : m_side(std::move(side)), m_watch(m_side->Backend()) {}

std::optional<Failure> DeviceRun::TrackerFailure(const std::u16string* ownWords) {
    if (ui.Said(msg::kUsbConnectFailure)) {
        return Failure{ExitStatus::NoTracker,
                       "USB CONNECT FAILURE: no tracker (USB 051a:511b) was found"};
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

std::optional<Failure> DeviceRun::ReadConfiguration() {
    CommandContext ctx = Context();
    GetParameter(ctx, params);
    if (auto failure = TrackerFailure()) {
        return failure;
    }
    return UnexpectedMessages({msg::kGetFinish});
}

std::optional<Failure> DeviceRun::UnexpectedMessages(
    std::initializer_list<std::u16string_view> expected) {
    std::string text;
    for (const std::u16string& m : ui.Messages()) {
        if (std::find(expected.begin(), expected.end(), m) == expected.end()) {
            text += (text.empty() ? "" : "; ") + Utf8(m);
        }
    }
    for (const std::u16string& m : ui.ErrorBoxes()) {
        text += (text.empty() ? "" : "; ") + Utf8(m);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    return Failure{ExitStatus::Unexpected, text};
}

int DeviceRun::End(CliEnvironment& env, int status) {
    std::string error;
    if (!m_side->Finish(error)) {
        const int fileStatus = Report(env, {ExitStatus::FileError, error});
        return status == 0 ? fileStatus : status;
    }
    return status;
}

std::unique_ptr<DeviceRun> StartDeviceRun(const CommandLine& line, CliEnvironment& env,
                                          int& status) {
    std::string error;
    std::unique_ptr<TrackerSide> side = env.openTracker(line.global, error);
    if (!side) {
        status = Report(env, {ExitStatus::FileError, error});
        return nullptr;
    }
    status = 0;
    return std::make_unique<DeviceRun>(std::move(side));
}

int Report(CliEnvironment& env, const Failure& failure) {
    env.err << "quarnelctl: " << failure.message << "\n" << std::flush;
    return static_cast<int>(failure.status);
}

void Warn(CliEnvironment& env, std::string_view message) {
    env.err << "quarnelctl: warning: " << message << "\n" << std::flush;
}

std::string Utf8(std::u16string_view text) {
    return EncodeUtf8(text);
}

}  // namespace quarnel::cli
