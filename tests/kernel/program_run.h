// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace quarnel::test {

// A program run to its end as a separate process, its output kept.
struct ProgramRun {
    bool ended = false;  // false: it was still running at its limit, and was killed
    int status = -1;     // the exit status, or -1 after a signal
    std::string out;
    std::string err;
    std::chrono::milliseconds took{0};
};

// Runs `argv` (argv[0] is the program's path) with standard input from /dev/null. Output
// goes through files in `scratch`. A program still running after `limit` is killed: a
// bound against a hang, not a measurement.
ProgramRun RunProgram(const std::vector<std::string>& argv, const std::filesystem::path& scratch,
                      std::chrono::seconds limit = std::chrono::seconds(120));

// A program started in the background, watched while it runs, and ended by a signal or by
// itself.
class BackgroundProgram {
public:
    BackgroundProgram(std::vector<std::string> argv, std::filesystem::path scratch);
    ~BackgroundProgram();  // kills it if it still runs
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;

    bool Started() const { return m_pid > 0; }
    std::string Out() const;  // its standard output so far
    std::string Err() const;
    // Waits (at most `limit`) until its standard output holds `text`.
    bool WaitForOutput(const std::string& text, std::chrono::seconds limit);
    void Signal(int signal);
    // Waits for its end, at most `limit`; killed after that.
    ProgramRun Wait(std::chrono::seconds limit = std::chrono::seconds(60));

private:
    std::filesystem::path m_scratch;
    pid_t m_pid = -1;
    std::chrono::steady_clock::time_point m_start;
};

// quarnel-usb-tracker as its own process, serving one simulated tracker on one of the
// machine's device controllers.
class UsbTrackerProcess {
public:
    struct Options {
        std::string udc = "dummy_udc.0";
        std::string statePath;       // empty: the demonstration tracker
        std::string transcriptPath;  // empty: none
        std::string saveStatePath;   // empty: none
    };
    UsbTrackerProcess(std::filesystem::path program, std::filesystem::path scratch);
    ~UsbTrackerProcess();  // stops it if it still runs
    UsbTrackerProcess(const UsbTrackerProcess&) = delete;
    UsbTrackerProcess& operator=(const UsbTrackerProcess&) = delete;

    // Starts it and waits until the host shows its hidraw node. False, with the reason (its
    // standard error included), when it does not come up.
    bool Start(const Options& options, std::string& error);
    // Sends SIGTERM and waits for the end (at most `limit`); the exit status, -1 after a
    // signal or when it had to be killed.
    int Stop(std::chrono::seconds limit = std::chrono::seconds(30));
    bool Running() const { return m_pid > 0; }

    const std::string& HidrawNode() const { return m_hidraw; }
    std::string Output() const;  // its standard output and error so far
    // Whether its gadget is still in configfs.
    bool GadgetPresent() const;

private:
    std::filesystem::path m_program;
    std::filesystem::path m_scratch;
    Options m_options;
    pid_t m_pid = -1;
    std::string m_hidraw;
};

}  // namespace quarnel::test
