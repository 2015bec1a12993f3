// The shipped key-map file against the key layout table it was written from.

#include "KeyLabels.h"
#include "KeyLayout.h"
#include "KeyMap.h"

#include <QCoreApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace vornik::ui::test {
namespace {

class ShippedKeyMap : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string path = (QCoreApplication::applicationDirPath() + "/keymap").toStdString();
        ASSERT_EQ(loadKeyMap(path, map).status, KeyMapLoad::Loaded);
    }
    KeyMap map;
};

TEST_F(ShippedKeyMap, HoldsEveryDrawnKeyOnceInTableOrder) {
    ASSERT_EQ(map.Count, layout::kKeyCount);
    for (int i = 1; i <= map.Count; ++i)
        EXPECT_EQ(map.Records[i], layout::keyRecord(layout::kKeyCaps[i - 1])) << "record " << i;
}

TEST_F(ShippedKeyMap, RectanglesLieOnThePictureAndNeverOverlap) {
    for (int i = 1; i <= map.Count; ++i) {
        const KeyMapRecord& r = map.Records[i];
        EXPECT_TRUE(0 <= r.Left && r.Left < r.Right && r.Right < layout::kPictureWidth) << i;
        EXPECT_TRUE(0 <= r.Top && r.Top < r.Bottom && r.Bottom < layout::kPictureHeight) << i;
        for (int j = 1; j < i; ++j) {
            const KeyMapRecord& o = map.Records[j];
            const bool apart = r.Right < o.Left || o.Right < r.Left || r.Bottom < o.Top || o.Bottom < r.Top;
            EXPECT_TRUE(apart) << "records " << j << " and " << i << " overlap";
        }
    }
}

TEST_F(ShippedKeyMap, EveryCodeIsLabelledAndEveryLabelledKeyCanBeClicked) {
    std::map<int, int> seen;
    for (int i = 1; i <= map.Count; ++i) {
        const int code = map.Records[i].VirtualKey;
        EXPECT_NE(KeyLabel(static_cast<uint16_t>(code)), "?") << "code " << code;
        EXPECT_GT(code, 0);
        ++seen[code];
    }
    // The modifiers carry their left and right codes, so a click finds their rows.
    for (int generic : {16, 17, 18})
        EXPECT_EQ(seen.count(generic), 0u);
    for (int code = 1; code <= 255; ++code) {
        if (KeyLabel(static_cast<uint16_t>(code)) != "?") {
            EXPECT_GE(seen[code], 1) << KeyLabel(static_cast<uint16_t>(code)) << " is not on the picture";
        }
    }
    // Only Enter appears twice: the main one and the keypad's.
    for (const auto& [code, count] : seen)
        EXPECT_EQ(count, code == 13 ? 2 : 1) << "code " << code;
    EXPECT_EQ(FindKeyAtPoint(map, map.Records[FindKeyMapRecord(map, 160)].Right,
                             map.Records[FindKeyMapRecord(map, 160)].Bottom),
              FindKeyMapRecord(map, 160));
}

TEST(ShippedPictures, KeyboardPictureMatchesTheLayoutSize) {
    const QImage keyboard(QStringLiteral(VORNIK_RESOURCES "/keyboard.png"));
    EXPECT_EQ(keyboard.size(), QSize(layout::kPictureWidth, layout::kPictureHeight));
    // Every cap is drawn: its face is lighter than the gaps around it.
    for (const auto& cap : layout::kKeyCaps) {
        const KeyMapRecord r = layout::keyRecord(cap);
        EXPECT_GT(qGray(keyboard.pixel(r.Left + 2, r.Top + 2)), qGray(keyboard.pixel(r.Left, r.Bottom + 1)))
            << cap.caption;
    }
}

} // namespace
} // namespace vornik::ui::test
