// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/hid_backend.h"

namespace quarnel::test {

// Passes everything on and counts how often the tracker was looked for and opened, so a
// test can show that nothing at all reached the device. `rewrite` may change each report
// before it is written (a tracker that does not keep what it is sent).
class CountingBackend final : public HidBackend {
public:
    explicit CountingBackend(HidBackend& inner) : m_inner(inner) {}

    std::vector<std::string> EnumerateInterfaces() override {
        ++enumerations;
        return m_inner.EnumerateInterfaces();
    }
    std::unique_ptr<HidChannel> Open(const std::string& path, HidAccess access) override {
        ++opens;
        std::unique_ptr<HidChannel> channel = m_inner.Open(path, access);
        if (!channel || !rewrite) {
            return channel;
        }
        return std::make_unique<Rewriting>(std::move(channel), rewrite);
    }

    int enumerations = 0;
    int opens = 0;
    std::function<void(uint8_t* report)> rewrite;

private:
    class Rewriting final : public HidChannel {
    public:
        Rewriting(std::unique_ptr<HidChannel> inner, std::function<void(uint8_t*)> rewrite)
            : m_inner(std::move(inner)), m_rewrite(std::move(rewrite)) {}
        bool GetAttributes(HidAttributes& out) override { return m_inner->GetAttributes(out); }
        TransferStatus Write(const uint8_t* report, uint32_t timeoutMs, CancelEvent& cancel,
                             uint32_t& transferred) override {
            uint8_t copy[kReportSize];
            std::copy(report, report + kReportSize, copy);
            m_rewrite(copy);
            return m_inner->Write(copy, timeoutMs, cancel, transferred);
        }
        TransferStatus Read(uint8_t* report, uint32_t timeoutMs, CancelEvent& cancel,
                            uint32_t& transferred) override {
            return m_inner->Read(report, timeoutMs, cancel, transferred);
        }
        void CancelIo() override { m_inner->CancelIo(); }

    private:
        std::unique_ptr<HidChannel> m_inner;
        std::function<void(uint8_t*)> m_rewrite;
    };

    HidBackend& m_inner;
};

}  // namespace quarnel::test
