// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <memory>

#include "cli/commands.h"
#include "cli/device_run.h"
#include "cli/file_io.h"
#include "cli/file_pattern.h"
#include "cli/fleet_run.h"
#include "cli/log_format.h"
#include "cli/progress_display.h"
#include "form/control_ids.h"
#include "form/messages.h"
#include "gpslog/log_download.h"
#include "gpslog/log_messages.h"
#include "gpslog/log_record.h"
#include "gpslog/log_tasks.h"
#include "i18n/lang_table.h"
#include "os/files.h"

namespace quarnel::cli {

namespace {

// How the download's own messages begin (gpslog/log_messages.h).
constexpr std::u16string_view kStoppedAtRecord = u"The tracker stopped answering at record";
constexpr std::u16string_view kFileNotWritten = u"The log file could not be written";

// What the download said about a tracker that did not deliver its log.
const std::u16string* OwnWordsOnStop(const CliUi& ui) {
    for (const std::u16string& m : ui.Messages()) {
        if (m == msg::kLogCountMissing || m == msg::kLogNotReady ||
            std::u16string_view(m).starts_with(kStoppedAtRecord)) {
            return &m;
        }
    }
    return nullptr;
}

// The CSV file's bytes, when it is a regular file that can be read (not a device).
std::optional<std::string> RegularFileBytes(const std::filesystem::path& file) {
    os::FileInfo info;
    std::string bytes;
    std::string error;
    if (!os::Stat(file, info) || !info.regular ||
        !ReadWholeFile(file, static_cast<size_t>(info.size), bytes, error)) {
        return std::nullopt;
    }
    return bytes;
}

// The lines after the header.
size_t CsvRecords(const std::string& bytes) {
    size_t lines = 0;
    for (size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2)) {
        ++lines;
    }
    return lines > 0 ? lines - 1 : 0;
}

// The window's download, run on this thread with the headless form as both the window and
// the worker's form, and the file from the command line as the save dialog's answer.
std::optional<Failure> DownloadCsv(DeviceRun& run, const std::filesystem::path& file) {
    run.ui.AnswerDialogsWith({file});
    const CLangTable noTexts;  // the button captions are never shown
    {
        LogTasks tasks(run.Link(), run.form, run.form, run.ui, noTexts);
        tasks.DownloadGpsLog();
    }
    const std::u16string* ownWords = OwnWordsOnStop(run.ui);
    if (auto failure = run.TrackerFailure(ownWords)) {
        return failure;
    }
    if (ownWords != nullptr) {
        // The tracker answered, but its log never became ready.
        return Failure{ExitStatus::StoppedAnswering, Utf8(*ownWords)};
    }
    if (const auto& trouble = run.ui.Trouble()) {
        return Failure{ExitStatus::FileError, "cannot create " + os::Utf8FromPath(trouble->path) +
                                                  ": " + trouble->error.message()};
    }
    if (const std::u16string* notWritten = run.ui.SaidStartingWith(kFileNotWritten)) {
        return Failure{ExitStatus::FileError, os::Utf8FromPath(file) + ": " + Utf8(*notWritten)};
    }
    if (auto failure = run.UnexpectedMessages({})) {
        return failure;
    }
    // The download ends without a word when it cannot create the file; the file was
    // tried just before, so that happens only if it changed meanwhile.
    if (const auto bytes = RegularFileBytes(file); bytes && !bytes->starts_with(kCsvHeader)) {
        return Failure{ExitStatus::FileError, "cannot create " + os::Utf8FromPath(file)};
    }
    return std::nullopt;
}

// GPX, KML and the map page: the same download and record test as the CSV, written through
// the format's writer. The download says how it ended, so nothing is read from messages.
std::optional<Failure> DownloadMap(LogFormat format, DeviceRun& run,
                                   const std::filesystem::path& file, uint32_t& saved) {
    TaskStop stop;
    LogWriterOptions options;
    // The map page names the tracker it came from: a fleet's run has read its IMEI first,
    // a single tracker's is read here.
    if (format == LogFormat::Html && !run.Identity()) {
        if (auto failure = run.Identify()) {
            return failure;
        }
    }
    if (const auto& identity = run.Identity()) {
        options.trackerImei = identity->imei;
    }
    const LogDownloadResult result =
        DownloadLogToFile(run.Link(), file, format, options, run.form, stop);
    saved = result.saved;
    const std::string problem = result.problem ? Utf8(*result.problem) : std::string();
    switch (result.end) {
        case LogDownloadEnd::Complete:
        case LogDownloadEnd::Stopped:
            return std::nullopt;
        case LogDownloadEnd::NoTracker:
            run.ui.ShowMessage(std::u16string(msg::kUsbConnectFailure));
            return run.TrackerFailure();
        case LogDownloadEnd::FileNotCreated:
        case LogDownloadEnd::WriteFailed:
            return Failure{ExitStatus::FileError, os::Utf8FromPath(file) + ": " + problem};
        case LogDownloadEnd::CountMissing:
        case LogDownloadEnd::NotReady:
        case LogDownloadEnd::TrackerSilent:
            if (auto failure = run.TrackerFailure(&*result.problem)) {
                return failure;
            }
            return Failure{ExitStatus::StoppedAnswering, problem};
    }
    return Failure{ExitStatus::Unexpected, problem};
}

// Where each format's writer is chosen.
std::optional<Failure> Download(LogFormat format, DeviceRun& run, const std::filesystem::path& file,
                                uint32_t& saved) {
    if (format == LogFormat::Csv) {
        std::optional<Failure> failure = DownloadCsv(run, file);
        if (const auto bytes = RegularFileBytes(file)) {
            saved = static_cast<uint32_t>(CsvRecords(*bytes));
        }
        return failure;
    }
    return DownloadMap(format, run, file, saved);
}

}  // namespace

