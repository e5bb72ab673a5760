// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace quarnel::cli {

// The progress of one command on several trackers at once, on standard error, from any
// worker thread: one line per tracker redrawn in place on a terminal (a bar while it runs,
// then its result), and plain lines otherwise (with `tenths`, one at every tenth of the
// way, and one with the result), so a script's log stays readable.
class FleetProgress {
public:
    FleetProgress(std::ostream& err, bool terminal, std::vector<std::string> labels, bool tenths);
    ~FleetProgress();  // Finish()
    FleetProgress(const FleetProgress&) = delete;
    FleetProgress& operator=(const FleetProgress&) = delete;

    // The tracker in `slot` is `percent` (0-100) of the way.
    void Show(size_t slot, int percent);
    // The tracker in `slot` has ended: `brief` ("OK", "failed (6)") is what its terminal
    // line shows, `full` what its plain line says.
    void Done(size_t slot, const std::string& brief, const std::string& full);
    // Draws the lines one last time; says nothing more afterwards.
    void Finish();

    // A terminal line is cut to this many characters, so that no line wraps and the
    // cursor can go back up over all of them.
    static constexpr size_t kLineWidth = 79;

private:
    struct Row {
        std::string label{};
        int percent = 0;
        int tenth = 0;  // the last tenth written as a plain line
        bool done = false;
        std::string brief{};
    };

    void DrawLocked();
    std::string LineOf(const Row& row) const;

    std::mutex m_mutex;
    std::ostream& m_err;
    bool m_terminal;
    bool m_tenths;
    std::vector<Row> m_rows;
    size_t m_labelWidth = 0;
    bool m_drawn = false;
    bool m_finished = false;
};

}  // namespace quarnel::cli
