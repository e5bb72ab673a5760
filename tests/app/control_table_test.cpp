// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The form's template as data: creation order, kinds, limits, styles and binding order.
#include "form/control_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "form/control_ids.h"
#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

std::vector<int> Ids() {
    std::vector<int> ids;
    for (const ControlSpec& c : ControlTable()) {
        ids.push_back(c.id);
    }
    return ids;
}

TEST(ControlTable, CreationOrderIsTheTemplateOrder) {
    // A 0 stands for a label without an ID.
    const std::vector<int> expected{
        1074, 1080, 1021, 1081, 1022, 1082, 1023, 1083, 1024, 1084, 1025, 1085, 1026, 1086, 1044,
        0,    1045, 0,    1046, 1079, 1043, 1087, 1051, 1052, 1053, 1054, 1055, 1056, 1057, 1058,
        1027, 1089, 1059, 1060, 1061, 1062, 1063, 1064, 1092, 1028, 1093, 1029, 1094, 1030, 1096,
        1031, 1097, 1032, 1098, 1033, 1099, 1034, 0,    1035, 1076, 1036, 1102, 1037, 1103, 1038,
        1104, 1039, 1001, 1002, 1003, 1007, 1004, 1077, 1078, 1091, 1095, 1101, 1112, 1005, 1006,
        1105, 0,    1040, 0,    1041, 1107, 1042, 1106, 1065, 1066, 1090, 1088, 1109, 1110, 1111,
        1067, 1068, 1069, 1100, 1108, 1047, 1048, 1049, 1009, 1113, 1020, 1075};
    EXPECT_EQ(Ids(), expected);
}

TEST(ControlTable, EveryIdOccursOnce) {
    std::set<int> seen;
    for (const int id : Ids()) {
        if (id != 0) {
            EXPECT_TRUE(seen.insert(id).second) << id;
        }
    }
    EXPECT_EQ(seen.size(), 97u);
    EXPECT_EQ(ControlTable().size(), 102u);  // with the five unnamed labels
}

struct KindRow {
    const char* name;
    std::vector<int> ids;
    ControlKind kind;
};

class ControlKinds : public ::testing::TestWithParam<KindRow> {};