int RunLog(const CommandLine& line, CliEnvironment& env) {
    const std::string pattern = line.operands.at(0);
    std::string error;
    const std::optional<LogFormat> format = ChooseLogFormat(line.format, pattern, error);
    if (!format) {
        return Report(env, {ExitStatus::Usage, error + " (see quarnelctl log --help)"});
    }
    if (line.choice.all && !HasImeiField(pattern)) {
        return Report(env, {ExitStatus::Usage,
                            "log --all writes one file per tracker: name them with {imei}, as in "
                            "'logs/{imei}.gpx' (see quarnelctl log --help)"});
    }
    auto claims = std::make_shared<FileClaims>();
    JobRules rules;
    rules.identifyFirst = true;
    rules.progressBar = ctl::LogProgress;
    return RunOnTrackers(
        line, env, rules, [&pattern, format, claims](DeviceRun& run, CliEnvironment& e) {
            std::string name;
            if (auto failure = NameFile(pattern, run, *claims, name)) {
                return Report(e, *failure);
            }
            const std::filesystem::path file = os::PathFromUtf8(name);
            // A worker of --all leaves its progress to the run.
            std::optional<ProgressDisplay> progress;
            if (!e.worker) {
                progress.emplace(e.err, e.errIsTerminal, "Downloading the GPS log");
                run.form.OnProgress([&progress](int id, int position) {
                    if (id == ctl::LogProgress) {
                        progress->Show(position);
                    }
                });
            }
            uint32_t saved = 0;
            std::optional<Failure> failure = Download(*format, run, file, saved);
            if (progress) {
                progress->Finish();
            }
            if (failure) {
                return Report(e, *failure);
            }
            e.out << "GPS log saved to " << os::Utf8FromPath(file) << " (" << saved
                  << (saved == 1 ? " record" : " records") << ").\n"
                  << std::flush;
            return 0;
        });
}

}  // namespace quarnel::cli
