#include <gtest/gtest.h>

#include <set>

#include "app/main_window_layout.h"
#include "sound/sound_board.h"
#include "sound/sound_catalogue.h"

namespace {

struct Rect {
    int left, top, right, bottom;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

Rect RectOf(const rt::ControlLayout& row) { return {row.left, row.top, row.left + row.width, row.top + row.height}; }

std::vector<rt::ControlLayout> RowsOfPage(int page) {
    std::vector<rt::ControlLayout> rows;
    for (const auto& row : sound::SoundButtonLayouts()) {
        if (row.page == page) rows.push_back(row);
    }
    return rows;
}

// The row a click at (x, y) reaches: the first row, in stacking order, whose rectangle holds it.
const rt::ControlLayout* RowHit(const std::vector<rt::ControlLayout>& rows, int x, int y) {
    for (const auto& row : rows) {
        if (RectOf(row).Contains(x, y)) return &row;
    }
    return nullptr;
}

class SoundPageTest : public testing::TestWithParam<int> {};

TEST_P(SoundPageTest, StacksStopButtonOnTopThenReverseGridOrderThenTheInertButton) {
    const int page = GetParam();
    const auto rows = RowsOfPage(page);
    ASSERT_EQ(rows.size(), 41u);
    int expectedIndex = (page - 1) * 40 + 39;
    for (size_t i = 0; i < 40; ++i, --expectedIndex) {
        const sound::SoundButton& button = sound::SoundCatalogue()[static_cast<size_t>(expectedIndex)];
        EXPECT_EQ(rows[i].tag, expectedIndex);
        EXPECT_EQ(rows[i].name, button.layoutName);
        EXPECT_EQ(rows[i].text, button.caption);
        EXPECT_NE(rows[i].onEvent, nullptr);
    }
    EXPECT_EQ(rows.front().name.substr(0, std::string_view("停止播放").size()), "停止播放");
    const auto& inert = rows.back();
    EXPECT_EQ(inert.text, "02");
    EXPECT_EQ(inert.onEvent, nullptr);
    for (const auto& row : rows) {
        EXPECT_EQ(row.kind, rt::ControlKind::PushButton);
        EXPECT_EQ(row.tabStop, rt::TabStop::Yes);
    }
}

TEST_P(SoundPageTest, PlacesButtonsOnTheGridOfThePage) {
    const int page = GetParam();
    const int firstTop = page == 1 ? 27 : page == 3 ? 29 : 28;
    const std::vector<int> rowTops = {firstTop,       firstTop + 33,  firstTop + 65,  firstTop + 97,
                                      firstTop + 129, firstTop + 161, firstTop + 193, firstTop + 225};
    for (const auto& row : RowsOfPage(page)) {
        if (!row.onEvent) continue;
        const sound::SoundButton& button = sound::SoundCatalogue()[static_cast<size_t>(row.tag)];
        EXPECT_EQ(row.left, 8 + 70 * (button.column - 1)) << row.name;
        EXPECT_EQ(row.top, rowTops[static_cast<size_t>(button.row - 1)]) << row.name;
        EXPECT_EQ(std::tie(row.width, row.height), std::make_tuple(70, 35)) << row.name;
    }
    const auto& inert = RowsOfPage(page).back();
    EXPECT_EQ(RectOf(inert).left, 65);
    EXPECT_EQ(RectOf(inert).top, firstTop + 71);
    EXPECT_EQ(std::tie(inert.width, inert.height), std::make_tuple(65, 32));
}

TEST_P(SoundPageTest, CoversTheInertButtonEntirelySoNoClickReachesIt) {
    const auto rows = RowsOfPage(GetParam());
    const Rect inert = RectOf(rows.back());
    for (int y = inert.top; y < inert.bottom; ++y) {
        for (int x = inert.left; x < inert.right; ++x) {
            const auto* hit = RowHit(rows, x, y);
            ASSERT_NE(hit, nullptr);
            ASSERT_NE(hit->onEvent, nullptr) << "inert button reachable at " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPage, SoundPageTest, testing::Range(1, 6));

TEST(SoundBoardTest, OverlappingRowsShowTheLowerRowsButtonOnTop) {
    const auto rows = RowsOfPage(1);
    // (70, 100) on page 1 lies on the inert button and on "搞笑1" (row 3); the click reaches "搞笑1".
    EXPECT_EQ(RowHit(rows, 70, 100)->text, "搞笑1");
    // Rows 1 and 2 overlap at y 60 and 61: the row-2 button covers the bottom edge of row 1.
    EXPECT_EQ(RowHit(rows, 10, 61)->text, "鄙视声");
    EXPECT_EQ(RowHit(rows, 10, 59)->text, "DJ搓碟");
}

TEST(SoundBoardTest, MainWindowControlNamesStayUnique) {
    std::set<std::string_view> names;
    for (const auto& row : app::MainWindowLayout().controls) {
        EXPECT_TRUE(names.insert(row.name).second) << row.name;
    }
    EXPECT_EQ(names.size(), 6u + 200u + 5u);
}

}  // namespace
