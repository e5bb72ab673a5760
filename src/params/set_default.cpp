// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "device/hid_cmd.h"
#include "form/messages.h"
#include "params/param_catalogue.h"
#include "params/param_commands.h"
#include "params/param_messages.h"
#include "params/param_payload.h"

namespace quarnel {

namespace {

// Keeps "GET FINISH" quiet for one read and turns it on again on every way out, so an
// error in that read cannot leave later reads silent.
class QuietRead {
public:
    explicit QuietRead(ParamState& state) : m_state(state) { m_state.finishMessage = 0; }
    ~QuietRead() { m_state.finishMessage = 1; }
    QuietRead(const QuietRead&) = delete;
    QuietRead& operator=(const QuietRead&) = delete;

private:
    ParamState& m_state;
};

}  // namespace

void SetDefault(CommandContext& ctx, ParamState& state) {
    // Held across both reads as well: the lock is recursive, so the reads take it again
    // on this thread, and no background task can slip in between them.
    const SequenceLock sequence = TryLockSequence(ctx.link.areas);
    if (!sequence.owns_lock()) {
        ctx.ui.ShowMessage(std::u16string(params_msg::kTrackerBusy));
        return;
    }
    // This connection stays open through both reads, which open their own beside it.
    CHidCmd cmd(ctx.link);
    if (cmd.m_io.Open() == 0) {
        ctx.ui.ShowMessage(std::u16string(msg::kUsbConnectFailure));
    } else {
        PutRequestHeader(ctx.link.areas, OP_SET, 8, kCommandGroup, kFactoryDefaultIndex);
        Transact(cmd, kReadPolicy);
    }
    {
        QuietRead quiet(state);
        GetParameter(ctx, state);
    }
    GetParameter(ctx, state);
}

}  // namespace quarnel
