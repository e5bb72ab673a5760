// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "kernel/program_run.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <thread>

#include "kernel/gadget_host.h"
#include "support/spawn_program.h"

namespace quarnel::test {

namespace {

using SteadyTime = std::chrono::steady_clock;

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

pid_t Spawn(const std::vector<std::string>& args, const std::filesystem::path& outFile,
            const std::filesystem::path& errFile) {
    return SpawnProgram(args, outFile.string(), errFile.string());
}

// Waits for `pid` until `deadline`; its exit status (-1 after a signal), or nothing yet.
bool WaitUntil(pid_t pid, SteadyTime::time_point deadline, int& status) {
    for (;;) {
        int wstatus = 0;
        const pid_t done = ::waitpid(pid, &wstatus, WNOHANG);
        if (done == pid) {
            status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
            return true;
        }
        if (done < 0 || SteadyTime::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace

ProgramRun RunProgram(const std::vector<std::string>& argv, const std::filesystem::path& scratch,
                      std::chrono::seconds limit) {
    ProgramRun run;
    const auto outFile = scratch / "program.out";
    const auto errFile = scratch / "program.err";
    const auto start = SteadyTime::now();
    const pid_t pid = Spawn(argv, outFile, errFile);
    if (pid <= 0) {
        run.err = "cannot start " + argv.at(0);
        return run;
    }
    run.ended = WaitUntil(pid, start + limit, run.status);
    if (!run.ended) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    run.took = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyTime::now() - start);
    run.out = ReadAll(outFile);
    run.err = ReadAll(errFile);
    return run;
}

BackgroundProgram::BackgroundProgram(std::vector<std::string> argv, std::filesystem::path scratch)
    : m_scratch(std::move(scratch)), m_start(SteadyTime::now()) {
    m_pid = Spawn(argv, m_scratch / "background.out", m_scratch / "background.err");
}

BackgroundProgram::~BackgroundProgram() {
    if (Started()) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
}

std::string BackgroundProgram::Out() const {
    return ReadAll(m_scratch / "background.out");
}

std::string BackgroundProgram::Err() const {
    return ReadAll(m_scratch / "background.err");
}

bool BackgroundProgram::WaitForOutput(const std::string& text, std::chrono::seconds limit) {
    const auto deadline = SteadyTime::now() + limit;
    while (Out().find(text) == std::string::npos) {
        if (SteadyTime::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void BackgroundProgram::Signal(int signal) {
    if (Started()) {
        ::kill(m_pid, signal);
    }
}

ProgramRun BackgroundProgram::Wait(std::chrono::seconds limit) {
    ProgramRun run;
    if (!Started()) {
        return run;
    }
    run.ended = WaitUntil(m_pid, SteadyTime::now() + limit, run.status);
    if (!run.ended) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    m_pid = -1;
    run.took = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyTime::now() - m_start);
    run.out = Out();
    run.err = Err();
    return run;
}

UsbTrackerProcess::UsbTrackerProcess(std::filesystem::path program, std::filesystem::path scratch)
    : m_program(std::move(program)), m_scratch(std::move(scratch)) {}

UsbTrackerProcess::~UsbTrackerProcess() {
    if (Running()) {
        Stop();
    }
}

bool UsbTrackerProcess::Start(const Options& options, std::string& error) {
    m_options = options;
    std::vector<std::string> args = {m_program.string(), "--udc", options.udc};
    for (const auto& [option, value] : {std::pair{"--state", options.statePath},
                                        std::pair{"--transcript", options.transcriptPath},
                                        std::pair{"--save-state", options.saveStatePath}}) {
        if (!value.empty()) {
            args.push_back(option);
            args.push_back(value);
        }
    }
    m_pid = Spawn(args, m_scratch / ("tracker-" + options.udc + ".out"),
                  m_scratch / ("tracker-" + options.udc + ".err"));
    if (m_pid <= 0) {
        error = "cannot start " + m_program.string();
        return false;
    }
    const auto deadline = SteadyTime::now() + std::chrono::seconds(30);
    while ((m_hidraw = HidrawNodeOfSerial(options.udc)).empty()) {
        int status = 0;
        if (WaitUntil(m_pid, SteadyTime::now(), status)) {
            m_pid = -1;
            error =
                "quarnel-usb-tracker ended with status " + std::to_string(status) + ": " + Output();
            return false;
        }
        if (SteadyTime::now() >= deadline) {
            error = "no hidraw node for the gadget on " + options.udc + ": " + Output();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

int UsbTrackerProcess::Stop(std::chrono::seconds limit) {
    if (!Running()) {
        return -1;
    }
    ::kill(m_pid, SIGTERM);
    int status = -1;
    if (!WaitUntil(m_pid, SteadyTime::now() + limit, status)) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        status = -1;
    }
    m_pid = -1;
    return status;
}

std::string UsbTrackerProcess::Output() const {
    return ReadAll(m_scratch / ("tracker-" + m_options.udc + ".out")) +
           ReadAll(m_scratch / ("tracker-" + m_options.udc + ".err"));
}

bool UsbTrackerProcess::GadgetPresent() const {
    std::error_code error;
    return std::filesystem::exists("/sys/kernel/config/usb_gadget/quarnel-" + m_options.udc, error);
}

}  // namespace quarnel::test
