// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <cstring>
#include <vector>

#include "device/hid_cmd.h"
#include "form/control_ids.h"
#include "form/messages.h"
#include "params/command_scope.h"
#include "params/param_catalogue.h"
#include "params/param_commands.h"
#include "params/param_convert.h"
#include "params/param_messages.h"
#include "params/param_payload.h"
#include "params/phone_list.h"

namespace quarnel {

namespace {

bool HasText(const ParamItem& item) {
    return item.encoding == Encoding::Text || item.encoding == Encoding::PhoneList;
}

// The texts of the text items and phone lists, taken from the form once, so that what was
// checked is exactly what is sent. Indexed like the catalogue.
std::vector<std::u16string> TakeTexts(FormAccess& form) {
    std::vector<std::u16string> texts(Catalogue().size());
    for (size_t i = 0; i < Catalogue().size(); ++i) {
        const ParamItem& item = Catalogue()[i];
        if (item.written && HasText(item)) {
            texts[i] = form.GetText(item.controls[0]);
        }
    }
    return texts;
}

// One line for every field whose value cannot travel in one report; empty when all fit.
// Lists that will be abandoned at an over-long comma-ended entry before their last entry
// are fine: the rest of them is never sent.
std::u16string FieldsThatDoNotFit(const std::vector<std::u16string>& texts) {
    std::u16string problems;
    auto add = [&](const std::u16string& line) {
        problems += problems.empty() ? u"" : u"\n";
        problems += line;
    };
    for (size_t i = 0; i < Catalogue().size(); ++i) {
        const ParamItem& item = Catalogue()[i];
        if (!item.written) {
            continue;
        }
        if (item.encoding == Encoding::Text && DeviceTextLength(texts[i]) > kMaxTextBytes) {
            add(params_msg::TextTooLong(item.name));
        }
        if (item.encoding == Encoding::PhoneList &&
            OversizedEntry(PlanPhoneList(ToDeviceBytes(texts[i]))) != nullptr) {
            add(params_msg::LastNumberTooLong(item.name));
        }
    }
    return problems;
}

// Writes one item (a transaction per entry for a phone list). Replies are not examined.
class ItemWriter {
public:
    ItemWriter(CHidCmd& cmd, FormAccess& form, ParamState& state)
        : m_cmd(cmd), m_areas(cmd.Link().areas), m_form(form), m_state(state) {}

    void Write(const ParamItem& item, const std::u16string& text) {
        uint8_t* body = RequestBody(m_areas);
        switch (item.encoding) {
            case Encoding::Text: {
                // Bytes past the terminating zero are not cleared: they keep what earlier
                // commands left there. The length was checked before the device was opened.
                const size_t n = TextToSendBuffer(m_state, text).value();
                std::memcpy(body, m_state.sendBuffer, n + 1);
                PutRequestHeader(m_areas, OP_SET, static_cast<uint8_t>(8 + n), item.group,
                                 item.index);
                break;
            }
            case Encoding::Integers:
                for (size_t i = 0; i < item.elements.size(); ++i) {
                    PutLe32(body + 4 * i, static_cast<uint32_t>(ElementValue(item.elements[i])));
                }
                PutRequestHeader(m_areas, OP_SET,
                                 static_cast<uint8_t>(8 + 4 * item.elements.size()), item.group,
                                 item.index);
                break;
            case Encoding::SwitchMask: {
                uint32_t mask = item.alwaysSet;
                for (size_t bit = 0; bit < item.controls.size(); ++bit) {
                    if (item.controls[bit] != kNoControl && m_form.IsChecked(item.controls[bit])) {
                        mask |= uint32_t{1} << bit;
                    }
                }
                PutLe32(body, mask);
                PutRequestHeader(m_areas, OP_SET, 12, item.group, item.index);
                break;
            }
            case Encoding::TransportCode:
                // The TCP box itself is not looked at: TCP is what neither UDP nor Reply says.
                PutLe32(body, EncodeTransport(m_form.IsChecked(item.controls[1]),
                                              m_form.IsChecked(item.controls[2])));
                PutRequestHeader(m_areas, OP_SET, 9, item.group, item.index);
                break;
            case Encoding::PhoneList:
                WritePhoneList(item, text);
                return;
        }
        Exchange();
    }

    void WriteClosing() {
        PutRequestHeader(m_areas, OP_SET, 8, kCommandGroup, kClosingWriteIndex);
        Exchange();
    }

private:
    void Exchange() {
        Transact(m_cmd, kWritePolicy);
        m_form.KeepAlive();
    }

    int32_t ElementValue(const ListElement& element) {
        if (element.kind == ElementKind::Selection) {
            return m_form.GetSelection(element.control);
        }
        return AtoiRule(m_form.GetText(element.control));
    }

    // Each entry is built in a cleared payload area, so the byte after its text is zero.
    void WritePhoneList(const ParamItem& item, const std::u16string& text) {
        const std::string bytes = ToDeviceBytes(text);
        const PhoneListPlan plan = PlanPhoneList(bytes);
        for (const EntryWrite& w : plan.writes) {
            m_areas.payload.fill(0);
            uint8_t* body = RequestBody(m_areas);
            PutLe32(body, w.entry);
            std::memcpy(body + 4, bytes.data() + w.offset, w.length);
            const size_t len = w.clearing ? 13 : 12 + w.length;
            PutRequestHeader(m_areas, OP_SET, static_cast<uint8_t>(len), item.group, item.index);
            Exchange();
        }
    }

    CHidCmd& m_cmd;
    CommandAreas& m_areas;
    FormAccess& m_form;
    ParamState& m_state;
};

}  // namespace

void SetParameter(CommandContext& ctx, ParamState& state) {
    DisabledWhileRunning button(ctx.form, ctl::SetParameterButton);
    const SequenceLock sequence = TryLockSequence(ctx.link.areas);
    if (!sequence.owns_lock()) {
        ctx.ui.ShowMessage(std::u16string(params_msg::kTrackerBusy));
        return;
    }
    CHidCmd cmd(ctx.link);
    // A value that cannot travel whole is refused before anything reaches the tracker,
    // rather than cut or written past the report.
    const std::vector<std::u16string> texts = TakeTexts(ctx.form);
    if (const std::u16string problems = FieldsThatDoNotFit(texts); !problems.empty()) {
        ctx.ui.ShowMessage(problems);
        return;
    }
    if (cmd.m_io.Open() == 0) {
        ctx.ui.ShowMessage(std::u16string(msg::kUsbConnectFailure));
        return;
    }
    ItemWriter writer(cmd, ctx.form, state);
    for (size_t i = 0; i < Catalogue().size(); ++i) {
        if (Catalogue()[i].written) {
            writer.Write(Catalogue()[i], texts[i]);
        }
    }
    writer.WriteClosing();
    ctx.ui.ShowMessage(std::u16string(msg::kSetFinish));
}

}  // namespace quarnel
