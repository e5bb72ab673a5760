// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/answer_watch.h"

#include <cstring>

#include "device/command_areas.h"
#include "form/utf8.h"
#include "params/param_catalogue.h"

namespace quarnel::cli {

class AnswerWatch::Channel final : public HidChannel {
public:
    Channel(AnswerWatch& watch, std::unique_ptr<HidChannel> inner)
        : m_watch(watch), m_inner(std::move(inner)) {}

    bool GetAttributes(HidAttributes& out) override { return m_inner->GetAttributes(out); }

    TransferStatus Write(const uint8_t* report, uint32_t timeoutMs, CancelEvent& cancel,
                         uint32_t& transferred) override {
        if (!m_watch.MayWrite()) {
            transferred = 0;
            return TransferStatus::Failed;
        }
        const TransferStatus status = m_inner->Write(report, timeoutMs, cancel, transferred);
        m_watch.Written(report, status);
        return status;
    }

    TransferStatus Read(uint8_t* report, uint32_t timeoutMs, CancelEvent& cancel,
                        uint32_t& transferred) override {
        if (m_watch.Tripped()) {
            transferred = 0;
            return TransferStatus::Failed;
        }
        const TransferStatus status = m_inner->Read(report, timeoutMs, cancel, transferred);
        m_watch.Read(report, status, transferred);
        return status;
    }

    void CancelIo() override { m_inner->CancelIo(); }

private:
    AnswerWatch& m_watch;
    std::unique_ptr<HidChannel> m_inner;
};

AnswerWatch::AnswerWatch(HidBackend& inner) : m_inner(inner) {}

AnswerWatch::~AnswerWatch() = default;

std::vector<std::string> AnswerWatch::EnumerateInterfaces() {
    ++m_enumerations;
    return m_inner.EnumerateInterfaces();
}

std::unique_ptr<HidChannel> AnswerWatch::Open(const std::string& path, HidAccess access) {
    ++m_opens;
    std::unique_ptr<HidChannel> channel = m_inner.Open(path, access);
    if (!channel) {
        // A device that cannot even be probed is passed over by the search; one that is
        // opened for transfers has been found to be the tracker.
        if (access != HidAccess::None && !Tripped()) {
            m_path = path;
            m_refusedAccess = access == HidAccess::Read ? "reading" : "writing";
            Trip(Trouble::CannotOpen,
                 "the tracker at " + path + " cannot be opened for " + m_refusedAccess);
        }
        return nullptr;
    }
    return std::make_unique<Channel>(*this, std::move(channel));
}

AnswerWatch::Trouble AnswerWatch::Check() {
    if (!Tripped() && m_pending) {
        Trip(Trouble::NotAnswering, "no reply to " + DescribeCommand(m_pendingHeader.data() + 1));
    }
    return m_trouble;
}

void AnswerWatch::Trip(Trouble trouble, std::string description) {
    if (!Tripped()) {
        m_trouble = trouble;
        m_description = std::move(description);
    }
}

bool AnswerWatch::MayWrite() {
    if (m_pending) {
        Trip(Trouble::NotAnswering, "no reply to " + DescribeCommand(m_pendingHeader.data() + 1));
    }
    return !Tripped();
}

void AnswerWatch::Written(const uint8_t* report, TransferStatus status) {
    m_pendingHeader[0] = report[1];
    std::memcpy(m_pendingHeader.data() + 1, report + 3, m_pendingHeader.size() - 1);
    if (status != TransferStatus::Done) {
        // Cancelled never happens here: nothing on the command line cancels a command.
        Trip(Trouble::NotAnswering,
             "the tracker did not take " + DescribeCommand(m_pendingHeader.data() + 1));
        return;
    }
    ++m_written;
    m_pending = true;
    if (m_onWritten) {
        m_onWritten(m_written);
    }
}

void AnswerWatch::Read(const uint8_t* report, TransferStatus status, uint32_t length) {
    if (status == TransferStatus::Done) {
        if (m_pending && length >= 3 && (report[1] & 0x7F) == (m_pendingHeader[0] & 0x7F)) {
            m_pending = false;
        }
        return;
    }
    if (status == TransferStatus::TimedOut || status == TransferStatus::Failed) {
        Trip(Trouble::NotAnswering,
             (status == TransferStatus::Failed ? "the tracker went away during " : "no reply to ") +
                 DescribeCommand(m_pendingHeader.data() + 1));
    }
}

std::string DescribeCommand(const uint8_t* p) {
    const uint8_t op = p[payload::kOp];
    const uint8_t group = p[payload::kGroup];
    const uint32_t index = GetLe32(p + payload::kIndex);
    const std::string number = std::to_string(index);
    switch (group) {
        case 0:
        case 1:
        case 2: {
            if (op == OP_SET && group == kCommandGroup && index == kClosingWriteIndex) {
                return "the closing write";
            }
            if (op == OP_SET && group == kCommandGroup && index == kFactoryDefaultIndex) {
                return "the factory-default command";
            }
            const ParamItem* item = FindItem(group, static_cast<int>(index));
            std::string name = item != nullptr
                                   ? EncodeUtf8(item->name)
                                   : "item " + number + " of group " + std::to_string(group);
            if (item != nullptr && item->encoding == Encoding::PhoneList) {
                name += " number " + std::to_string(GetLe32(p + payload::kBody) + 1);
            }
            return std::string(op == OP_GET ? "the reading of " : "the writing of ") + name;
        }
        case 3:
            return op == OP_GET ? "a GPS log record" : "the GPS log count";
        case 4:
            return op == OP_GET ? "the wait for the log erase" : "the log erase";
        case 5:
            return "the start of the firmware update";
        case 6:
            return "firmware block " + std::to_string(index + 1);
        case 7:
            return "the end of the firmware update";
        default:
            return "a command of group " + std::to_string(group);
    }
}

}  // namespace quarnel::cli
