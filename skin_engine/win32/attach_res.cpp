// The engine's one export. Everything it does happens on the calling thread, before it returns.
#include <windows.h>

#include <span>

#include "skin_engine/skin_package.h"
#include "skin_engine/win32/thread_skinning.h"

extern "C" int __stdcall SkinH_AttachRes(const unsigned char* package, int length, const char* /*password*/, int, int,
                                         int) {
    constexpr int kAccepted = 0;
    constexpr int kRejected = 1;
    constexpr int kFailed = 2;
    try {
        if (!package || length <= 0) {
            skin_engine::win32::RemoveSkinFromThread();
            return kAccepted;
        }
        auto look = skin_engine::UnpackSkin(std::span(package, static_cast<size_t>(length)));
        if (!look) return kRejected;
        skin_engine::win32::ApplySkinToThread(*look);
        return kAccepted;
    } catch (...) {
        return kFailed;
    }
}