TEST_P(ControlKinds, HaveTheirKind) {
    for (const int id : GetParam().ids) {
        const ControlSpec* c = FindControl(id);
        ASSERT_NE(c, nullptr) << id;
        EXPECT_EQ(c->kind, GetParam().kind) << id;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Form, ControlKinds,
    ::testing::Values(
        KindRow{"PushButtons", {1001, 1002, 1003, 1004, 1007, 1009}, ControlKind::PushButton},
        KindRow{"ProgressBars", {1005, 1006}, ControlKind::ProgressBar},
        KindRow{"ComboBox", {1065}, ControlKind::ComboBox},
        KindRow{"Panels",
                {1077, 1078, 1087, 1089, 1091, 1095, 1101, 1105, 1112},
                ControlKind::GroupBox},
        KindRow{"CheckBoxes",
                {1051, 1052, 1053, 1054, 1055, 1056, 1057, 1058, 1059, 1060, 1061, 1062, 1063, 1064,
                 1066, 1067, 1068, 1069},
                ControlKind::CheckBox},
        KindRow{"Edits",
                {1021, 1022, 1023, 1024, 1025, 1026, 1027, 1028, 1029, 1030,
                 1031, 1032, 1033, 1034, 1035, 1036, 1037, 1038, 1039, 1040,
                 1041, 1042, 1043, 1044, 1045, 1046, 1047, 1048, 1049, 1074},
                ControlKind::Edit},
        KindRow{"ImeiDisplayIsALabel", {1020}, ControlKind::Label}),
    test::RowName());

TEST(ControlTable, InputLimits) {
    const std::vector<std::pair<int, int>> limits{{1021, 6},
                                                  {1022, 6},
                                                  {1023, 6},
                                                  {1024, 6},
                                                  {1025, 6},
                                                  {1026, 2},
                                                  {1027, 3},
                                                  {1028, 31},
                                                  {1029, 20},
                                                  {1030, 20},
                                                  {1031, 50},
                                                  {1032, 5},
                                                  {1033, 5},
                                                  {1034, 5},
                                                  {1035, 8},
                                                  {1036, 8},
                                                  {1040, 2},
                                                  {1041, 2},
                                                  {1042, 2},
                                                  {1047, 2},
                                                  {1048, 2},
                                                  {1049, 2},
                                                  // The platform's default, no limit of ours.
                                                  {1037, 0},
                                                  {1038, 0},
                                                  {1039, 0},
                                                  {1043, 0},
                                                  {1044, 0},
                                                  {1045, 0},
                                                  {1046, 0},
                                                  {1074, 0}};
    for (const auto& [id, limit] : limits) {
        EXPECT_EQ(FindControl(id)->inputLimit, limit) << id;
    }
    for (const ControlSpec& c : ControlTable()) {
        if (c.kind != ControlKind::Edit) {
            EXPECT_EQ(c.inputLimit, 0) << c.id;
        }
    }
}

std::vector<int> IdsWith(uint32_t s) {
    std::vector<int> ids;
    for (const ControlSpec& c : ControlTable()) {
        if (c.Has(s)) {
            ids.push_back(c.id);
        }
    }
    return ids;
}

TEST(ControlTable, HiddenControls) {
    // The two zeros are the "User" label and the second empty System Config label.
    std::vector<int> hidden = IdsWith(style::kHidden);
    std::sort(hidden.begin(), hidden.end());
    EXPECT_EQ(hidden, (std::vector<int>{0, 0, 1035, 1045, 1046, 1069, 1074, 1075, 1100}));

    const auto labels = ControlTable();
    EXPECT_FALSE(labels[15].Has(style::kHidden));  // the first empty label is visible
    EXPECT_TRUE(labels[17].Has(style::kHidden));
    EXPECT_EQ(labels[52].text, u"User");
    EXPECT_TRUE(labels[52].Has(style::kHidden));
}

TEST(ControlTable, DigitsOnlyEdits) {
    EXPECT_EQ(IdsWith(style::kDigitsOnly),
              (std::vector<int>{1021, 1022, 1023, 1024, 1025, 1026, 1044, 1045, 1046, 1027, 1032,
                                1033, 1034}));
}

TEST(ControlTable, TabStopsInCreationOrder) {
    EXPECT_EQ(IdsWith(style::kTabStop),
              (std::vector<int>{1051, 1052, 1053, 1054, 1055, 1056, 1057, 1058, 1027, 1059, 1060,
                                1061, 1062, 1063, 1064, 1028, 1029, 1030, 1031, 1032, 1033, 1034,
                                1035, 1036, 1037, 1038, 1039, 1001, 1002, 1003, 1007, 1004, 1040,
                                1041, 1042, 1065, 1066, 1067, 1068, 1069, 1047, 1048, 1049, 1009}));
}

TEST(ControlTable, DrawingStyles) {
    EXPECT_EQ(IdsWith(style::kFlat), (std::vector<int>{1077, 1078, 1091, 1095, 1101, 1112, 1105}));
    EXPECT_FALSE(FindControl(1087)->Has(style::kFlat));
    EXPECT_FALSE(FindControl(1089)->Has(style::kFlat));
    EXPECT_TRUE(FindControl(1006)->Has(style::kSmooth | style::kBordered));
    EXPECT_FALSE(FindControl(1005)->Has(style::kSmooth));
    EXPECT_TRUE(FindControl(1005)->Has(style::kBordered));
    EXPECT_EQ(IdsWith(style::kRightAligned), std::vector<int>{1076});
    EXPECT_EQ(IdsWith(style::kSunken), std::vector<int>{1020});
    EXPECT_EQ(IdsWith(style::kMultiLine), (std::vector<int>{1037, 1038, 1039}));
    EXPECT_EQ(IdsWith(style::kReadOnly), (std::vector<int>{1074, 1043}));
}

TEST(ControlTable, PlacesInDialogUnits) {
    EXPECT_EQ(FindControl(1077)->rect, (DluRect{7, 28, 563, 259}));
    EXPECT_EQ(FindControl(1065)->rect, (DluRect{397, 189, 76, 60}));
    EXPECT_EQ(FindControl(1058)->rect, (DluRect{138, 159, 116, 10}));
    EXPECT_EQ(FindControl(1108)->rect, (DluRect{372, 227, 82, 9}));
    EXPECT_EQ(kFormWidthDlu, 578);
    EXPECT_EQ(kFormHeightDlu, 294);
    EXPECT_EQ(kTemplateCaption, u"(14020701)");
}

TEST(ControlTable, TemplateCaptions) {
    EXPECT_EQ(FindControl(1001)->text, u"Get Parameter");
    EXPECT_EQ(FindControl(1102)->text, u"SCU Phone [ex:****,****,]");
    EXPECT_EQ(FindControl(1088)->text, u"[km/h]");
    EXPECT_EQ(FindControl(1075)->text, u"Static");
    EXPECT_TRUE(FindControl(1067)->text.empty());
    EXPECT_TRUE(FindControl(1020)->text.empty());
}

TEST(ControlTable, FindControl) {
    EXPECT_EQ(FindControl(0), nullptr);
    EXPECT_EQ(FindControl(1008), nullptr);
    EXPECT_EQ(FindControl(ctl::ModeCombo)->id, 1065);
}

TEST(ControlTable, BindingOrder) {
    const std::vector<int> order(BindingOrder().begin(), BindingOrder().end());
    EXPECT_EQ(order,
              (std::vector<int>{1005, 1006, 1021, 1022, 1023, 1024, 1025, 1026, 1027, 1028, 1029,
                                1030, 1031, 1032, 1033, 1034, 1035, 1036, 1051, 1052, 1053, 1054,
                                1055, 1056, 1057, 1058, 1059, 1060, 1061, 1062, 1063, 1064, 1066,
                                1040, 1041, 1042, 1047, 1048, 1049, 1065, 1067, 1068, 1069}));
}

}  // namespace
}  // namespace quarnel
