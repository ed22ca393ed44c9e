#include "sound/playback_service.h"

#include <memory>
#include <new>

#include "runtime/program.h"
#include "sound/sound_player.h"

namespace sound {
namespace {

// The current player. Only the user-interface thread touches this pointer.
std::unique_ptr<SoundPlayer>& CurrentPlayer() {
    static std::unique_ptr<SoundPlayer> player;
    return player;
}

}  // namespace

void PlaySoundFile(std::string_view path) {
    StopSound();
    if (path.empty()) return;
    try {
        CurrentPlayer() = std::make_unique<SoundPlayer>(std::string(path));
    } catch (const std::bad_alloc&) {
        rt::RaiseRuntimeError(0, "Out of memory while starting a sound.");
    }
}

void StopSound() { CurrentPlayer().reset(); }

std::optional<PlayerReport> CurrentPlayerReport() {
    const auto& player = CurrentPlayer();
    if (!player) return std::nullopt;
    return player->Report();
}

}  // namespace sound
