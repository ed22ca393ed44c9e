#pragma once
// The playback service: at most one player, one clip at a time.
//
// Thread contract: PlaySoundFile, StopSound and CurrentPlayerReport are called from the
// user-interface thread only (click handlers and the exit routine). PlaySoundFile and StopSound
// first discard the current player synchronously: they return only after its device has been
// reset and closed and its background thread has ended. They never wait for a clip to end.
// PlaySoundFile then opens the file and skips its ID3 tags on the calling thread; finding
// frames, decoding and feeding the device happen on the new player's own thread.
//
// Nothing here reports a failure: a file that cannot be opened, holds no playable audio or
// fails to decode leaves an idle (stopped) player; a device that cannot be opened leaves a
// silent player in the playing state until the next request.

#include <optional>
#include <string_view>

#include "sound/sound_player.h"

namespace sound {

// Discards the current player, then opens `path` (UTF-8) on the calling thread and starts
// playing it once in the background. An empty path only discards.
void PlaySoundFile(std::string_view path);

// Discards the current player, if any.
void StopSound();

// What the current player reports, or nullopt when there is none.
std::optional<PlayerReport> CurrentPlayerReport();

}  // namespace sound
