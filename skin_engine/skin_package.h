#pragma once
// The skin package: a SkinLook packed as bytes. Layout (little-endian), see README.md:
//   0  magic 2E 53 48 45 00 03      6  u16 format version (1)
//   8  u32 package length           12 u16 record count    14 u16 reserved (0)
//   16 records: u16 type, u16 payload length, payload
// Record types: 1 name (UTF-8), 2 colour (u16 role, r, g, b, 0), 3 metric (u16 metric, i32 value).
// A package must give every colour role and every metric exactly once; record types it does not
// know are skipped.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "skin_engine/skin_look.h"

namespace skin_engine {

inline constexpr uint8_t kPackageMagic[6] = {0x2E, 0x53, 0x48, 0x45, 0x00, 0x03};
inline constexpr uint16_t kPackageVersion = 1;
inline constexpr size_t kPackageHeaderSize = 16;
inline constexpr size_t kMaximumPackageSize = 64 * 1024;
inline constexpr size_t kMaximumRecordCount = 1024;
inline constexpr size_t kMaximumNameLength = 64;

enum class RecordType : uint16_t { Name = 1, Colour = 2, Metric = 3 };

std::vector<uint8_t> PackSkin(const SkinLook& look);

// The look a package describes, or nothing when the package is malformed in any way.
std::optional<SkinLook> UnpackSkin(std::span<const uint8_t> package);

}  // namespace skin_engine
