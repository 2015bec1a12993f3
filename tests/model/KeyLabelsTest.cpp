#include "KeyLabels.h"

#include <gtest/gtest.h>

using namespace vornik;

TEST(KeyLabel, NamesKeysAndMarksUnknownCodes) {
    const std::pair<uint16_t, const char*> cases[] = {
        {0, "NONE"},      {8, "BackSpace"}, {16, "?"},        {17, "?"},         {18, "?"},   {48, "0"},    {57, "9"},
        {65, "A"},        {90, "Z"},        {96, "NumPad 0"}, {105, "NumPad 9"}, {112, "F1"}, {123, "F12"}, {124, "?"},
        {160, "L-Shift"}, {165, "R-ALT"},   {109, "-"},       {189, "-"},        {110, "."},  {190, "."},   {220, "\\"},
        {222, "'"},       {192, "`"},       {256 + 65, "?"},  {0xFFFF, "?"},
    };
    for (const auto& [code, label] : cases)
        EXPECT_EQ(KeyLabel(code), label) << "code " << code;
}

TEST(NamedKeyList, HoldsNoneThenTheHundredLabelledKeysAscending) {
    NamedKeyList list;
    buildNamedKeyList(list);
    ASSERT_EQ(list.Count, 101);
    EXPECT_EQ(list.Codes[1], 0);
    EXPECT_EQ(list.Codes[2], 8);     // keyboard binding entry 0: BackSpace
    EXPECT_EQ(list.Codes[101], 222); // keyboard binding entry 99: "'"
    EXPECT_EQ(list.Codes[102], 0);   // past the list
    for (int p = 2; p <= list.Count; ++p) {
        EXPECT_LT(list.Codes[p - 1], list.Codes[p]);
        EXPECT_NE(KeyLabel(list.Codes[p]), "?");
    }
}

TEST(NamedKeyList, RebuildingStartsAfresh) {
    NamedKeyList list;
    buildNamedKeyList(list);
    buildNamedKeyList(list);
    EXPECT_EQ(list.Count, 101);
}
