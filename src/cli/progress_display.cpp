// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/progress_display.h"

#include <algorithm>

namespace quarnel::cli {

namespace {

constexpr int kBarWidth = 30;

}  // namespace

ProgressDisplay::ProgressDisplay(std::ostream& err, bool terminal, std::string label)
    : m_err(err), m_terminal(terminal), m_label(std::move(label)) {}

ProgressDisplay::~ProgressDisplay() {
    Finish();
}

void ProgressDisplay::Show(int position) {
    position = std::clamp(position, 0, 100);
    if (position == 0) {
        if (m_shown > 0) {
            Finish();
        }
        return;
    }
    if (!m_terminal) {
        const int tenth = position / 10 * 10;
        if (tenth > m_shown) {
            m_shown = tenth;
            m_err << m_label << ": " << tenth << " %\n" << std::flush;
        }
        return;
    }
    if (position == m_shown && m_open) {
        return;
    }
    m_shown = position;
    m_open = true;
    const int filled = position * kBarWidth / 100;
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(kBarWidth - filled), '-');
    std::string percent = std::to_string(position);
    percent.insert(0, 3 - percent.size(), ' ');
    m_err << '\r' << m_label << " [" << bar << "] " << percent << " %" << std::flush;
}

void ProgressDisplay::Finish() {
    if (m_open) {
        m_err << '\n' << std::flush;
        m_open = false;
    }
    m_shown = 0;
}

}  // namespace quarnel::cli
