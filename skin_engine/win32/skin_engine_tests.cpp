// The engine as the program uses it: loaded from SkinH_EL.dll and applied to a window built like
// the main window. Colours are read back from the screen after a full repaint.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "skin_engine/skin_package.h"
#include "skin_engine/win32/host/look_alike_window.h"
#include "skins/skin_package_table.h"

namespace skin_engine {
namespace {

using host::Capture;

SkinLook LookOf(int n) {
    const auto& package = skins::SkinPackageTable[static_cast<size_t>(n - 1)];
    return *UnpackSkin({package.data, package.length});
}

Rgb PixelColour(uint32_t pixel) {
    return {static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8), static_cast<uint8_t>(pixel)};
}

// How far a pixel lies from the run of colours a gradient from `from` to `to` passes through.
double DistanceToGradient(uint32_t pixel, Rgb from, Rgb to) {
    const Rgb p = PixelColour(pixel);
    double best = 1e9;
    for (int i = 0; i <= 64; ++i) {
        const Rgb c = Mix(from, to, i / 64.0);
        best = std::min(best, std::sqrt(std::pow(p.red - c.red, 2) + std::pow(p.green - c.green, 2) +
                                        std::pow(p.blue - c.blue, 2)));
    }
    return best;
}

class SkinEngine : public ::testing::Test {
protected:
    void SetUp() override {
        attach_ = host::LoadSkinEngine();
        ASSERT_NE(attach_, nullptr) << "SkinH_EL.dll beside the test";
        window_ = host::CreateLookAlikeWindow();
        SetForegroundWindow(window_.frame);
        SetFocus(window_.frame);
    }
    void TearDown() override {
        if (attach_) attach_(nullptr, 0, "", 0, 0, 0);
        DestroyWindow(window_.frame);
    }

