#include "sound/sound_catalogue.h"

#include <cstddef>

namespace sound {
namespace {

// Captions in grid order, one line per row. Page 4, row 4, column 3 really ends in a blank.
// clang-format off
constexpr std::array<std::string_view, kSoundButtonCount> kCaptions = {
    // Page 1, "主持人专用".
    "DJ搓碟", "Ready go", "斗地主胜利", "乌鸦飞过", "尖叫声",
    "鄙视声", "心跳声", "风趣1", "风趣2", "风趣3",
    "搞笑1", "搞笑2", "搞笑3", "搞笑4", "搞笑5",
    "搞笑6", "搞笑7", "八戒背媳妇", "鸡叫进行曲", "欢呼掌声",
    "贱笑", "多人笑声", "Dorvik笑声", "邪恶笑声", "激烈掌声",
    "暴笑声", "大雨", "放屁声", "枪声枪战", "轻微掌声",
    "紧张气氛", "玛丽过关", "魔幻气氛", "气势片头", "做人厚道点",
    "非诚勿扰灯", "非诚勿扰男", "非诚勿扰女", "群众笑声", "停止播放",
    // Page 2, "MC喊麦专用".
    "DJ搓碟", "Ready go", "110 热线", "精神病热线", "鸡叫进行曲",
    "女骚麦", "女人呻吟", "女人吻麦", "女孩哭声", "八戒背媳妇",
    "男人咳嗽", "男人笑声", "男人吻麦", "男孩哭声", "直升飞机",
    "娃娃搞笑", "小孩笑声", "小男孩哭声", "小女孩哭声", "新闻联播",
    "AK47开枪", "战争枪声", "汽车鸣笛", "汽发动车", "汽车漂移",
    "风趣1", "风趣2", "风趣3", "搞笑1", "搞笑2",
    "搞笑3", "搞笑4", "搞笑5", "搞笑6", "搞笑7",
    "非诚勿扰灯", "非诚勿扰男", "非诚勿扰女", "群众笑声", "停止播放",
    // Page 3, "搞笑类效果".
    "110 热线", "Windows", "八戒背媳妇", "催缴电话费", "动感片头",
    "搞笑铃声", "狗叫音效", "河畔舞曲", "蝴蝶泉边", "欢快音效",
    "鸡叫进行曲", "精神病热线", "卡通声音", "酷节奏音效", "狂舞音效",
    "玛丽过关", "前奏音效", "热舞音效", "伤感音乐", "圣诞节音效",
    "搞笑忐忑", "娃娃搞笑", "望春风", "小孩对骂", "Halsten搞笑",
    "风趣1", "风趣2", "风趣3", "搞笑1", "搞笑2",
    "搞笑3", "搞笑4", "搞笑5", "搞笑6", "搞笑7",
    "重低音类", "Dorvik搞笑", "Dorvik笑声", "做人厚道点", "停止播放",
    // Page 4, "人物类效果".
    "暴笑声", "鄙视声", "多人笑声", "放屁声", "欢呼掌声",
    "激烈掌声", "尖叫声", "贱笑", "群众笑声", "邪恶笑声",
    "心跳声", "男孩哭声", "男人吻麦", "男人笑声", "男人咳嗽",
    "不爽声", "女孩哭声", "女人吻麦 ", "女人呻吟", "女麦骚",
    "小孩笑声", "小男孩哭声", "小女孩哭声", "婴儿哭声", "婴儿笑声",
    "鞭打男人", "打饱嗝", "打呼噜", "暴力打人", "打人拳声",
    "鬼火声", "哈欠声", "男鬼叫声", "女鬼叫声", "娃娃搞笑",
    "羡慕声", "英文正数", "做人厚道点", "Dorvik笑声", "停止播放",
    // Page 5, "生活类效果".
    "精神病热线", "110 热线", "汽车鸣笛", "汽车漂移", "汽发动车",
    "战争枪声", "直升飞机", "刹车", "冲锋号", "冲马桶",
    "打架现场", "打雷", "打喷嚏", "刀剑出鞘", "倒硬币",
    "到水", "赌神出场", "给枪上膛", "狗叫", "鼓声",
    "猴子请救兵", "火车鸣笛", "火灾报警", "货车鸣笛", "机枪扫射",
    "敲键盘", "敲门", "敲钟声", "敲锣声", "手枪声音",
    "砸玻璃声", "阻击枪声", "摩托车", "枪声激战", "群斗剑击",
    "警车", "救护车", "开枪", "狼叫", "停止播放",
};
// clang-format on

struct Cell {
    int page, row, column;
};

// Buttons whose clip is not simply their caption followed by ".mp3".
struct FileNameException {
    Cell cell;
    std::string_view fileName;
};

constexpr FileNameException kFileNameExceptions[] = {
    {{1, 1, 2}, "Readygo.mp3"}, {{2, 1, 2}, "Readygo.mp3"}, {{2, 1, 3}, "110热线.mp3"}, {{3, 1, 1}, "110热线.mp3"},
    {{5, 1, 2}, "110热线.mp3"}, {{2, 2, 1}, "女麦骚.mp3"},  {{2, 2, 3}, "女麦.mp3"},    {{4, 4, 3}, "女麦.mp3"},
    {{2, 3, 3}, "男麦.mp3"},    {{4, 3, 3}, "男麦.mp3"},    {{4, 6, 4}, "打人.mp3"},
};

// Layout names that other parts of the program or its users know; the rest are generated.
struct NamedCell {
    Cell cell;
    std::string_view layoutName;
};

constexpr NamedCell kKnownLayoutNames[] = {
    {{1, 8, 5}, "停止播放"},  {{2, 8, 5}, "停止播放1"}, {{3, 8, 5}, "停止播放2"},
    {{4, 8, 5}, "停止播放3"}, {{5, 8, 5}, "停止播放4"}, {{3, 7, 4}, "搞笑63"},
};

constexpr std::string_view kStopCaption = "停止播放";
constexpr int kStopRow = 8;
constexpr int kStopColumn = 5;

// Row 1's top differs per page; row 2 lies 33 pixels lower, every later row 32.
constexpr std::array<int, kPageCount> kFirstRowTop = {27, 28, 29, 28, 28};
constexpr int kSecondRowStep = 33;
constexpr int kLaterRowStep = 32;

constexpr std::array<InertButton, kPageCount> kInertButtons = {{
    {"按钮69", 65, 27 + 71, 65, 32},
    {"按钮82", 65, 28 + 71, 65, 32},
    {"按钮123", 65, 29 + 71, 65, 32},
    {"按钮164", 65, 28 + 71, 65, 32},
    {"按钮205", 65, 28 + 71, 65, 32},
}};

bool SameCell(const Cell& a, int page, int row, int column) {
    return a.page == page && a.row == row && a.column == column;
}

std::string FileNameOf(int page, int row, int column, std::string_view caption) {
    for (const auto& exception : kFileNameExceptions) {
        if (SameCell(exception.cell, page, row, column)) return std::string(exception.fileName);
    }
    return std::string(caption) + ".mp3";
}

std::string LayoutNameOf(int page, int row, int column) {
    for (const auto& known : kKnownLayoutNames) {
        if (SameCell(known.cell, page, row, column)) return std::string(known.layoutName);
    }
    return "音效按钮" + std::to_string(page) + "-" + std::to_string(row) + "-" + std::to_string(column);
}

SoundButton MakeButton(int index) {
    const int page = index / kButtonsPerPage + 1;
    const int row = index % kButtonsPerPage / kColumnCount + 1;
    const int column = index % kColumnCount + 1;
    const std::string_view caption = kCaptions[static_cast<size_t>(index)];
    SoundButton button{page, row, column, caption, ButtonAction::Play, {}, {}, LayoutNameOf(page, row, column)};
    if (row == kStopRow && column == kStopColumn && caption == kStopCaption) {
        button.action = ButtonAction::Stop;
    } else {
        button.fileName = FileNameOf(page, row, column, caption);
        button.path = std::string(SoundFolder) + button.fileName;
    }
    return button;
}

}  // namespace

const std::vector<SoundButton>& SoundCatalogue() {
    static const std::vector<SoundButton> catalogue = [] {
        std::vector<SoundButton> buttons;
        buttons.reserve(kSoundButtonCount);
        for (int index = 0; index < kSoundButtonCount; ++index) buttons.push_back(MakeButton(index));
        return buttons;
    }();
    return catalogue;
}

const SoundButton& SoundButtonAt(int page, int row, int column) {
    const int index = (page - 1) * kButtonsPerPage + (row - 1) * kColumnCount + (column - 1);
    return SoundCatalogue().at(static_cast<size_t>(index));
}

const InertButton& InertButtonOfPage(int page) { return kInertButtons.at(static_cast<size_t>(page - 1)); }

int ColumnLeft(int column) { return 8 + kButtonWidth * (column - 1); }

int RowTop(int page, int row) {
    const int firstTop = kFirstRowTop.at(static_cast<size_t>(page - 1));
    return row == 1 ? firstTop : firstTop + kSecondRowStep + kLaterRowStep * (row - 2);
}

}  // namespace sound
