// The ten system colours handed to Windows: which, in what order, and nothing else.
#include "colors/style_reading.h"
#include "tests/style_fixture.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::Pair;
using SystemColorSetTest = StyleTest;

const std::vector<int> managedIndices = {2, 27, 9, 3, 28, 19, 13, 14, 24, 23};

TEST_F(SystemColorSetTest, AppliesTheTenFieldsInOneCallInFieldOrder) {
    systemColors = SystemColorSet{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    applySystemColors();

    const auto calls = tests::callsTo("SetSysColors");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_THAT(tests::indicesOf(calls[0]), ElementsAreArray(managedIndices));
    EXPECT_THAT(calls[0].colors,
                ElementsAre(Pair(2, 1), Pair(27, 2), Pair(9, 3), Pair(3, 4), Pair(28, 5),
                            Pair(19, 6), Pair(13, 7), Pair(14, 8), Pair(24, 9), Pair(23, 10)));
}

TEST_F(SystemColorSetTest, StyleWithoutKeysAppliesTheDefaults) {
    readStyleColors();
    applySystemColors();

    const auto calls = tests::callsTo("SetSysColors");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_THAT(tests::hexColors(calls[0]),
                ElementsAre("#0a246a", "#a6caf0", "#ffffff", // focused caption
                            "#0a246a", "#a6caf0", "#d4d0c8", // unfocused caption
                            "#0a246a", "#ffffff",            // highlight from the menu title
                            "#ffffe1", "#000000"));          // tooltip from the menu frame
}

TEST_F(SystemColorSetTest, WindowColourIsReadButOnlyTheTenAreWritten) {
    readStyleColors();
    applySystemColors();

    const auto reads = tests::callsTo("GetSysColor");
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].arguments, std::vector<std::uintptr_t>{COLOR_WINDOW});
    const auto& defaults = win32_standin::defaultSystemColors();
    for (int index = 0; index < SYSTEM_COLOR_COUNT; ++index) {
        const bool managed =
            std::find(managedIndices.begin(), managedIndices.end(), index) != managedIndices.end();
        if (!managed) {
            EXPECT_EQ(GetSysColor(index), defaults[index]) << "system colour " << index;
        }
    }
}

TEST_F(SystemColorSetTest, EachPassAppliesAllTenAndNothingOfTheStyleBefore) {
    tests::useStyle({{"window.label.focus:", "flat solid"},
                     {"window.label.focus.color:", "#112233"},
                     {"menu.title:", "flat"},
                     {"menu.title.color:", "#445566"}});
    readStyleColors();
    applySystemColors();
    tests::useStyle({});
    readStyleColors();
    applySystemColors();

    const auto calls = tests::callsTo("SetSysColors");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_THAT(tests::hexColors(calls[0]),
                ElementsAre("#112233", "#112233", "#ffffff", "#0a246a", "#a6caf0", "#d4d0c8",
                            "#445566", "#ffffff", "#445566", "#000000"));
    for (const auto& call : calls) {
        EXPECT_THAT(tests::indicesOf(call), ElementsAreArray(managedIndices));
    }
    EXPECT_THAT(tests::hexColors(calls[1]),
                ElementsAre("#0a246a", "#a6caf0", "#ffffff", "#0a246a", "#a6caf0", "#d4d0c8",
                            "#0a246a", "#ffffff", "#ffffe1", "#000000"));
}
