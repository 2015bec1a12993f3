#include "Big5.h"
#include "Configuration.h"

#include <gtest/gtest.h>

#include <memory>

using namespace vornik;

TEST(Tables, FreshConfigurationHoldsNoBindingsAndEmptyMoves) {
    auto config = std::make_unique<Configuration>();
    for (const KeyBinding& k : config->keyBindings)
        EXPECT_EQ(k, KeyBinding{});
    for (int t = 1; t <= kMaxJoysticks; ++t)
        for (int e = 1; e <= kJoystickEntries; ++e)
            EXPECT_EQ(config->joystickBindings[t][e], JoystickBinding{});
    for (int m = 1; m <= kMoveSlots; ++m) {
        EXPECT_EQ(config->moves[m].StepCount, 0);
        EXPECT_EQ(config->moves[m].Name.Length, 0);
    }
    EXPECT_EQ(config->targets.TargetProcessId, 0u);
    EXPECT_EQ(config->keyBindings.size(), 255u);
}

TEST(Tables, ClearingAllMovesKeepsStepsSpeedRepeatAndOverlap) {
    MoveTable moves;
    moves[7].StepCount = 2;
    moves[7].Steps[1] = {'Q', 0x10};
    moves[7].Speed = 40;
    moves[7].RepeatCount = 3;
    moves[7].Overlap = 1;
    setMoveName(moves[7], "Jab");
    moves[100].StepCount = 1;

    clearAllMoves(moves);

    EXPECT_EQ(moves[7].StepCount, 0);
    EXPECT_EQ(moves[7].Name.view(), "");
    EXPECT_EQ(moves[7].Steps[1], (MoveStep{'Q', 0x10}));
    EXPECT_EQ(moves[7].Speed, 40);
    EXPECT_EQ(moves[7].RepeatCount, 3);
    EXPECT_EQ(moves[7].Overlap, 1);
    EXPECT_EQ(moves[100].StepCount, 0);
}

// An index outside a table stops the program in every build that checks bounds, the sanitizer
// builds included: there an index one past a table reaches the next member of the same record,
// which no sanitizer sees.
TEST(OneBasedDeathTest, AnIndexOutsideTheTableStopsTheProgram) {
#if !defined(NDEBUG) || defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    struct Record {
        OneBased<int32_t, 3> table;
        int32_t next = 7;
    } record;
    EXPECT_DEATH(record.table[4] = 1, "index 4 outside 1\\.\\.3");
    EXPECT_DEATH(record.table[0] = 1, "index 0 outside 1\\.\\.3");
    EXPECT_EQ(record.next, 7);
#else
    GTEST_SKIP() << "an optimized build without sanitizers leaves the table bounds unchecked";
#endif
}

TEST(MoveName, IsCutTo250BytesNeverInsideADoubleByteCharacter) {
    Move move;
    setMoveName(move, std::string(300, 'x'));
    EXPECT_EQ(move.Name.Length, 250);

    // 249 single bytes then a two-byte character: the character would end at byte 251.
    const std::string big5Char = "\xA9\xDB"; // 招
    setMoveName(move, std::string(249, 'x') + big5Char);
    EXPECT_EQ(move.Name.Length, 249);

    // 248 single bytes then the character: it ends exactly at byte 250 and stays.
    setMoveName(move, std::string(248, 'x') + big5Char);
    EXPECT_EQ(move.Name.Length, 250);
    EXPECT_EQ(move.Name.view().substr(248), big5Char);

    // A lead byte with nothing after it is not half-kept.
    setMoveName(move, "ab\xA9");
    EXPECT_EQ(move.Name.view(), "ab");

    // A shorter name replaces a longer one completely.
    setMoveName(move, "A");
    EXPECT_EQ(move.Name.view(), "A");
    EXPECT_EQ(move.Name, ([] {
                  Move m;
                  setMoveName(m, "A");
                  return m.Name;
              }()));
}

TEST(Big5, ConvertsBothWaysAndRefusesTextWithoutABig5Form) {
    const auto big5 = utf8ToBig5("招式 A");
    ASSERT_TRUE(big5.has_value());
    EXPECT_EQ(*big5, "\xA9\xDB\xA6\xA1 A");
    EXPECT_EQ(big5ToUtf8(*big5), "招式 A");
    EXPECT_FALSE(utf8ToBig5("emoji \xF0\x9F\x98\x80").has_value());
    EXPECT_FALSE(utf8ToBig5("\xFF\xFE broken").has_value());
    EXPECT_EQ(utf8ToBig5(""), "");
}
