#pragma once
// Whole-file services. Paths are UTF-8; relative paths resolve in the current directory,
// which start-up makes the executable's folder. None of these report through exceptions.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

using Bytes = std::vector<uint8_t>;

// The whole content, read with others allowed to read but not write meanwhile; nullopt when
// the file is missing, a directory, locked or unreadable.
std::optional<Bytes> ReadWholeFile(std::string_view path);

// Replaces the whole content: writes a temporary file in the same folder, then moves it over
// `path`, so an interrupted write never leaves a partial file under the final name.
bool WriteWholeFileAtomically(std::string_view path, const Bytes& content);

// True when a directory search finds an entry of exactly that name (file or directory).
bool PathExists(std::string_view path);

// Sets the file's attributes to hidden alone.
bool SetHiddenAttributeOnly(std::string_view path);

// The folder of the running executable, without a trailing backslash.
std::string ExecutableFolder();

}  // namespace rt
