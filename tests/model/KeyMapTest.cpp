#include "KeyMap.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>
#include <vector>

using namespace vornik;

namespace {

std::string fileWith(const std::string& bytes) {
    static int n = 0;
    const auto path = std::filesystem::temp_directory_path() /
                      ("vornik-keymap-test-" + std::to_string(::getpid()) + "-" + std::to_string(n++));
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

std::string int32le(int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF), static_cast<char>((v >> 16) & 0xFF),
            static_cast<char>(v >> 24)};
}

// A file announcing `count` records, followed by `records`.
std::string countThen(int32_t count, const std::vector<KeyMapRecord>& records) {
    const std::string bytes = serializeKeyMap(records.data(), static_cast<int>(records.size()));
    return int32le(count) + bytes.substr(4);
}

const std::vector<KeyMapRecord> kTwoKeys = {{0, 19, 0, 19, 27}, {30, 49, 0, 19, 112}};

} // namespace

TEST(KeyMapFile, LoadsEveryRecordInFileOrder) {
    KeyMap map;
    const KeyMapLoad r = loadKeyMap(fileWith(countThen(2, kTwoKeys)), map);
    EXPECT_EQ(r.status, KeyMapLoad::Loaded);
    ASSERT_EQ(map.Count, 2);
    EXPECT_EQ(map.Records[1], kTwoKeys[0]);
    EXPECT_EQ(map.Records[2], kTwoKeys[1]);
}

TEST(KeyMapFile, MissingFileIsReportedAsMissingWithNoRecords) {
    KeyMap map;
    map.Count = 5;
    const KeyMapLoad r = loadKeyMap("/nonexistent-dir/keymap", map);
    EXPECT_EQ(r.status, KeyMapLoad::Missing);
    EXPECT_EQ(map.Count, 0);
}

TEST(KeyMapFile, ZeroOrNegativeCountGivesNoRecordsAndNoError) {
    for (int32_t count : {0, -1, INT32_MIN}) {
        KeyMap map;
        const KeyMapLoad r = loadKeyMap(fileWith(countThen(count, kTwoKeys)), map);
        EXPECT_EQ(r.status, KeyMapLoad::Loaded) << count;
        EXPECT_EQ(map.Count, 0) << count;
    }
}

TEST(KeyMapFile, CountAbove150ReadsTheFirst150) {
    std::vector<KeyMapRecord> records;
    for (int i = 0; i < 160; ++i)
        records.push_back({i, i, 0, 0, 65 + i % 26});
    KeyMap map;
    EXPECT_EQ(loadKeyMap(fileWith(countThen(160, records)), map).status, KeyMapLoad::Loaded);
    EXPECT_EQ(map.Count, 150);
    EXPECT_EQ(map.Records[150].Left, 149);

    // A huge count with exactly 150 records present is fine too: nothing past them is needed.
    records.resize(150);
    EXPECT_EQ(loadKeyMap(fileWith(countThen(INT32_MAX, records)), map).status, KeyMapLoad::Loaded);
    EXPECT_EQ(map.Count, 150);
}

TEST(KeyMapFile, FileEndingEarlyIsAnErrorNamingTheFileAndWhatIsMissing) {
    KeyMap map;
    const std::string path = fileWith(countThen(3, kTwoKeys));
    const KeyMapLoad r = loadKeyMap(path, map);
    EXPECT_EQ(r.status, KeyMapLoad::Failed);
    EXPECT_NE(r.error.find(path), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("3"), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("only 2"), std::string::npos) << r.error;
    EXPECT_EQ(map.Count, 0);

    // Too short even for the count; and a half record at the end.
    EXPECT_EQ(loadKeyMap(fileWith("\x01\x00"), map).status, KeyMapLoad::Failed);
    EXPECT_EQ(loadKeyMap(fileWith(countThen(2, kTwoKeys).substr(0, 4 + 20 + 10)), map).status, KeyMapLoad::Failed);
    EXPECT_EQ(map.Count, 0);
}

// A rectangle off the keyboard picture would be cut out of pixels that do not exist, and numbers
// near the 32-bit limit overflow where the drawing adds widths: such a record is refused.
TEST(KeyMapFile, ARecordOffThePictureIsRefusedAndTheRecordsBeforeItKept) {
    const struct {
        KeyMapRecord record;
        const char* problem;
    } cases[] = {
        {{-1, 19, 0, 19, 65}, "left edge -1"},
        {{0, 427, 0, 19, 65}, "right edge 427 lies outside the keyboard picture (0..426)"},
        {{0, 19, -5, 19, 65}, "top edge -5"},
        {{0, 19, 0, 119, 65}, "bottom edge 119 lies outside the keyboard picture (0..118)"},
        {{INT32_MAX - 1, INT32_MAX, 0, 19, 65}, "left edge 2147483646"},
        {{0, 19, INT32_MIN, 0, 65}, "top edge -2147483648"},
    };
    for (const auto& c : cases) {
        std::vector<KeyMapRecord> records = kTwoKeys;
        records.push_back(c.record);
        records.push_back({60, 79, 0, 19, 113});
        const std::string path = fileWith(countThen(4, records));
        KeyMap map;
        const KeyMapLoad r = loadKeyMap(path, map);
        EXPECT_EQ(r.status, KeyMapLoad::Failed) << c.problem;
        EXPECT_EQ(r.error.rfind(path + ": key record 3 (key code 65): " + c.problem, 0), 0u) << r.error;
        ASSERT_EQ(map.Count, 2) << c.problem;
        EXPECT_EQ(map.Records[2], kTwoKeys[1]);
    }

    // The picture's last row and column belong to it.
    KeyMap map;
    const std::vector<KeyMapRecord> corner = {{400, 426, 100, 118, 13}};
    EXPECT_EQ(loadKeyMap(fileWith(countThen(1, corner)), map).status, KeyMapLoad::Loaded);
    EXPECT_EQ(map.Count, 1);
}

