// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <ostream>
#include <string>

namespace quarnel::cli {

// Shows the position of one of the window's progress bars (0-100) on standard error while
// a long command runs: a bar redrawn in place on a terminal, and a plain line at every
// tenth of the way otherwise, so a log file of a script stays short and readable.
//
// The commands set the bar to 0 before they start and put it back to 0 when they end;
// neither draws anything. The first 0 after a higher position ends the display.
class ProgressDisplay {
public:
    ProgressDisplay(std::ostream& err, bool terminal, std::string label);
    ~ProgressDisplay();  // Finish()

    void Show(int position);
    // Ends a bar's line on a terminal; says nothing if nothing was shown.
    void Finish();

private:
    std::ostream& m_err;
    bool m_terminal;
    std::string m_label;
    int m_shown = 0;      // the last position drawn, or the last tenth written
    bool m_open = false;  // a bar is on the terminal's current line
};

}  // namespace quarnel::cli
