// Shows the look-alike window in each skin and saves it: skin_host <folder> writes
// <folder>\\skin-00.bmp (no skin) to skin-33.bmp, for the contact sheet.
#include <windows.h>

#include <string>

#include "skin_engine/win32/host/look_alike_window.h"
#include "skins/skin_package_table.h"

int wmain(int argc, wchar_t** argv) {
    using namespace skin_engine::host;
    if (argc != 2) return 2;
    const AttachRes attach = LoadSkinEngine();
    if (!attach) return 3;
    LookAlikeWindow window = CreateLookAlikeWindow();
    SetWindowTextW(window.skinLabel, L"12");
    SetForegroundWindow(window.frame);
    SetFocus(window.pageButtons[6]);
    for (int n = 0; n <= skins::kSkinCount; ++n) {
        ApplySkinNumber(attach, n);
        SetWindowTextW(window.skinLabel, std::to_wstring(n).c_str());
        RedrawWindow(window.frame, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        wchar_t name[32];
        wsprintfW(name, L"\\skin-%02d.bmp", n);
        if (!WriteBitmapFile(CaptureWindow(window.frame), (std::wstring(argv[1]) + name).c_str())) return 4;
    }
    DestroyWindow(window.frame);
    return 0;
}
