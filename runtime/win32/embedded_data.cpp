// Embedded blocks are RCDATA resources of the executable's own module.
#include "runtime/embedded_data.h"

#include <windows.h>

#include "runtime/win32/wide_text.h"

namespace rt {

std::span<const uint8_t> EmbeddedData(std::string_view name) {
    const std::wstring resourceName = win32::WideFromUtf8(name);
    HRSRC resource = FindResourceW(nullptr, resourceName.c_str(), RT_RCDATA);
    if (!resource) return {};
    HGLOBAL loaded = LoadResource(nullptr, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const uint8_t*>(data), SizeofResource(nullptr, resource)};
}

}  // namespace rt
