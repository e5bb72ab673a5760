// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "form/control_ids.h"
#include "params/param_commands.h"

namespace quarnel {

// TCP and UDP behave as a pair of which exactly one is checked after a click on either;
// Reply can be on only together with UDP.
void OnAddressModeClicked(FormAccess& form, int clickedId) {
    switch (clickedId) {
        case ctl::TcpCheck:
            form.SetChecked(ctl::TcpCheck, true);
            form.SetChecked(ctl::UdpCheck, false);
            form.SetChecked(ctl::ReplyCheck, false);
            break;
        case ctl::UdpCheck:
            form.SetChecked(ctl::TcpCheck, false);
            form.SetChecked(ctl::UdpCheck, true);
            form.SetChecked(ctl::ReplyCheck, false);
            break;
        case ctl::ReplyCheck:
            if (!form.IsChecked(ctl::UdpCheck)) {
                form.SetChecked(ctl::ReplyCheck, false);
            }
            break;
        default:
            break;
    }
}

}  // namespace quarnel
