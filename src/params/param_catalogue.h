// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace quarnel {

// How an item's value travels between the tracker and its controls.
enum class Encoding : uint8_t {
    Text,           // single-byte text, zero-terminated; one edit
    Integers,       // signed 32-bit little-endian words; one element per control
    SwitchMask,     // unsigned 32-bit word; one check box per bit
    TransportCode,  // "0" to "3" in the first byte of a 32-bit word; TCP, UDP, Reply boxes
    PhoneList,      // ten text entries, one per transaction; one multi-line edit
};

// An element of an integer list: the decimal text of an edit, or the selected entry of a
// combo box (-1 for none).
enum class ElementKind : uint8_t { Integer, Selection };

struct ListElement {
    int control;
    ElementKind kind;
};

inline constexpr int kNoControl = 0;  // a mask bit that no check box stands for

// One configuration item of the tracker. The commands walk the catalogue in its order and
// take everything they need to know about an item from its row.
struct ParamItem {
    uint8_t group;
    uint8_t index;
    std::u16string_view name;  // the field as the user knows it, for messages
    Encoding encoding;
    // Text and PhoneList: the one edit. TransportCode: TCP, UDP and Reply check boxes.
    // SwitchMask: the check box of bits 0-7 in bit order, kNoControl where there is none.
    std::span<const int> controls;
    std::span<const ListElement> elements;  // Integers, in body order
    uint32_t alwaysSet;                     // SwitchMask: bits written as 1 whatever the boxes say
    int keyboardLimit;  // characters each of its edits takes from the keyboard; 0: none
    bool read;
    bool written;
};

// All items, in the order Get Parameter reads them (Set Parameter writes the writable ones
// in the same order).
std::span<const ParamItem> Catalogue();

// The item at (group, index), or nullptr.
const ParamItem* FindItem(int group, int index);

// Command items: group 0, no value, never read.
inline constexpr uint8_t kCommandGroup = 0;
inline constexpr uint32_t kClosingWriteIndex = 0;     // ends a full write
inline constexpr uint32_t kFactoryDefaultIndex = 14;  // back to factory settings

// Phone lists: ten entries, each its own transaction.
inline constexpr uint32_t kPhoneEntries = 10;
// An entry that a comma ends may hold at most this many characters; a longer one ends the
// list there.
inline constexpr size_t kMaxCommaEntry = 32;

// What fits one report: the body is 54 bytes.
inline constexpr size_t kMaxTextBytes = 53;          // text and its zero
inline constexpr size_t kMaxEntryBytes = 50;         // entry number and text
inline constexpr size_t kSendBufferTextBytes = 255;  // the send buffer: text and its zero

// Transactions of a full read and of a full write in which no list is abandoned.
size_t ReadTransactionCount();
size_t WriteTransactionCount();

}  // namespace quarnel
