#include "runtime/file_stream.h"

#include <windows.h>

#include <algorithm>

#include "runtime/win32/wide_text.h"

namespace rt {
namespace {

class Win32FileStream : public FileStream {
public:
    Win32FileStream(HANDLE file, uint64_t size) : file_(file), size_(size) {}
    ~Win32FileStream() override { CloseHandle(file_); }
    uint64_t Size() const override { return size_; }

    size_t ReadAt(uint64_t offset, std::span<uint8_t> buffer) override {
        OVERLAPPED position{};
        position.Offset = static_cast<DWORD>(offset);
        position.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(buffer.size(), 1u << 30));
        DWORD read = 0;
        if (!ReadFile(file_, buffer.data(), wanted, &read, &position)) return 0;
        return read;
    }

private:
    HANDLE file_;
    uint64_t size_;
};

}  // namespace

std::unique_ptr<FileStream> OpenFileStream(std::string_view path) {
    HANDLE file = CreateFileW(win32::WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return nullptr;
    }
    return std::make_unique<Win32FileStream>(file, static_cast<uint64_t>(size.QuadPart));
}

}  // namespace rt
