// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "device/hid_cmd.h"
#include "form/control_ids.h"
#include "form/messages.h"
#include "params/command_scope.h"
#include "params/param_catalogue.h"
#include "params/param_commands.h"
#include "params/param_convert.h"
#include "params/param_messages.h"
#include "params/param_payload.h"

namespace quarnel {

namespace {

// Reads one item (ten transactions for a phone list) and puts it into its controls. Every
// read clears the reply area first, so a reply that never comes reads as all zeros.
class ItemReader {
public:
    ItemReader(CHidCmd& cmd, FormAccess& form, ParamState& state)
        : m_cmd(cmd), m_areas(cmd.Link().areas), m_form(form), m_state(state) {}

    void Read(const ParamItem& item) {
        if (item.encoding == Encoding::PhoneList) {
            ReadPhoneList(item);
            return;
        }
        PutRequestHeader(m_areas, OP_GET, 8, item.group, item.index);
        Exchange();
        const uint8_t* reply = m_areas.reply.data();
        switch (item.encoding) {
            case Encoding::Text:
                m_form.SetText(item.controls[0], ReplyToText(m_state, m_areas.reply));
                break;
            case Encoding::Integers:
                for (size_t i = 0; i < item.elements.size(); ++i) {
                    const auto value = static_cast<int32_t>(GetLe32(reply + 4 * i));
                    ShowElement(item.elements[i], value);
                }
                break;
            case Encoding::SwitchMask: {
                const uint32_t mask = GetLe32(reply);
                for (size_t bit = 0; bit < item.controls.size(); ++bit) {
                    if (item.controls[bit] != kNoControl) {
                        m_form.SetChecked(item.controls[bit], ((mask >> bit) & 1) != 0);
                    }
                }
                break;
            }
            case Encoding::TransportCode: {
                const TransportBoxes boxes = DecodeTransport(GetLe32(reply));
                m_form.SetChecked(item.controls[0], boxes.tcp);
                m_form.SetChecked(item.controls[1], boxes.udp);
                m_form.SetChecked(item.controls[2], boxes.reply);
                break;
            }
            case Encoding::PhoneList:
                break;
        }
    }

private:
    void Exchange() {
        Transact(m_cmd, kReadPolicy);
        m_form.KeepAlive();
    }

    void ShowElement(const ListElement& element, int32_t value) {
        if (element.kind == ElementKind::Selection) {
            const bool valid = value >= 0 && value < m_form.ItemCount(element.control);
            m_form.SetSelection(element.control, valid ? value : -1);
        } else {
            m_form.SetText(element.control, DecimalText(value));
        }
    }

    // Every entry that is not empty is shown followed by a comma; empty ones leave no trace.
    void ReadPhoneList(const ParamItem& item) {
        std::u16string list;
        for (uint32_t entry = 0; entry < kPhoneEntries; ++entry) {
            PutRequestHeader(m_areas, OP_GET, 12, item.group, item.index);
            PutLe32(RequestBody(m_areas), entry);
            Exchange();
            if (!ReplyToText(m_state, m_areas.reply).empty()) {
                list += m_state.replyText;
                list += u',';
            }
        }
        m_form.SetText(item.controls[0], list);
    }

    CHidCmd& m_cmd;
    CommandAreas& m_areas;
    FormAccess& m_form;
    ParamState& m_state;
};

}  // namespace

void GetParameter(CommandContext& ctx, ParamState& state) {
    DisabledWhileRunning button(ctx.form, ctl::GetParameterButton);
    const SequenceLock sequence = TryLockSequence(ctx.link.areas);
    if (!sequence.owns_lock()) {
        ctx.ui.ShowMessage(std::u16string(params_msg::kTrackerBusy));
        return;
    }
    CHidCmd cmd(ctx.link);
    if (cmd.m_io.Open() == 0) {
        ctx.ui.ShowMessage(std::u16string(msg::kUsbConnectFailure));
        return;
    }
    ItemReader reader(cmd, ctx.form, state);
    for (const ParamItem& item : Catalogue()) {
        if (item.read) {
            reader.Read(item);
        }
    }
    if (state.finishMessage != 0) {
        ctx.ui.ShowMessage(std::u16string(msg::kGetFinish));
    }
}

}  // namespace quarnel
