// The ten system colours handed to Windows: which, in what order, and nothing else.
#include "colors/style_reading.h"
#include "tests/style_fixture.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using SystemColorSetTest = StyleTest;

const std::vector<INT> managedIndices = {2, 27, 9, 3, 28, 19, 13, 14, 24, 23};

TEST_F(SystemColorSetTest, AppliesTheTenFieldsInOneCallInFieldOrder) {
    systemColors = SystemColorSet{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    applySystemColors();

    const auto& calls = win32_standin::setSysColorsCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_THAT(calls[0].indices, ElementsAreArray(managedIndices));
    EXPECT_THAT(calls[0].values, ElementsAre(1, 2, 3, 4, 5, 6, 7, 8, 9, 10));
}

TEST_F(SystemColorSetTest, StyleWithoutKeysAppliesTheDefaults) {
    readStyleColors();
    applySystemColors();

    const auto& calls = win32_standin::setSysColorsCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_THAT(hexColors(calls[0].values),
                ElementsAre("#0a246a", "#a6caf0", "#ffffff", // focused caption
                            "#0a246a", "#a6caf0", "#d4d0c8", // unfocused caption
                            "#0a246a", "#ffffff",            // highlight from the menu title
                            "#ffffe1", "#000000"));          // tooltip from the menu frame
}

TEST_F(SystemColorSetTest, WindowColourIsReadButOnlyTheTenAreWritten) {
    readStyleColors();
    applySystemColors();

    EXPECT_THAT(win32_standin::getSysColorCalls(), ElementsAre(COLOR_WINDOW));
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
    fake_host::setStyle({{"window.label.focus:", "flat solid"},
                         {"window.label.focus.color:", "#112233"},
                         {"menu.title:", "flat"},
                         {"menu.title.color:", "#445566"}});
    readStyleColors();
    applySystemColors();
    fake_host::setStyle({});
    readStyleColors();
    applySystemColors();

    const auto& calls = win32_standin::setSysColorsCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_THAT(hexColors(calls[0].values),
                ElementsAre("#112233", "#112233", "#ffffff", "#0a246a", "#a6caf0", "#d4d0c8",
                            "#445566", "#ffffff", "#445566", "#000000"));
    for (const auto& call : calls) {
        EXPECT_THAT(call.indices, ElementsAreArray(managedIndices));
    }
    EXPECT_THAT(hexColors(calls[1].values),
                ElementsAre("#0a246a", "#a6caf0", "#ffffff", "#0a246a", "#a6caf0", "#d4d0c8",
                            "#0a246a", "#ffffff", "#ffffe1", "#000000"));
}