TEST(KeyMapFile, UnreadableFileIsAnError) {
    KeyMap map;
    const KeyMapLoad r = loadKeyMap(std::filesystem::temp_directory_path().string(), map); // a folder
    EXPECT_EQ(r.status, KeyMapLoad::Failed);
    EXPECT_EQ(map.Count, 0);
}

TEST(KeyMapLookup, HitTestIsInclusiveAndTheEarlierRecordWins) {
    KeyMap map;
    const std::vector<KeyMapRecord> records = {{10, 20, 5, 15, 65}, {15, 30, 5, 15, 66}, {40, 50, 0, 10, 65}};
    ASSERT_EQ(parseKeyMap(reinterpret_cast<const unsigned char*>(countThen(3, records).data()), 64, "m", map).status,
              KeyMapLoad::Loaded);
    EXPECT_EQ(FindKeyAtPoint(map, 10, 5), 1);
    EXPECT_EQ(FindKeyAtPoint(map, 20, 15), 1); // right and bottom border pixels
    EXPECT_EQ(FindKeyAtPoint(map, 17, 10), 1); // overlap resolves to the earlier record
    EXPECT_EQ(FindKeyAtPoint(map, 21, 10), 2);
    EXPECT_EQ(FindKeyAtPoint(map, 35, 10), 0);
    EXPECT_EQ(FindKeyAtPoint(map, 10, 16), 0);
    EXPECT_EQ(FindKeyMapRecord(map, 65), 1);
    EXPECT_EQ(FindKeyMapRecord(map, 66), 2);
    EXPECT_EQ(FindKeyMapRecord(map, 67), -1);
    EXPECT_EQ(FindKeyMapRecord(map, 65 + 256), -1); // compared as a whole 32-bit value

    KeyMap empty;
    EXPECT_EQ(FindKeyAtPoint(empty, 0, 0), 0);
    EXPECT_EQ(FindKeyMapRecord(empty, 0), -1);
}

// Mutated and truncated files never make the reader read past the end, keep half a load or keep
// a record off the picture.
// Run under AddressSanitizer and UndefinedBehaviorSanitizer by ./test.
TEST(KeyMapFile, SurvivesRandomlyMutatedAndTruncatedInput) {
    std::vector<KeyMapRecord> records;
    for (int i = 0; i < 40; ++i)
        records.push_back({i * 10, i * 10 + 9, 0, 19, 65 + i % 26});
    const std::string valid = countThen(40, records);
    std::mt19937 rng(20261207);
    for (int round = 0; round < 100000; ++round) {
        std::string bytes = valid;
        switch (rng() % 4) {
        case 0:
            bytes.resize(rng() % (bytes.size() + 1));
            break;
        case 1:
            for (int k = 0, n = 1 + static_cast<int>(rng() % 8); k < n; ++k)
                bytes[rng() % bytes.size()] = static_cast<char>(rng());
            break;
        case 2: { // a random count, often larger than the records that follow
            bytes.replace(0, 4, int32le(static_cast<int32_t>(rng())));
            bytes.resize(rng() % (bytes.size() + 1));
            break;
        }
        default:
            bytes.resize(rng() % 64);
            for (char& c : bytes)
                c = static_cast<char>(rng());
        }
        // An exact-size heap copy so that any read past the end is caught.
        std::vector<unsigned char> data(bytes.begin(), bytes.end());
        KeyMap map;
        const KeyMapLoad r = parseKeyMap(data.empty() ? nullptr : data.data(), data.size(), "keymap", map);
        ASSERT_GE(map.Count, 0);
        ASSERT_LE(map.Count, kMaxKeyMapRecords);
        // A failure keeps records only when it names the refused record that follows them.
        if (r.status == KeyMapLoad::Failed && map.Count > 0) {
            ASSERT_NE(r.error.find("key record " + std::to_string(map.Count + 1) + " "), std::string::npos)
                << "round " << round << ": " << r.error;
        }
        for (int i = 1; i <= map.Count; ++i) {
            const KeyMapRecord& k = map.Records[i];
            const auto on = [](int32_t v, int32_t size) { return v >= 0 && v < size; };
            ASSERT_TRUE(on(k.Left, kKeyboardPictureWidth) && on(k.Right, kKeyboardPictureWidth) &&
                        on(k.Top, kKeyboardPictureHeight) && on(k.Bottom, kKeyboardPictureHeight))
                << "round " << round << ", record " << i;
        }
        if (map.Count > 0) {
            ASSERT_LE(4 + 20 * static_cast<std::size_t>(map.Count), data.size());
        }
    }
}
