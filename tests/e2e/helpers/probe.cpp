// Looks at windows and processes from the outside, for the end-to-end tests, and prints JSON.
//
//   probe windows [pid]          top-level windows (of one process) with their child controls
//   probe process <pid>          thread, handle and memory counts, current directory, modules
//   probe processes              every process: id, parent, name, thread count
//   probe close <hwnd>           posts WM_CLOSE
//   probe send <hwnd> <msg> <wparam> <lparam>   sends a message whose arguments hold no pointers
//   probe kill <pid>             terminates a process with exit code 1
//   probe screen                 primary screen size and the foreground window
//   probe icon <file>            size and bit depth of each image in the file's first icon group
//
// Windows of a Wine virtual desktop are not X windows, so geometry has to be read through Win32.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr, nullptr);
    return result;
}

std::string Quoted(const std::wstring& text) {
    std::string result = "\"";
    for (unsigned char c : Utf8(text)) {
        if (c == '"' || c == '\\') {
            result += '\\';
            result += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            result += escaped;
        } else {
            result += static_cast<char>(c);
        }
    }
    return result + "\"";
}

std::string Number(unsigned long long value) { return std::to_string(value); }

std::string Rect(const RECT& rect) {
    return "[" + std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom) + "]";
}

std::string Handle(HWND window) { return Number(reinterpret_cast<ULONG_PTR>(window)); }

HWND WindowFromText(const wchar_t* text) { return reinterpret_cast<HWND>(static_cast<ULONG_PTR>(_wcstoui64(text, nullptr, 0))); }

std::wstring TextOf(HWND window) {
    wchar_t buffer[1024] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, &copied)) {
        GetWindowTextW(window, buffer, 1024);
    }
    return buffer;
}

std::wstring ClassOf(HWND window) {
    wchar_t buffer[256] = {};
    GetClassNameW(window, buffer, 256);
    return buffer;
}

// Tab item texts and rectangles live in the target's address space: the request and the answer
// travel through a block allocated there.
class RemoteBlock {
public:
    RemoteBlock(DWORD pid, size_t size)
        : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid)), size_(size) {
        if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBlock() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    bool ok() const { return address_ != nullptr; }
    char* at(size_t offset) const { return static_cast<char*>(address_) + offset; }
    bool write(size_t offset, const void* data, size_t size) const {
        return offset + size <= size_ && WriteProcessMemory(process_, at(offset), data, size, nullptr);
    }
    bool read(size_t offset, void* data, size_t size) const {
        return offset + size <= size_ && ReadProcessMemory(process_, at(offset), data, size, nullptr);
    }

private:
    HANDLE process_;
    void* address_ = nullptr;
    size_t size_;
};

std::string TabDetails(HWND tabs) {
    DWORD pid = 0;
    GetWindowThreadProcessId(tabs, &pid);
    const int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    std::string json = ",\"selected\":" + std::to_string(SendMessageW(tabs, TCM_GETCURSEL, 0, 0)) + ",\"items\":[";
    constexpr size_t kTextOffset = 256, kTextChars = 256;
    RemoteBlock block(pid, kTextOffset + kTextChars * sizeof(wchar_t));
    for (int i = 0; i < count && block.ok(); ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = reinterpret_cast<wchar_t*>(block.at(kTextOffset));
        item.cchTextMax = kTextChars;
        wchar_t text[kTextChars] = {};
        RECT rect{};
        block.write(0, &item, sizeof item);
        SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(block.at(0)));
        block.read(kTextOffset, text, sizeof text - sizeof(wchar_t));
        SendMessageW(tabs, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(block.at(0)));
        block.read(0, &rect, sizeof rect);
        MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        json += std::string(i ? "," : "") + "{\"text\":" + Quoted(text) + ",\"rect\":" + Rect(rect) + "}";
    }
    return json + "]";
}

std::string SliderDetails(HWND slider) {
    return ",\"position\":" + std::to_string(SendMessageW(slider, TBM_GETPOS, 0, 0)) +
           ",\"minimum\":" + std::to_string(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0)) +
           ",\"maximum\":" + std::to_string(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0));
}

