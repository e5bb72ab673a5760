// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/hid_backend.h"

namespace quarnel::cli {

// A HidBackend that passes everything on to another and watches the exchange for what the
// window's commands do not notice by design: Get Parameter and Set Parameter go on after a
// missing reply, and a tracker that is found but cannot be opened leaves every transfer
// failing at once.
//
// A command counts as answered when a report carrying its sequence number (low 7 bits of
// byte 1, at least 3 bytes) is read before the next command is written: the rule reply
// matching uses. A read that times out, a device that fails, a write that is not taken and
// a command written while the one before it is still unanswered all mean the tracker has
// stopped answering. From then on every transfer fails at once, so a command that would
// grind through a time-out per item ends quickly; what it then reads or writes is
// worthless, and the caller reports the trouble instead.
//
// One command at a time, as the commands themselves are.
class AnswerWatch final : public HidBackend {
public:
    explicit AnswerWatch(HidBackend& inner);
    ~AnswerWatch() override;

    std::vector<std::string> EnumerateInterfaces() override;
    std::unique_ptr<HidChannel> Open(const std::string& path, HidAccess access) override;

    enum class Trouble {
        None,
        CannotOpen,    // a tracker was found, but opening it for reading or writing failed
        NotAnswering,  // it stopped answering (see above)
    };
    // What went wrong first. A last command still unanswered counts as not answered.
    Trouble Check();
    // What went wrong, for the user: "no reply to the reading of APN".
    const std::string& Description() const { return m_description; }
    const std::string& Path() const { return m_path; }
    // With CannotOpen: "reading" or "writing".
    const std::string& RefusedAccess() const { return m_refusedAccess; }

    // Called with the number of commands written so far, after each one is taken.
    void OnCommandWritten(std::function<void(uint64_t written)> observer) {
        m_onWritten = std::move(observer);
    }

    uint64_t Enumerations() const { return m_enumerations; }
    uint64_t Opens() const { return m_opens; }
    uint64_t CommandsWritten() const { return m_written; }

private:
    class Channel;
    friend class Channel;

    bool Tripped() const { return m_trouble != Trouble::None; }
    void Trip(Trouble trouble, std::string description);
    // False (and tripped) when the command before is still unanswered.
    bool MayWrite();
    void Written(const uint8_t* report, TransferStatus status);
    void Read(const uint8_t* report, TransferStatus status, uint32_t length);

    HidBackend& m_inner;
    Trouble m_trouble = Trouble::None;
    std::string m_description;
    std::string m_path;
    std::string m_refusedAccess;
    std::function<void(uint64_t)> m_onWritten;
    bool m_pending = false;  // the last command written has not been answered yet
    // Its sequence byte, then payload bytes 0-11: the header and a list entry's number.
    std::array<uint8_t, 13> m_pendingHeader{};
    uint64_t m_enumerations = 0;
    uint64_t m_opens = 0;
    uint64_t m_written = 0;
};

// What a command does, for the user, from its payload bytes 0-11 (the header and a list
// entry's number): "the reading of APN", "a log record", "firmware block 12".
std::string DescribeCommand(const uint8_t* payload);

}  // namespace quarnel::cli
