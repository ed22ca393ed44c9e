#pragma once
// Reading a file piece by piece. Paths are UTF-8. Nothing here reports through exceptions.
//
// Thread contract: a stream may be opened on one thread and then used by another, one thread
// at a time.

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace rt {

class FileStream {
public:
    virtual ~FileStream() = default;
    virtual uint64_t Size() const = 0;
    // Reads up to `buffer.size()` bytes at `offset`; returns how many were read, 0 at the end or
    // on a read error.
    virtual size_t ReadAt(uint64_t offset, std::span<uint8_t> buffer) = 0;
};

// Opens an existing file for reading, letting others read it meanwhile; null when it is
// missing, a directory, locked or otherwise cannot be opened.
std::unique_ptr<FileStream> OpenFileStream(std::string_view path);

}  // namespace rt
