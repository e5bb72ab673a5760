// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "device/hid_io.h"

#include <string>

namespace quarnel {

CHidIO::CHidIO(HidBackend& backend) : m_backend(backend) {}

CHidIO::~CHidIO() {
    Close();
}

int CHidIO::Open() {
    m_bDualHandle = 1;
    m_hRead.reset();
    m_hWrite.reset();

    int found = 0;
    for (const std::string& path : m_backend.EnumerateInterfaces()) {
        HidAttributes attributes;
        bool attributesRead = false;
        {
            // Only the attributes are wanted here, so no access rights are asked for; a
            // device that cannot even be opened like that is passed over.
            std::unique_ptr<HidChannel> probe = m_backend.Open(path, HidAccess::None);
            if (!probe) {
                continue;
            }
            attributesRead = probe->GetAttributes(attributes);
        }
        if (attributesRead && attributes.vendorId == kTrackerVendorId &&
            attributes.productId == kTrackerProductId) {
            // The tracker counts as found even if one of these opens fails: transfers on
            // the failed handle then fail at once and the command goes on.
            m_hRead = m_backend.Open(path, HidAccess::Read);
            m_hWrite = m_backend.Open(path, HidAccess::Write);
            found = 1;
            break;
        }
    }
    return found;
}

int CHidIO::WriteReport(const uint8_t* report, uint32_t* count) {
    if (count != nullptr) {
        *count = 0;
    }
    if (!m_hWrite) {
        return 0;
    }
    uint32_t transferred = 0;
    switch (m_hWrite->Write(report, kWriteTimeoutMs, m_hCancelEvent, transferred)) {
        case TransferStatus::Done:
            if (count != nullptr) {
                *count = transferred;
            }
            return 1;
        case TransferStatus::Cancelled:
            m_hCancelEvent.Reset();
            return 0;
        case TransferStatus::TimedOut:
        case TransferStatus::Failed:
            break;
    }
    return 0;
}

void CHidIO::Close() {
    if (m_hRead) {
        m_hRead->CancelIo();
    }
    if (m_hWrite) {
        m_hWrite->CancelIo();
    }
    m_hRead.reset();
    m_hWrite.reset();
}

}  // namespace quarnel