std::string CommonFields(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const std::wstring windowClass = ClassOf(window);
    std::string json = "\"hwnd\":" + Handle(window) + ",\"class\":" + Quoted(windowClass) + ",\"text\":" + Quoted(TextOf(window)) +
                       ",\"rect\":" + Rect(rect) + ",\"style\":" + Number(GetWindowLongW(window, GWL_STYLE) & 0xffffffffu) +
                       ",\"exstyle\":" + Number(GetWindowLongW(window, GWL_EXSTYLE) & 0xffffffffu) +
                       ",\"visible\":" + (IsWindowVisible(window) ? "true" : "false") +
                       ",\"enabled\":" + (IsWindowEnabled(window) ? "true" : "false");
    if (lstrcmpiW(windowClass.c_str(), WC_TABCONTROLW) == 0) json += TabDetails(window);
    if (lstrcmpiW(windowClass.c_str(), TRACKBAR_CLASSW) == 0) json += SliderDetails(window);
    return json;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::string ChildJson(HWND child) {
    return "{" + CommonFields(child) + ",\"parent\":" + Handle(GetParent(child)) +
           ",\"id\":" + std::to_string(GetDlgCtrlID(child)) + "}";
}

std::string TopLevelJson(HWND window, DWORD pid) {
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::string json = "{" + CommonFields(window) + ",\"pid\":" + Number(pid) + ",\"client\":" + Rect(client) +
                       ",\"owner\":" + Handle(GetWindow(window, GW_OWNER)) + ",\"iconic\":" + (IsIconic(window) ? "true" : "false") +
                       ",\"zoomed\":" + (IsZoomed(window) ? "true" : "false") + ",\"children\":[";
    std::vector<HWND> children;
    EnumChildWindows(window, CollectWindow, reinterpret_cast<LPARAM>(&children));
    for (size_t i = 0; i < children.size(); ++i) json += (i ? "," : "") + ChildJson(children[i]);
    return json + "]}";
}

int ListWindows(DWORD onlyPid) {
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    std::string json = "[";
    bool first = true;
    for (HWND window : windows) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (onlyPid && pid != onlyPid) continue;
        json += (first ? "" : ",") + TopLevelJson(window, pid);
        first = false;
    }
    std::printf("%s]\n", json.c_str());
    return 0;
}

int ThreadCount(DWORD pid) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == pid) ++count;
    }
    CloseHandle(snapshot);
    return count;
}

std::string Modules(DWORD pid) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    std::string json = "[";
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32FirstW(snapshot, &entry); more; more = Module32NextW(snapshot, &entry)) {
        json += (json.size() > 1 ? "," : "") + Quoted(entry.szExePath);
    }
    if (snapshot != INVALID_HANDLE_VALUE) CloseHandle(snapshot);
    return json + "]";
}

// The current directory sits in the process parameters block, reached through the target's PEB.
std::wstring CurrentDirectoryOf(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic{};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return {};
    PEB peb{};
    if (!ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, nullptr)) return {};
    // RTL_USER_PROCESS_PARAMETERS: CurrentDirectory.DosPath is the UNICODE_STRING at offset 0x38 on x64.
    UNICODE_STRING path{};
    const char* parameters = reinterpret_cast<const char*>(peb.ProcessParameters);
    if (!ReadProcessMemory(process, parameters + 0x38, &path, sizeof path, nullptr)) return {};
    std::wstring text(path.Length / sizeof(wchar_t), L'\0');
    if (!ReadProcessMemory(process, path.Buffer, text.data(), path.Length, nullptr)) return {};
    return text;
}

// Wine answers GetProcessHandleCount with 0 for other processes; the system process list has the count.
DWORD HandleCountOf(HANDLE process, DWORD pid) {
    DWORD handles = 0;
    if (GetProcessHandleCount(process, &handles) && handles) return handles;
    ULONG size = 0;
    std::vector<char> buffer(1 << 20);
    if (NtQuerySystemInformation(SystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &size) != 0) return 0;
    for (size_t offset = 0;;) {
        const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + offset);
        if (static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId)) == pid) return entry->HandleCount;
        if (!entry->NextEntryOffset) return 0;
        offset += entry->NextEntryOffset;
    }
}

