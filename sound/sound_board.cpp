#include "sound/sound_board.h"

#include "runtime/controls.h"
#include "sound/master_volume.h"
#include "sound/playback_service.h"
#include "sound/sound_catalogue.h"

namespace sound {
namespace {

constexpr std::string_view kVolumeSlider = "滑块条1";

// The tag of a sound button's row is its index in the catalogue.
void OnSoundButtonClicked(int catalogueIndex) {
    const SoundButton& button = SoundCatalogue().at(static_cast<size_t>(catalogueIndex));
    if (button.action == ButtonAction::Stop) {
        StopSound();
    } else {
        PlaySoundFile(button.path);
    }
}

rt::ControlLayout SoundButtonRow(int catalogueIndex) {
    const SoundButton& button = SoundCatalogue()[static_cast<size_t>(catalogueIndex)];
    return {.name = button.layoutName,
            .kind = rt::ControlKind::PushButton,
            .left = ColumnLeft(button.column),
            .top = RowTop(button.page, button.row),
            .width = kButtonWidth,
            .height = kButtonHeight,
            .text = button.caption,
            .tabStop = rt::TabStop::Yes,
            .page = button.page,
            .onEvent = OnSoundButtonClicked,
            .tag = catalogueIndex};
}

// Inert buttons have no handler.
rt::ControlLayout InertButtonRow(int page) {
    const InertButton& inert = InertButtonOfPage(page);
    return {.name = inert.layoutName,
            .kind = rt::ControlKind::PushButton,
            .left = inert.left,
            .top = inert.top,
            .width = inert.width,
            .height = inert.height,
            .text = kInertCaption,
            .tabStop = rt::TabStop::Yes,
            .page = page};
}

}  // namespace

// Per page, from the top of the stacking order down: the stop button, the other buttons in
// reverse grid order, the inert button. Overlapping rows thus show the lower row's button on top.
std::vector<rt::ControlLayout> SoundButtonLayouts() {
    std::vector<rt::ControlLayout> rows;
    rows.reserve(kSoundButtonCount + kPageCount);
    for (int page = 1; page <= kPageCount; ++page) {
        const int firstIndex = (page - 1) * kButtonsPerPage;
        for (int index = firstIndex + kButtonsPerPage - 1; index >= firstIndex; --index) {
            rows.push_back(SoundButtonRow(index));
        }
        rows.push_back(InertButtonRow(page));
    }
    return rows;
}

void OnVolumeSliderMoved() {
    const int32_t position = rt::SliderPosition(kVolumeSlider);
    SetMasterVolume(position, position);
}

}  // namespace sound