    Capture Shot() {
        RedrawWindow(window_.frame, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        return host::CaptureWindow(window_.frame);
    }

    // A point of a child window, in the frame's window coordinates.
    POINT InFrame(HWND child, int x, int y) {
        POINT point{x, y};
        ClientToScreen(child, &point);
        RECT outer;
        GetWindowRect(window_.frame, &outer);
        return {point.x - outer.left, point.y - outer.top};
    }

    uint32_t PixelOf(const Capture& shot, HWND child, int x, int y) {
        const POINT p = InFrame(child, x, y);
        return shot.at(p.x, p.y);
    }

    host::AttachRes attach_ = nullptr;
    host::LookAlikeWindow window_;
};

// Where each part is sampled (a point of a window, in its client coordinates), and the colours
// the skin gives it there.
struct Probe {
    const char* part;
    HWND window;
    POINT point;
    ColourRole from;
    ColourRole to;
};

TEST_F(SkinEngine, PaintsEveryKindOfControlInTheSkinsColours) {
    RECT channel{};
    SendMessageW(window_.slider, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    RECT thumb{};
    SendMessageW(window_.slider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    for (int n : {1, 7, 17, 26, 33}) {
        ASSERT_EQ(host::ApplySkinNumber(attach_, n), 0) << "skin " << n;
        const SkinLook look = LookOf(n);
        const Capture shot = Shot();
        const bool active = GetActiveWindow() == window_.frame;
        const Probe probes[] = {
            {"caption",
             window_.frame,
             {230, -4},
             active ? ColourRole::CaptionActiveLeft : ColourRole::CaptionInactiveLeft,
             active ? ColourRole::CaptionActiveRight : ColourRole::CaptionInactiveRight},
            {"window background", window_.frame, {4, 28}, ColourRole::WindowTop, ColourRole::WindowBottom},
            {"button face",
             window_.pageButtons[12],
             {4, 13},
             ColourRole::ButtonNormalTop,
             ColourRole::ButtonNormalBottom},
            {"disabled button",
             window_.disabledButton,
             {4, 12},
             ColourRole::ButtonDisabledTop,
             ColourRole::ButtonDisabledBottom},
            {"tab strip", window_.tabs, {364, 6}, ColourRole::TabStrip, ColourRole::TabStrip},
            {"tab body", window_.tabs, {180, 290}, ColourRole::TabBody, ColourRole::TabBody},
            {"slider channel",
             window_.slider,
             {channel.left + 6, (thumb.top + thumb.bottom) / 2},
             ColourRole::TrackChannel,
             ColourRole::TrackChannel},
        };
        for (const Probe& probe : probes) {
            const uint32_t pixel = PixelOf(shot, probe.window, probe.point.x, probe.point.y);
            EXPECT_LE(DistanceToGradient(pixel, look.colour(probe.from), look.colour(probe.to)), 6.0)
                << "skin " << n << ", " << probe.part << ": pixel " << std::hex << pixel;
        }
    }
}

TEST_F(SkinEngine, TheSkinLabelTakesTheSkinsTextColour) {
    SetWindowTextW(window_.skinLabel, L"88");
    for (int n : {16, 3}) {
        ASSERT_EQ(host::ApplySkinNumber(attach_, n), 0);
        const Rgb text = LookOf(n).colour(ColourRole::LabelText);
        const Capture shot = Shot();
        int matching = 0;
        for (int y = 4; y < 28; ++y) {
            for (int x = 2; x < 22; ++x)
                matching += DistanceToGradient(PixelOf(shot, window_.skinLabel, x, y), text, text) < 8;
        }
        EXPECT_GT(matching, 20) << "skin " << n;
    }
}

TEST_F(SkinEngine, NoPackageGivesThePlainLookBack) {
    const Capture plain = Shot();
    ASSERT_EQ(host::ApplySkinNumber(attach_, 17), 0);
    const Capture skinned = Shot();
    const POINT body = InFrame(window_.tabs, 180, 290);
    ASSERT_NE(skinned.at(body.x, body.y), plain.at(body.x, body.y));

    EXPECT_EQ(attach_(nullptr, 0, "", 0, 0, 0), 0);
    const Capture back = Shot();
    EXPECT_EQ(GetWindowLongPtrW(window_.pageButtons[0], GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    const POINT points[] = {InFrame(window_.frame, 4, 28), body, InFrame(window_.pageButtons[12], 4, 13),
                            InFrame(window_.frame, 200, -5)};
    for (const POINT& p : points) EXPECT_EQ(back.at(p.x, p.y), plain.at(p.x, p.y)) << p.x << "," << p.y;
    EXPECT_EQ(attach_(reinterpret_cast<const unsigned char*>("x"), 0, "", 0, 0, 0), 0) << "an empty package";
}

TEST_F(SkinEngine, RejectsBadPackagesAndKeepsTheCurrentSkin) {
    ASSERT_EQ(host::ApplySkinNumber(attach_, 9), 0);
    const Capture before = Shot();
    const auto& good = skins::SkinPackageTable[20];
    std::vector<unsigned char> huge(good.data, good.data + good.length);
    huge[12] = 0xFF, huge[13] = 0xFF;  // record count
    std::vector<unsigned char> wrongMagic(good.data, good.data + good.length);
    wrongMagic[0] = 'X';
    std::vector<unsigned char> noise(5000);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<unsigned char>(i * 7919 >> 3);
    std::copy(std::begin(kPackageMagic), std::end(kPackageMagic), noise.begin());
    struct Bad {
        const char* what;
        const unsigned char* data;
        int length;
    };
    const Bad bad[] = {
        {"wrong magic", wrongMagic.data(), static_cast<int>(wrongMagic.size())},
        {"truncated", good.data, static_cast<int>(good.length) - 1},
        {"magic alone", good.data, 6},
        {"huge record count", huge.data(), static_cast<int>(huge.size())},
        {"noise after the magic", noise.data(), static_cast<int>(noise.size())},
        {"negative length", good.data, -5},
    };
    for (const Bad& b : bad) {
        if (b.length < 0) {
            EXPECT_EQ(attach_(b.data, b.length, "", 0, 0, 0), 0) << b.what << " counts as no package";
            ASSERT_EQ(host::ApplySkinNumber(attach_, 9), 0);
            continue;
        }
        EXPECT_NE(attach_(b.data, b.length, "", 0, 0, 0), 0) << b.what;
        const Capture after = Shot();
        EXPECT_EQ(after.pixels, before.pixels) << b.what;
    }
}

TEST_F(SkinEngine, SkinsWindowsCreatedLaterAndForgetsDestroyedOnes) {
    ASSERT_EQ(host::ApplySkinNumber(attach_, 5), 0);
    HWND late = CreateWindowExW(0, L"BUTTON", L"新", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 100, 266, 66, 24,
                                window_.tabs, nullptr, GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(late, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    const SkinLook look = LookOf(5);
    const Capture shot = Shot();
    EXPECT_LE(DistanceToGradient(PixelOf(shot, late, 4, 12), look.colour(ColourRole::ButtonNormalTop),
                                 look.colour(ColourRole::ButtonNormalBottom)),
              6.0);
    DestroyWindow(late);
    DestroyWindow(window_.pageButtons[0]);
    // A later skin and the plain look must not touch what is gone.
    EXPECT_EQ(host::ApplySkinNumber(attach_, 6), 0);
    EXPECT_EQ(attach_(nullptr, 0, "", 0, 0, 0), 0);
}

namespace click_count {

int g_clicks = 0;
int g_doubleClicks = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) ++g_clicks;
    if (message == WM_COMMAND && HIWORD(wParam) == BN_DOUBLECLICKED) ++g_doubleClicks;
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace click_count

// A host who clicks the same sound button twice in quick succession restarts the clip: the second
// click must stay a click once the button is skinned (owner-drawn buttons report double clicks).
TEST_F(SkinEngine, QuickSecondClickOnASkinnedButtonIsAClick) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = click_count::CountingProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ClickCountingWindow";
    RegisterClassW(&windowClass);
    HWND frame = CreateWindowExW(0, windowClass.lpszClassName, L"clicks", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                 120, nullptr, nullptr, windowClass.hInstance, nullptr);
    HWND button = CreateWindowExW(0, L"BUTTON", L"搞笑1", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 8, 8, 70, 35, frame,
                                  nullptr, windowClass.hInstance, nullptr);
    ASSERT_EQ(host::ApplySkinNumber(attach_, 5), 0);
    ASSERT_EQ(GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    click_count::g_clicks = click_count::g_doubleClicks = 0;
    const LPARAM inside = MAKELPARAM(10, 10);
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    SendMessageW(button, WM_LBUTTONUP, 0, inside);
    SendMessageW(button, WM_LBUTTONDBLCLK, MK_LBUTTON, inside);
    SendMessageW(button, WM_LBUTTONUP, 0, inside);
    EXPECT_EQ(click_count::g_clicks, 2);
    EXPECT_EQ(click_count::g_doubleClicks, 0);
    DestroyWindow(frame);
}

// Counts the GDI objects the engine holds by standing in for the GDI functions it imports.
// GetGuiResources would do on Windows, but Wine always answers 0 there.
namespace gdi_census {

std::set<HGDIOBJ> g_alive;

template <typename Handle>
Handle Born(Handle handle) {
    if (handle) g_alive.insert(reinterpret_cast<HGDIOBJ>(handle));
    return handle;
}
HDC WINAPI CountedCreateCompatibleDC(HDC dc) { return Born(CreateCompatibleDC(dc)); }
HBITMAP WINAPI CountedCreateCompatibleBitmap(HDC dc, int w, int h) { return Born(CreateCompatibleBitmap(dc, w, h)); }
HFONT WINAPI CountedCreateFontIndirectW(const LOGFONTW* font) { return Born(CreateFontIndirectW(font)); }
HRGN WINAPI CountedCreateRoundRectRgn(int a, int b, int c, int d, int e, int f) {
    return Born(CreateRoundRectRgn(a, b, c, d, e, f));
}
BOOL WINAPI CountedDeleteObject(HGDIOBJ object) {
    g_alive.erase(object);
    return DeleteObject(object);
}
BOOL WINAPI CountedDeleteDC(HDC dc) {
    g_alive.erase(dc);
    return DeleteDC(dc);
}

const std::map<std::string, void*> kStandIns = {
    {"CreateCompatibleDC", reinterpret_cast<void*>(CountedCreateCompatibleDC)},
    {"CreateCompatibleBitmap", reinterpret_cast<void*>(CountedCreateCompatibleBitmap)},
    {"CreateFontIndirectW", reinterpret_cast<void*>(CountedCreateFontIndirectW)},
    {"CreateRoundRectRgn", reinterpret_cast<void*>(CountedCreateRoundRectRgn)},
    {"DeleteObject", reinterpret_cast<void*>(CountedDeleteObject)},
    {"DeleteDC", reinterpret_cast<void*>(CountedDeleteDC)},
};

// Points the engine's imports of the functions above at the stand-ins; returns how many.
int RedirectEngineImports(HMODULE engine) {
    auto* base = reinterpret_cast<BYTE*>(engine);
    const auto* nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    int redirected = 0;
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); library->Name;
         ++library) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + library->Name), "gdi32.dll") != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            auto standIn = kStandIns.find(reinterpret_cast<const char*>(byName->Name));
            if (standIn == kStandIns.end()) continue;
            DWORD protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &protection);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(standIn->second);
            VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), protection, &protection);
            ++redirected;
        }
    }
    return redirected;
}

}  // namespace gdi_census

TEST_F(SkinEngine, HoldsNoMoreGdiObjectsAfterAThousandSkinChanges) {
    ASSERT_EQ(gdi_census::RedirectEngineImports(GetModuleHandleW(L"SkinH_EL.dll")), 6);
    ASSERT_EQ(host::ApplySkinNumber(attach_, 1), 0);
    Shot();
    const size_t held = gdi_census::g_alive.size();
    const DWORD systemCount = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    ASSERT_GT(held, 0u) << "the census sees nothing";
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(host::ApplySkinNumber(attach_, i % 34), 0);  // 0: the plain look
    ASSERT_EQ(host::ApplySkinNumber(attach_, 1), 0);
    Shot();
    EXPECT_EQ(gdi_census::g_alive.size(), held);
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), systemCount + 2);
    attach_(nullptr, 0, "", 0, 0, 0);
    EXPECT_TRUE(gdi_census::g_alive.empty()) << gdi_census::g_alive.size() << " objects kept after the skin went";
}

}  // namespace
}  // namespace skin_engine
