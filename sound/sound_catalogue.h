#pragma once
// The fixed catalogue of the sound pages: five pages of eight rows by five columns. Each
// button plays one clip from the sound folder, stops playback, or (one inert button per page,
// hidden under its neighbours) does nothing.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace sound {

constexpr int kPageCount = 5;
constexpr int kRowCount = 8;
constexpr int kColumnCount = 5;
constexpr int kButtonsPerPage = kRowCount * kColumnCount;
constexpr int kSoundButtonCount = kPageCount * kButtonsPerPage;

// The folder the clips are installed in beforehand; the program never creates or lists it.
constexpr std::string_view SoundFolder = "C:\\Windows\\yxwj\\";

enum class ButtonAction { Play, Stop };

struct SoundButton {
    int page;    // 1..5, in the order of the tabs
    int row;     // 1..8, top to bottom
    int column;  // 1..5, left to right
    std::string_view caption;
    ButtonAction action;
    std::string fileName;    // the clip in SoundFolder; empty for a stop button
    std::string path;        // SoundFolder + fileName; empty for a stop button
    std::string layoutName;  // unique control name in the main window
};

// Every button of every page in grid order: page by page, row by row, left to right.
const std::vector<SoundButton>& SoundCatalogue();

// The entry at (page, row, column); all three count from 1.
const SoundButton& SoundButtonAt(int page, int row, int column);

// The inert "02" button of one page: a plain push button with no action, lying at the bottom
// of its page where four sound buttons cover it.
struct InertButton {
    std::string_view layoutName;
    int left, top, width, height;  // in the tab control's coordinates
};
const InertButton& InertButtonOfPage(int page);
constexpr std::string_view kInertCaption = "02";

// Geometry of a sound button in the tab control's coordinates.
constexpr int kButtonWidth = 70;
constexpr int kButtonHeight = 35;
int ColumnLeft(int column);
int RowTop(int page, int row);

}  // namespace sound
