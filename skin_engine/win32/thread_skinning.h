#pragma once
// Skinning every window of the calling thread: the ones that exist now, and (through a thread
// hook) the ones created later, until the skin is removed.

#include "skin_engine/skin_look.h"

namespace skin_engine::win32 {

// Replaces the current skin (if any) with `look` and repaints every window of the thread.
void ApplySkinToThread(const SkinLook& look);

// Gives every window of the thread its plain system look back.
void RemoveSkinFromThread();

}  // namespace skin_engine::win32
