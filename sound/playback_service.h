#pragma once
// The playback service: at most one player, one clip at a time.
//
// Thread contract: PlaySoundFile and StopSound are called from the user-interface thread only
// (click handlers and the exit routine). Both first discard the current player synchronously:
// they return only after its device has been reset and closed and its background work ended.

#include <string_view>

namespace sound {

// Discards the current player, then opens `path` (UTF-8) on the calling thread and starts
// playing it once in the background. An empty path only discards.
void PlaySoundFile(std::string_view path);

// Discards the current player, if any.
void StopSound();

}  // namespace sound
