#include "app/main_window_layout.h"

#include "app/startup.h"
#include "skins/skin_switcher.h"
#include "sound/sound_board.h"

namespace app {
namespace {

using rt::ControlKind;
using rt::TabStop;

const rt::SliderRange kVolumeRange = {.minimum = 1, .maximum = 100, .position = 100, .lineStep = 1, .pageStep = 5};

std::vector<rt::ControlLayout> TopRowAndTabs() {
    return {
        {"标签1", ControlKind::Label, 10, 8, 32, 16, "音量："},
        {"滑块条1", ControlKind::Slider, 48, 10, 136, 16, "", TabStop::Yes, 0,
         [](int) { sound::OnVolumeSliderMoved(); }, 0, kVolumeRange},
        {"上一页", ControlKind::PushButton, 194, 6, 50, 20, "《界面", TabStop::Yes, 0,
         [](int) { skins::OnPreviousSkin(); }},
        {"透明标签1", ControlKind::TransparentLabel, 245, 1, 24, 31, ""},
        {"下一页", ControlKind::PushButton, 271, 6, 50, 20, "切换》", TabStop::Yes, 0,
         [](int) { skins::OnNextSkin(); }},
        {"选择夹1", ControlKind::TabControl, 0, 32, 368, 296, ""},
    };
}

rt::WindowLayout BuildMainWindowLayout() {
    rt::WindowLayout layout{
        .caption = "Orvane辅助音效",
        .width = 374,
        .height = 363,
        .pageTitles = {"主持人专用", "MC喊麦专用", "搞笑类效果", "人物类效果", "生活类效果"},
        .controls = TopRowAndTabs(),
        .onCreated = OnMainWindowCreated,
    };
    for (auto& button : sound::SoundButtonLayouts()) layout.controls.push_back(button);
    return layout;
}

}  // namespace

const rt::WindowLayout& MainWindowLayout() {
    static const rt::WindowLayout layout = BuildMainWindowLayout();
    return layout;
}

}  // namespace app
