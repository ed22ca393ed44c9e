#pragma once
// Declarative window layouts: one row per control. The run time walks these tables to build
// windows; no program code creates a window itself.

#include <cstdint>
#include <string_view>
#include <vector>

namespace rt {

enum class ControlKind {
    Label,             // static text, left-aligned, vertically centred on one line
    Slider,            // horizontal track bar with ticks below
    PushButton,        // multi-line, centred caption
    TransparentLabel,  // paints only its bold text over what lies beneath
    TabControl,        // one row of tabs along the top; pages hold the controls with page > 0
};

enum class TabStop { No, Yes };

// Called with the row's tag: a click for buttons, a position change for sliders.
using ControlHandler = void (*)(int tag);

struct SliderRange {
    int minimum = 0;
    int maximum = 100;
    int position = 0;
    int lineStep = 1;
    int pageStep = 5;
};

struct ControlLayout {
    std::string_view name;  // UTF-8, unique in the window; the program addresses controls by it
    ControlKind kind;
    int left, top, width, height;
    std::string_view text;  // UTF-8 caption at creation
    TabStop tabStop = TabStop::No;
    // 0: a child of the window. 1..n: a child of the window's tab control, shown on page n.
    int page = 0;
    ControlHandler onEvent = nullptr;
    int tag = 0;
    SliderRange slider = {};
};

struct WindowLayout {
    std::string_view caption;  // UTF-8
    int width, height;         // outer size
    std::vector<std::string_view> pageTitles;  // titles of the tab control's pages, in order
    // Children in stacking order within each parent: earlier rows lie above later ones.
    std::vector<ControlLayout> controls;
    void (*onCreated)() = nullptr;
};

}  // namespace rt
