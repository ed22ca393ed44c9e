#include "runtime/files.h"

#include <windows.h>

#include <algorithm>

#include "runtime/win32/wide_text.h"

namespace rt {
namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (IsOpen()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

bool WriteAll(HANDLE file, const Bytes& content) {
    size_t written = 0;
    while (written < content.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(content.size() - written, 1u << 30));
        DWORD done = 0;
        if (!WriteFile(file, content.data() + written, chunk, &done, nullptr) || done == 0) return false;
        written += done;
    }
    return true;
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
}

// A rename may replace a file that could not be opened for writing (Wine replaces read-only and
// open files, and an administrator may open read-only ones), so the target must first prove
// writable: not read-only, and openable for writing with no sharing.
bool TargetIsWritableOrAbsent(const std::wstring& target) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
    FileHandle file(
        CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsOpen() || GetLastError() == ERROR_FILE_NOT_FOUND;
}

}  // namespace

std::optional<Bytes> ReadWholeFile(std::string_view path) {
    FileHandle file(CreateFileW(win32::WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file.IsOpen() || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > (1ll << 31)) return std::nullopt;
    Bytes content(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < content.size()) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), content.data() + done, static_cast<DWORD>(content.size() - done), &read, nullptr)) return std::nullopt;
        if (read == 0) break;
        done += read;
    }
    content.resize(done);
    return content;
}

bool WriteWholeFileAtomically(std::string_view path, const Bytes& content) {
    const std::wstring target = win32::WideFromUtf8(path);
    if (!TargetIsWritableOrAbsent(target)) return false;
    wchar_t temporary[MAX_PATH + 1];
    if (!GetTempFileNameW(FolderOf(target).c_str(), L"snt", 0, temporary)) return false;
    bool written;
    {
        FileHandle file(CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        written = file.IsOpen() && WriteAll(file.Get(), content) && FlushFileBuffers(file.Get());
    }
    if (written && MoveFileExW(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileW(temporary);
    return false;
}

bool PathExists(std::string_view path) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(win32::WideFromUtf8(path).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

bool SetHiddenAttributeOnly(std::string_view path) {
    return SetFileAttributesW(win32::WideFromUtf8(path).c_str(), FILE_ATTRIBUTE_HIDDEN) != 0;
}

std::string ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L'\\');
    return win32::Utf8FromWide(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash));
}

}  // namespace rt