int DescribeProcess(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) {
        std::printf("null\n");
        return 1;
    }
    const DWORD handles = HandleCountOf(process, pid);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    wchar_t image[MAX_PATH * 2] = {};
    DWORD imageSize = MAX_PATH * 2;
    QueryFullProcessImageNameW(process, 0, image, &imageSize);
    DWORD exitCode = 0;
    GetExitCodeProcess(process, &exitCode);
    std::printf("{\"pid\":%lu,\"threads\":%d,\"handles\":%lu,\"private_bytes\":%llu,\"working_set\":%llu,"
                "\"running\":%s,\"image\":%s,\"cwd\":%s,\"modules\":%s}\n",
                pid, ThreadCount(pid), handles, static_cast<unsigned long long>(memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage),
                static_cast<unsigned long long>(memory.WorkingSetSize), exitCode == STILL_ACTIVE ? "true" : "false",
                Quoted(image).c_str(), Quoted(CurrentDirectoryOf(process)).c_str(), Modules(pid).c_str());
    CloseHandle(process);
    return 0;
}

int ListProcesses() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    std::string json = "[";
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        json += std::string(json.size() > 1 ? "," : "") + "{\"pid\":" + Number(entry.th32ProcessID) +
                ",\"parent\":" + Number(entry.th32ParentProcessID) + ",\"name\":" + Quoted(entry.szExeFile) +
                ",\"threads\":" + Number(entry.cntThreads) + "}";
    }
    CloseHandle(snapshot);
    std::printf("%s]\n", json.c_str());
    return 0;
}

int KillProcess(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
    const bool killed = process && TerminateProcess(process, 1);
    if (process) CloseHandle(process);
    std::printf("%s\n", killed ? "true" : "false");
    return killed ? 0 : 1;
}

BOOL CALLBACK TakeFirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR first) {
    *reinterpret_cast<LPWSTR*>(first) = name;
    return FALSE;
}

#pragma pack(push, 1)
struct IconGroupEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

// The images of a file's first icon group, the one Explorer shows for it.
int DescribeFileIcon(const wchar_t* path) {
    HMODULE module = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    LPWSTR first = nullptr;
    if (module) EnumResourceNamesW(module, RT_GROUP_ICON, TakeFirstName, reinterpret_cast<LONG_PTR>(&first));
    HRSRC resource = first ? FindResourceW(module, first, RT_GROUP_ICON) : nullptr;
    const BYTE* group = resource ? static_cast<const BYTE*>(LockResource(LoadResource(module, resource))) : nullptr;
    std::string json = "[";
    const WORD count = group ? *reinterpret_cast<const WORD*>(group + 4) : 0;
    for (WORD i = 0; i < count; ++i) {
        IconGroupEntry entry;
        memcpy(&entry, group + 6 + i * sizeof entry, sizeof entry);
        json += std::string(i ? "," : "") + "{\"size\":" + Number(entry.width ? entry.width : 256) +
                ",\"bits\":" + Number(entry.bitCount) + "}";
    }
    if (module) FreeLibrary(module);
    std::printf("%s]\n", json.c_str());
    return 0;
}

int DescribeScreen() {
    std::printf("{\"width\":%d,\"height\":%d,\"foreground\":%s}\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                Handle(GetForegroundWindow()).c_str());
    return 0;
}

int Usage() {
    std::fprintf(stderr, "usage: probe windows [pid] | process <pid> | processes | close <hwnd> | "
                         "send <hwnd> <msg> <wparam> <lparam> | kill <pid> | screen | icon <file>\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return Usage();
    const std::wstring command = argv[1];
    auto number = [&](int i) { return static_cast<unsigned long long>(_wcstoui64(argv[i], nullptr, 0)); };
    if (command == L"windows") return ListWindows(argc > 2 ? static_cast<DWORD>(number(2)) : 0);
    if (command == L"process" && argc == 3) return DescribeProcess(static_cast<DWORD>(number(2)));
    if (command == L"processes") return ListProcesses();
    if (command == L"kill" && argc == 3) return KillProcess(static_cast<DWORD>(number(2)));
    if (command == L"screen") return DescribeScreen();
    if (command == L"icon" && argc == 3) return DescribeFileIcon(argv[2]);
    if (command == L"close" && argc == 3) {
        std::printf("%s\n", PostMessageW(WindowFromText(argv[2]), WM_CLOSE, 0, 0) ? "true" : "false");
        return 0;
    }
    if (command == L"send" && argc == 6) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(WindowFromText(argv[2]), static_cast<UINT>(number(3)), static_cast<WPARAM>(number(4)),
                            static_cast<LPARAM>(number(5)), SMTO_ABORTIFHUNG, 5000, &result);
        std::printf("%llu\n", static_cast<unsigned long long>(result));
        return 0;
    }
    return Usage();
}
