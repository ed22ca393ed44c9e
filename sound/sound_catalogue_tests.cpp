#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "sound/sound_catalogue.h"

namespace {

using sound::ButtonAction;
using sound::SoundButton;
using sound::SoundButtonAt;
using sound::SoundCatalogue;

// Every clip the sound folder must hold, in order of first use (page 1 row by row, then page 2...).
const std::vector<std::string> kClipsInOrderOfFirstUse = {
    "DJ搓碟.mp3",      "Readygo.mp3",    "斗地主胜利.mp3", "乌鸦飞过.mp3",   "尖叫声.mp3",     "鄙视声.mp3",
    "心跳声.mp3",      "风趣1.mp3",      "风趣2.mp3",      "风趣3.mp3",      "搞笑1.mp3",      "搞笑2.mp3",
    "搞笑3.mp3",       "搞笑4.mp3",      "搞笑5.mp3",      "搞笑6.mp3",      "搞笑7.mp3",      "八戒背媳妇.mp3",
    "鸡叫进行曲.mp3",  "欢呼掌声.mp3",   "贱笑.mp3",       "多人笑声.mp3",   "Dorvik笑声.mp3", "邪恶笑声.mp3",
    "激烈掌声.mp3",    "暴笑声.mp3",     "大雨.mp3",       "放屁声.mp3",     "枪声枪战.mp3",   "轻微掌声.mp3",
    "紧张气氛.mp3",    "玛丽过关.mp3",   "魔幻气氛.mp3",   "气势片头.mp3",   "做人厚道点.mp3", "非诚勿扰灯.mp3",
    "非诚勿扰男.mp3",  "非诚勿扰女.mp3", "群众笑声.mp3",   "110热线.mp3",    "精神病热线.mp3", "女麦骚.mp3",
    "女人呻吟.mp3",    "女麦.mp3",       "女孩哭声.mp3",   "男人咳嗽.mp3",   "男人笑声.mp3",   "男麦.mp3",
    "男孩哭声.mp3",    "直升飞机.mp3",   "娃娃搞笑.mp3",   "小孩笑声.mp3",   "小男孩哭声.mp3", "小女孩哭声.mp3",
    "新闻联播.mp3",    "AK47开枪.mp3",   "战争枪声.mp3",   "汽车鸣笛.mp3",   "汽发动车.mp3",   "汽车漂移.mp3",
    "Windows.mp3",     "催缴电话费.mp3", "动感片头.mp3",   "搞笑铃声.mp3",   "狗叫音效.mp3",   "河畔舞曲.mp3",
    "蝴蝶泉边.mp3",    "欢快音效.mp3",   "卡通声音.mp3",   "酷节奏音效.mp3", "狂舞音效.mp3",   "前奏音效.mp3",
    "热舞音效.mp3",    "伤感音乐.mp3",   "圣诞节音效.mp3", "搞笑忐忑.mp3",   "望春风.mp3",     "小孩对骂.mp3",
    "Halsten搞笑.mp3", "重低音类.mp3",   "Dorvik搞笑.mp3", "不爽声.mp3",     "婴儿哭声.mp3",   "婴儿笑声.mp3",
    "鞭打男人.mp3",    "打饱嗝.mp3",     "打呼噜.mp3",     "打人.mp3",       "打人拳声.mp3",   "鬼火声.mp3",
    "哈欠声.mp3",      "男鬼叫声.mp3",   "女鬼叫声.mp3",   "羡慕声.mp3",     "英文正数.mp3",   "刹车.mp3",
    "冲锋号.mp3",      "冲马桶.mp3",     "打架现场.mp3",   "打雷.mp3",       "打喷嚏.mp3",     "刀剑出鞘.mp3",
    "倒硬币.mp3",      "到水.mp3",       "赌神出场.mp3",   "给枪上膛.mp3",   "狗叫.mp3",       "鼓声.mp3",
    "猴子请救兵.mp3",  "火车鸣笛.mp3",   "火灾报警.mp3",   "货车鸣笛.mp3",   "机枪扫射.mp3",   "敲键盘.mp3",
    "敲门.mp3",        "敲钟声.mp3",     "敲锣声.mp3",     "手枪声音.mp3",   "砸玻璃声.mp3",   "阻击枪声.mp3",
    "摩托车.mp3",      "枪声激战.mp3",   "群斗剑击.mp3",   "警车.mp3",       "救护车.mp3",     "开枪.mp3",
    "狼叫.mp3",
};

TEST(SoundCatalogueTest, HoldsEveryCellOfEveryPageInGridOrder) {
    const auto& catalogue = SoundCatalogue();
    ASSERT_EQ(catalogue.size(), 200u);
    size_t index = 0;
    for (int page = 1; page <= 5; ++page) {
        for (int row = 1; row <= 8; ++row) {
            for (int column = 1; column <= 5; ++column, ++index) {
                const SoundButton& button = catalogue[index];
                EXPECT_EQ(std::tie(button.page, button.row, button.column), std::tie(page, row, column)) << index;
            }
        }
    }
}

TEST(SoundCatalogueTest, StopsOnlyAtTheBottomRightOfEachPageAndPlaysEverywhereElse) {
    int playing = 0;
    for (const SoundButton& button : SoundCatalogue()) {
        const bool bottomRight = button.row == 8 && button.column == 5;
        if (bottomRight) {
            EXPECT_EQ(button.action, ButtonAction::Stop) << button.page;
            EXPECT_EQ(button.caption, "停止播放");
            EXPECT_TRUE(button.path.empty());
        } else {
            EXPECT_EQ(button.action, ButtonAction::Play) << button.layoutName;
            EXPECT_EQ(button.path, "C:\\Windows\\yxwj\\" + button.fileName);
            ++playing;
        }
    }
    // 194 listed clips plus page 3's "搞笑6", which plays its namesakes' clip.
    EXPECT_EQ(playing, 195);
}

TEST(SoundCatalogueTest, UsesExactlyTheListedClipsInOrderOfFirstUse) {
    std::vector<std::string> firstUse;
    for (const SoundButton& button : SoundCatalogue()) {
        if (button.action != ButtonAction::Play) continue;
        if (std::find(firstUse.begin(), firstUse.end(), button.fileName) == firstUse.end()) {
            firstUse.push_back(button.fileName);
        }
    }
    EXPECT_EQ(firstUse, kClipsInOrderOfFirstUse);
}

TEST(SoundCatalogueTest, SharesClipsBetweenButtonsAsListed) {
    std::map<std::string, int> buttonsPerClip;
    for (const SoundButton& button : SoundCatalogue()) {
        if (button.action == ButtonAction::Play) ++buttonsPerClip[button.fileName];
    }
    std::map<int, int> clipsByShare;
    for (const auto& [clip, buttons] : buttonsPerClip) ++clipsByShare[buttons];
    // 17 clips from three buttons and 33 from two, with "搞笑6.mp3" moved up by page 3's button.
    EXPECT_EQ(clipsByShare, (std::map<int, int>{{1, 77}, {2, 32}, {3, 18}}));
    EXPECT_EQ(buttonsPerClip["搞笑6.mp3"], 3);
}

struct ClipCase {
    int page, row, column;
    std::string caption;
    std::string path;
};

class ButtonClipTest : public testing::TestWithParam<ClipCase> {};

TEST_P(ButtonClipTest, PlaysTheClipNamedForItsCell) {
    const ClipCase& expected = GetParam();
    const SoundButton& button = SoundButtonAt(expected.page, expected.row, expected.column);
    EXPECT_EQ(button.caption, expected.caption);
    EXPECT_EQ(button.action, ButtonAction::Play);
    EXPECT_EQ(button.path, expected.path);
}

INSTANTIATE_TEST_SUITE_P(ExceptionsAndOrdinaryNames, ButtonClipTest,
                         testing::Values(ClipCase{1, 1, 1, "DJ搓碟", "C:\\Windows\\yxwj\\DJ搓碟.mp3"},
                                         ClipCase{1, 1, 2, "Ready go", "C:\\Windows\\yxwj\\Readygo.mp3"},
                                         ClipCase{2, 1, 2, "Ready go", "C:\\Windows\\yxwj\\Readygo.mp3"},
                                         ClipCase{2, 1, 3, "110 热线", "C:\\Windows\\yxwj\\110热线.mp3"},
                                         ClipCase{3, 1, 1, "110 热线", "C:\\Windows\\yxwj\\110热线.mp3"},
                                         ClipCase{5, 1, 2, "110 热线", "C:\\Windows\\yxwj\\110热线.mp3"},
                                         ClipCase{2, 2, 1, "女骚麦", "C:\\Windows\\yxwj\\女麦骚.mp3"},
                                         ClipCase{4, 4, 5, "女麦骚", "C:\\Windows\\yxwj\\女麦骚.mp3"},
                                         ClipCase{2, 2, 3, "女人吻麦", "C:\\Windows\\yxwj\\女麦.mp3"},
                                         ClipCase{4, 4, 3, "女人吻麦 ", "C:\\Windows\\yxwj\\女麦.mp3"},
                                         ClipCase{2, 3, 3, "男人吻麦", "C:\\Windows\\yxwj\\男麦.mp3"},
                                         ClipCase{4, 3, 3, "男人吻麦", "C:\\Windows\\yxwj\\男麦.mp3"},
                                         ClipCase{4, 6, 4, "暴力打人", "C:\\Windows\\yxwj\\打人.mp3"},
                                         ClipCase{3, 7, 4, "搞笑6", "C:\\Windows\\yxwj\\搞笑6.mp3"},
                                         ClipCase{5, 8, 4, "狼叫", "C:\\Windows\\yxwj\\狼叫.mp3"}));

TEST(SoundCatalogueTest, OnlyOneCaptionHasABlankAtAnEnd) {
    std::vector<std::string_view> padded;
    for (const SoundButton& button : SoundCatalogue()) {
        if (button.caption.front() == ' ' || button.caption.back() == ' ') padded.push_back(button.caption);
    }
    EXPECT_EQ(padded, (std::vector<std::string_view>{"女人吻麦 "}));
}

TEST(SoundCatalogueTest, GivesEveryButtonItsOwnLayoutNameAndKeepsTheKnownOnes) {
    std::set<std::string> names;
    for (const SoundButton& button : SoundCatalogue()) names.insert(button.layoutName);
    EXPECT_EQ(names.size(), 200u);
    const std::vector<std::string> stopNames = {"停止播放", "停止播放1", "停止播放2", "停止播放3", "停止播放4"};
    for (int page = 1; page <= 5; ++page) {
        EXPECT_EQ(SoundButtonAt(page, 8, 5).layoutName, stopNames[static_cast<size_t>(page - 1)]);
    }
    EXPECT_EQ(SoundButtonAt(3, 7, 4).layoutName, "搞笑63");
}

}  // namespace
