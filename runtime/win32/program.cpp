// Start-up, the message loop, the exit routine and the two ways of ending the program.
#include "runtime/program.h"

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <new>
#include <string>

#include "runtime/files.h"
#include "runtime/win32/main_window.h"
#include "runtime/win32/wide_text.h"

namespace rt {
namespace {

void (*g_programExitRoutine)() = nullptr;
std::atomic<bool> g_exitRoutineRan{false};

void RunExitRoutineOnce() {
    if (g_exitRoutineRan.exchange(true)) return;
    if (g_programExitRoutine) g_programExitRoutine();
}

// Relative names such as "settings.ini" then resolve beside the executable, whatever folder
// the shortcut or the starting process gave us.
void MakeExecutableFolderCurrent() {
    std::wstring folder = win32::WideFromUtf8(ExecutableFolder());
    if (!folder.empty() && folder.back() == L':') folder += L'\\';  // "C:" alone means C:'s current folder
    SetCurrentDirectoryW(folder.c_str());
}

int RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int RunProgram(const ProgramDefinition& program) {
    g_programExitRoutine = program.exitRoutine;
    MakeExecutableFolderCurrent();
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    int exitCode = 0;
    try {
        if (win32::LoadMainWindow(*program.mainWindow)) exitCode = RunMessageLoop();
    } catch (const std::bad_alloc&) {
        RaiseRuntimeError(0, "Out of memory.");
    }
    RunExitRoutineOnce();
    return exitCode;
}

void EndProgram(int32_t code) {
    RunExitRoutineOnce();
    ExitProcess(static_cast<UINT>(code));
}

void RaiseRuntimeError(int32_t code, std::string_view message) {
    std::wstring text = L"A run-time error has occurred.";
    if (code != 0) text += L"\r\nError code: " + std::to_wstring(code);
    if (!message.empty()) text += L"\r\n" + win32::WideFromUtf8(message);
    MessageBoxW(nullptr, text.c_str(), L"Sonitra - run-time error", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    EndProgram(-1);
}

}  // namespace rt
