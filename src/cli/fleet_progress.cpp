// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/fleet_progress.h"

#include <algorithm>

namespace quarnel::cli {

namespace {

constexpr int kBarWidth = 20;

}  // namespace

FleetProgress::FleetProgress(std::ostream& err, bool terminal, std::vector<std::string> labels,
                             bool tenths)
    : m_err(err), m_terminal(terminal), m_tenths(tenths) {
    for (std::string& label : labels) {
        m_labelWidth = std::max(m_labelWidth, label.size());
        m_rows.push_back(Row{std::move(label)});
    }
    if (m_terminal && !m_rows.empty()) {
        std::lock_guard lock(m_mutex);
        DrawLocked();
    }
}

FleetProgress::~FleetProgress() {
    Finish();
}

void FleetProgress::Show(size_t slot, int percent) {
    std::lock_guard lock(m_mutex);
    Row& row = m_rows.at(slot);
    percent = std::clamp(percent, 0, 100);
    if (m_finished || row.done || percent == row.percent) {
        return;
    }
    row.percent = percent;
    if (m_terminal) {
        DrawLocked();
        return;
    }
    const int tenth = percent / 10 * 10;
    if (m_tenths && tenth > row.tenth) {
        row.tenth = tenth;
        m_err << row.label << ": " << tenth << " %\n" << std::flush;
    }
}

void FleetProgress::Done(size_t slot, const std::string& brief, const std::string& full) {
    std::lock_guard lock(m_mutex);
    Row& row = m_rows.at(slot);
    if (m_finished || row.done) {
        return;
    }
    row.done = true;
    row.brief = brief;
    if (m_terminal) {
        DrawLocked();
        return;
    }
    m_err << row.label << ": " << full << "\n" << std::flush;
}

void FleetProgress::Finish() {
    std::lock_guard lock(m_mutex);
    m_finished = true;
}

std::string FleetProgress::LineOf(const Row& row) const {
    std::string line = row.label + std::string(m_labelWidth - row.label.size() + 2, ' ');
    if (row.done) {
        line += row.brief;
    } else {
        const int filled = row.percent * kBarWidth / 100;
        std::string percent = std::to_string(row.percent);
        percent.insert(0, 3 - percent.size(), ' ');
        line += "[" + std::string(static_cast<size_t>(filled), '#') +
                std::string(static_cast<size_t>(kBarWidth - filled), '-') + "] " + percent + " %";
    }
    if (line.size() > kLineWidth) {
        line.resize(kLineWidth);
    }
    return line;
}

void FleetProgress::DrawLocked() {
    std::string text;
    if (m_drawn) {
        // Back up to the first line and draw them all again.
        text += "\x1b[" + std::to_string(m_rows.size()) + "A";
    }
    for (const Row& row : m_rows) {
        text += "\r\x1b[2K" + LineOf(row) + "\n";
    }
    m_drawn = true;
    m_err << text << std::flush;
}

}  // namespace quarnel::cli
