// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "form/control_table.h"

#include <algorithm>
#include <array>

namespace quarnel {

namespace {

using K = ControlKind;
using namespace style;

constexpr uint32_t kEdit = kAutoHScroll | kTabStop;       // an ordinary text field
constexpr uint32_t kNumber = kDigitsOnly | kAutoHScroll;  // a System Config number
constexpr uint32_t kPhone = kMultiLine | kTabStop;

// clang-format off
constexpr std::array kControls{
    ControlSpec{1074, K::Edit,        u"",                          {180, 27, 80, 12},   kHidden | kReadOnly | kAutoHScroll, 0},
    ControlSpec{1080, K::Label,       u"SMS Interval (s)",          {25, 69, 71, 8},     kNone, 0},
    ControlSpec{1021, K::Edit,        u"",                          {100, 67, 30, 12},   kNumber, 6},
    ControlSpec{1081, K::Label,       u"GPRS Interval (s)",         {25, 83, 71, 8},     kNone, 0},
    ControlSpec{1022, K::Edit,        u"",                          {100, 81, 30, 12},   kNumber, 6},
    ControlSpec{1082, K::Label,       u"LOG Interval (s)",          {25, 97, 71, 8},     kNone, 0},
    ControlSpec{1023, K::Edit,        u"",                          {100, 95, 30, 12},   kNumber, 6},
    ControlSpec{1083, K::Label,       u"Geo Fence (m)",             {25, 111, 73, 8},    kNone, 0},
    ControlSpec{1024, K::Edit,        u"",                          {100, 109, 30, 12},  kNumber, 6},
    ControlSpec{1084, K::Label,       u"Disable Alarm (s)",         {25, 125, 71, 8},    kNone, 0},
    ControlSpec{1025, K::Edit,        u"",                          {100, 123, 30, 12},  kNumber, 6},
    ControlSpec{1085, K::Label,       u"Ring Counter",              {25, 139, 71, 8},    kNone, 0},
    ControlSpec{1026, K::Edit,        u"",                          {100, 137, 30, 12},  kNumber, 2},
    ControlSpec{1086, K::Label,       u"Sensor Active",             {25, 153, 71, 8},    kNone, 0},
    ControlSpec{1044, K::Edit,        u"",                          {100, 151, 30, 12},  kNumber, 0},
    ControlSpec{0,    K::Label,       u"",                          {25, 164, 53, 8},    kNone, 0},
    ControlSpec{1045, K::Edit,        u"",                          {100, 165, 30, 12},  kHidden | kNumber, 0},
    ControlSpec{0,    K::Label,       u"",                          {25, 178, 53, 8},    kHidden, 0},
    ControlSpec{1046, K::Edit,        u"",                          {100, 179, 30, 12},  kHidden | kNumber, 0},
    ControlSpec{1079, K::Label,       u"Version",                   {155, 50, 34, 8},    kNone, 0},
    ControlSpec{1043, K::Edit,        u"",                          {193, 48, 80, 12},   kReadOnly | kAutoHScroll, 0},
    ControlSpec{1087, K::GroupBox,    u"Security SMS On/Off",       {133, 63, 124, 132}, kNone, 0},
    ControlSpec{1051, K::CheckBox,    u"Burglar",                   {138, 75, 115, 10},  kTabStop, 0},
    ControlSpec{1052, K::CheckBox,    u"SOS",                       {138, 87, 115, 10},  kTabStop, 0},
    ControlSpec{1053, K::CheckBox,    u"Geo Fence",                 {138, 99, 115, 10},  kTabStop, 0},
    ControlSpec{1054, K::CheckBox,    u"Power Cut",                 {138, 111, 115, 10}, kTabStop, 0},
    ControlSpec{1055, K::CheckBox,    u"Low Battery",               {138, 123, 115, 10}, kTabStop, 0},
    ControlSpec{1056, K::CheckBox,    u"Vibration Alarm",           {138, 135, 115, 10}, kTabStop, 0},
    ControlSpec{1057, K::CheckBox,    u"GPS Fix Alarm",             {138, 147, 115, 10}, kTabStop, 0},
    ControlSpec{1058, K::CheckBox,    u"Over Speed Alarm",          {138, 159, 116, 10}, kTabStop, 0},
    ControlSpec{1027, K::Edit,        u"",                          {149, 172, 18, 12},  kDigitsOnly | kEdit, 3},
    ControlSpec{1089, K::GroupBox,    u"Buzzer On/Off",             {260, 63, 98, 132},  kNone, 0},
    ControlSpec{1059, K::CheckBox,    u"SMS Send",                  {265, 75, 90, 10},   kTabStop, 0},
    ControlSpec{1060, K::CheckBox,    u"GPRS Send",                 {265, 87, 90, 10},   kTabStop, 0},
    ControlSpec{1061, K::CheckBox,    u"Geo Fence",                 {265, 99, 90, 10},   kTabStop, 0},
    ControlSpec{1062, K::CheckBox,    u"USB Set",                   {265, 111, 90, 10},  kTabStop, 0},
    ControlSpec{1063, K::CheckBox,    u"Web Set",                   {265, 123, 90, 10},  kTabStop, 0},
    ControlSpec{1064, K::CheckBox,    u"SMS Set",                   {265, 135, 90, 10},  kTabStop, 0},
    ControlSpec{1092, K::Label,       u"APN",                       {26, 215, 122, 8},   kNone, 0},
    ControlSpec{1028, K::Edit,        u"",                          {25, 223, 149, 12},  kEdit, 31},
    ControlSpec{1093, K::Label,       u"User",                      {26, 239, 30, 10},   kNone, 0},
    ControlSpec{1029, K::Edit,        u"",                          {58, 238, 116, 12},  kEdit, 20},
    ControlSpec{1094, K::Label,       u"Pass",                      {26, 254, 30, 10},   kNone, 0},
    ControlSpec{1030, K::Edit,        u"",                          {58, 253, 116, 12},  kEdit, 20},
    ControlSpec{1096, K::Label,       u"IP / Domain Name",          {202, 215, 142, 8},  kNone, 0},
    ControlSpec{1031, K::Edit,        u"",                          {201, 223, 149, 12}, kEdit, 50},
    ControlSpec{1097, K::Label,       u"TCP Port",                  {202, 239, 59, 10},  kNone, 0},
    ControlSpec{1032, K::Edit,        u"",                          {278, 237, 28, 12},  kDigitsOnly | kEdit, 5},
    ControlSpec{1098, K::Label,       u"UDP Port",                  {202, 251, 60, 10},  kNone, 0},
    ControlSpec{1033, K::Edit,        u"",                          {278, 250, 28, 12},  kDigitsOnly | kEdit, 5},
    ControlSpec{1099, K::Label,       u"Config Port",               {202, 263, 74, 11},  kNone, 0},
    ControlSpec{1034, K::Edit,        u"",                          {278, 263, 28, 12},  kDigitsOnly | kEdit, 5},
    ControlSpec{0,    K::Label,       u"User",                      {414, 28, 21, 8},    kHidden, 0},
    ControlSpec{1035, K::Edit,        u"",                          {440, 24, 50, 15},   kHidden | kEdit, 8},
    ControlSpec{1076, K::Label,       u"Passwd",                    {350, 10, 40, 8},    kRightAligned, 0},
    ControlSpec{1036, K::Edit,        u"",                          {394, 7, 50, 15},    kEdit, 8},
    ControlSpec{1102, K::Label,       u"SCU Phone [ex:****,****,]", {376, 44, 179, 10},  kNone, 0},
    ControlSpec{1037, K::Edit,        u"",                          {376, 53, 180, 28},  kPhone, 0},
    ControlSpec{1103, K::Label,       u"SOS Phone [ex:****,****,]", {376, 87, 180, 10},  kNone, 0},
    ControlSpec{1038, K::Edit,        u"",                          {376, 96, 180, 28},  kPhone, 0},
    ControlSpec{1104, K::Label,       u"SMS Phone [ex:****,****,]", {376, 129, 180, 10}, kNone, 0},
    ControlSpec{1039, K::Edit,        u"",                          {376, 138, 180, 28}, kPhone, 0},
    ControlSpec{1001, K::PushButton,  u"Get Parameter",             {7, 7, 65, 15},      kTabStop, 0},
    ControlSpec{1002, K::PushButton,  u"Set Parameter",             {77, 7, 65, 15},     kTabStop, 0},
    ControlSpec{1003, K::PushButton,  u"Get GPS Log",               {147, 7, 65, 15},    kTabStop, 0},
    ControlSpec{1007, K::PushButton,  u"Erase GPS Log",             {276, 7, 65, 15},    kTabStop, 0},
    ControlSpec{1004, K::PushButton,  u"Update",                    {372, 259, 60, 15},  kTabStop, 0},
    ControlSpec{1077, K::GroupBox,    u"Tracker",                   {7, 28, 563, 259},   kFlat, 0},
    ControlSpec{1078, K::GroupBox,    u"System Config",             {15, 36, 346, 162},  kFlat, 0},
    ControlSpec{1091, K::GroupBox,    u"GSM / GPRS Config",         {15, 201, 170, 78},  kFlat, 0},
    ControlSpec{1095, K::GroupBox,    u"Server Config",             {191, 201, 170, 78}, kFlat, 0},
    ControlSpec{1101, K::GroupBox,    u"Phone Config",              {367, 36, 196, 137}, kFlat, 0},
    ControlSpec{1112, K::GroupBox,    u"Firmware Update",           {367, 246, 196, 33}, kFlat, 0},
    ControlSpec{1005, K::ProgressBar, u"",                          {435, 259, 124, 15}, kBordered, 0},
    ControlSpec{1006, K::ProgressBar, u"",                          {217, 7, 54, 15},    kBordered | kSmooth, 0},
    ControlSpec{1105, K::GroupBox,    u"Sleep Mode",                {367, 176, 196, 69}, kFlat, 0},
    ControlSpec{0,    K::Label,       u":",                         {486, 200, 8, 8},    kNone, 0},
    ControlSpec{1040, K::Edit,        u"",                          {456, 209, 25, 12},  kEdit, 2},
    ControlSpec{0,    K::Label,       u":",                         {524, 200, 8, 8},    kNone, 0},
    ControlSpec{1041, K::Edit,        u"",                          {494, 209, 25, 12},  kEdit, 2},
    ControlSpec{1107, K::Label,       u"Time to Sleep",             {372, 211, 82, 8},   kNone, 0},
    ControlSpec{1042, K::Edit,        u"",                          {532, 209, 25, 12},  kEdit, 2},
    ControlSpec{1106, K::Label,       u"Mode",                      {372, 189, 22, 8},   kNone, 0},
    ControlSpec{1065, K::ComboBox,    u"",                          {397, 189, 76, 60},  kTabStop, 0},
    ControlSpec{1066, K::CheckBox,    u"Button Pressed",            {265, 147, 90, 10},  kTabStop, 0},
    ControlSpec{1090, K::Label,       u"(SOS/Geo/Alarm)",           {276, 157, 70, 9},   kNone, 0},
    ControlSpec{1088, K::Label,       u"[km/h]",                    {168, 173, 49, 9},   kNone, 0},
    ControlSpec{1109, K::Label,       u"Hour",                      {460, 201, 16, 8},   kNone, 0},
    ControlSpec{1110, K::Label,       u"Min.",                      {500, 201, 14, 8},   kNone, 0},
    ControlSpec{1111, K::Label,       u"Sec.",                      {537, 201, 16, 8},   kNone, 0},
    ControlSpec{1067, K::CheckBox,    u"",                          {264, 239, 8, 8},    kTabStop, 0},
    ControlSpec{1068, K::CheckBox,    u"",                          {264, 252, 8, 8},    kTabStop, 0},
    ControlSpec{1069, K::CheckBox,    u"",                          {311, 252, 8, 8},    kHidden | kTabStop, 0},
    ControlSpec{1100, K::Label,       u"Reply",                     {321, 251, 37, 9},   kHidden, 0},
    ControlSpec{1108, K::Label,       u"Time to Wakeup",            {372, 227, 82, 9},   kNone, 0},
    ControlSpec{1047, K::Edit,        u"",                          {456, 225, 25, 12},  kEdit, 2},
    ControlSpec{1048, K::Edit,        u"",                          {494, 225, 25, 12},  kEdit, 2},
    ControlSpec{1049, K::Edit,        u"",                          {532, 225, 25, 12},  kEdit, 2},
    ControlSpec{1009, K::PushButton,  u"Set Default",               {505, 7, 65, 15},    kTabStop, 0},
    ControlSpec{1113, K::Label,       u"IMEI",                      {26, 50, 19, 8},     kNone, 0},
    ControlSpec{1020, K::Label,       u"",                          {52, 48, 80, 12},    kSunken, 0},
    ControlSpec{1075, K::Label,       u"Static",                    {277, 22, 41, 8},    kHidden | kBordered, 0},
};

constexpr std::array kBinding{
    1005, 1006,
    1021, 1022, 1023, 1024, 1025, 1026, 1027, 1028, 1029, 1030, 1031, 1032, 1033, 1034, 1035, 1036,
    1051, 1052, 1053, 1054, 1055, 1056, 1057, 1058,
    1059, 1060, 1061, 1062, 1063, 1064, 1066,
    1040, 1041, 1042, 1047, 1048, 1049,
    1065,
    1067, 1068, 1069,
};
// clang-format on

}  // namespace

std::span<const ControlSpec> ControlTable() {
    return kControls;
}

const ControlSpec* FindControl(int id) {
    if (id == 0) {
        return nullptr;
    }
    const auto it = std::find_if(kControls.begin(), kControls.end(),
                                 [id](const ControlSpec& c) { return c.id == id; });
    return it == kControls.end() ? nullptr : &*it;
}

std::span<const int> BindingOrder() {
    return kBinding;
}

}  // namespace quarnel
