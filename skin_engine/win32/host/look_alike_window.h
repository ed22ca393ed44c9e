#pragma once
// A window built like the program's main window, with every kind of control the engine skins,
// for the engine's tests, its benchmark and the contact sheet. Test code only.

#include <windows.h>

#include <cstdint>
#include <vector>

namespace skin_engine::host {

struct LookAlikeWindow {
    HWND frame = nullptr;
    HWND volumeLabel = nullptr;
    HWND slider = nullptr;
    HWND previousSkin = nullptr;
    HWND skinLabel = nullptr;
    HWND nextSkin = nullptr;
    HWND tabs = nullptr;
    std::vector<HWND> pageButtons;  // the first page's forty, then its stop button
    HWND disabledButton = nullptr;
};

// Creates and shows the window (374 x 363, at 40, 40).
LookAlikeWindow CreateLookAlikeWindow();

using AttachRes = int(__stdcall*)(const unsigned char* package, int length, const char* password, int, int, int);

// SkinH_EL.dll from the executable's folder, loaded once.
AttachRes LoadSkinEngine();

// Applies skin n (1 to 33) from the program's package table, or none for any other n.
int ApplySkinNumber(AttachRes attach, int n);

// The whole window as it shows on screen, frame included, as 0x00RRGGBB pixels.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Capture CaptureWindow(HWND window);
bool WriteBitmapFile(const Capture& capture, const wchar_t* path);

}  // namespace skin_engine::host
