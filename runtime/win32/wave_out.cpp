#include <windows.h>
// The wave-out declarations come after windows.h.
#include <mmsystem.h>

#include <deque>
#include <memory>
#include <mutex>

#include "runtime/audio_output.h"
#include "runtime/win32/system_library.h"

namespace rt {
namespace {

// The wave-out functions of the system's winmm.dll, bound at first use. The program does not
// import winmm.dll, so a winmm.dll placed beside the executable never carries its sound.
struct WaveOutApi {
    decltype(&waveOutOpen) open;
    decltype(&waveOutPrepareHeader) prepareHeader;
    decltype(&waveOutUnprepareHeader) unprepareHeader;
    decltype(&waveOutWrite) write;
    decltype(&waveOutReset) reset;
    decltype(&waveOutClose) close;
};

const WaveOutApi* BoundWaveOutApi() {
    static const char* const kNames[] = {"waveOutOpen",  "waveOutPrepareHeader", "waveOutUnprepareHeader",
                                         "waveOutWrite", "waveOutReset",         "waveOutClose"};
    static FARPROC addresses[std::size(kNames)];
    static WaveOutApi api;
    static bool bound = false;
    static std::once_flag once;
    std::call_once(once, [] {
        bound = win32::BindExports(win32::LoadSystemLibrary(L"winmm.dll"), kNames, addresses, std::size(kNames));
        if (!bound) return;
        api.open = reinterpret_cast<decltype(api.open)>(addresses[0]);
        api.prepareHeader = reinterpret_cast<decltype(api.prepareHeader)>(addresses[1]);
        api.unprepareHeader = reinterpret_cast<decltype(api.unprepareHeader)>(addresses[2]);
        api.write = reinterpret_cast<decltype(api.write)>(addresses[3]);
        api.reset = reinterpret_cast<decltype(api.reset)>(addresses[4]);
        api.close = reinterpret_cast<decltype(api.close)>(addresses[5]);
    });
    return bound ? &api : nullptr;
}

struct QueuedBuffer {
    WAVEHDR header{};
    std::vector<uint8_t> pcm;
};

class WaveOutput : public AudioOutput {
public:
    WaveOutput(const WaveOutApi& api, HWAVEOUT device, HANDLE event) : api_(api), device_(device), event_(event) {}

    ~WaveOutput() override {
        api_.reset(device_);
        for (const auto& buffer : queued_) api_.unprepareHeader(device_, &buffer->header, sizeof(WAVEHDR));
        api_.close(device_);
        CloseHandle(event_);
    }

    bool Queue(std::vector<uint8_t> pcm) override {
        auto buffer = std::make_unique<QueuedBuffer>();
        buffer->pcm = std::move(pcm);
        buffer->header.lpData = reinterpret_cast<LPSTR>(buffer->pcm.data());
        buffer->header.dwBufferLength = static_cast<DWORD>(buffer->pcm.size());
        if (api_.prepareHeader(device_, &buffer->header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return false;
        if (api_.write(device_, &buffer->header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
            api_.unprepareHeader(device_, &buffer->header, sizeof(WAVEHDR));
            return false;
        }
        queued_.push_back(std::move(buffer));
        return true;
    }

    size_t BuffersPlaying() override {
        // The device finishes buffers in the order they were written.
        while (!queued_.empty() && IsDone(queued_.front()->header)) {
            api_.unprepareHeader(device_, &queued_.front()->header, sizeof(WAVEHDR));
            queued_.pop_front();
        }
        return queued_.size();
    }

    void WaitForProgress() override { WaitForSingleObject(event_, INFINITE); }
    void Wake() override { SetEvent(event_); }

private:
    static bool IsDone(const WAVEHDR& header) {
        // The driver sets the flag from its own thread.
        return (static_cast<const volatile DWORD&>(header.dwFlags) & WHDR_DONE) != 0;
    }

    const WaveOutApi& api_;
    HWAVEOUT device_;
    HANDLE event_;  // signalled by the device on every finished buffer, and by Wake
    std::deque<std::unique_ptr<QueuedBuffer>> queued_;
};

}  // namespace

std::unique_ptr<AudioOutput> OpenAudioOutput(const PcmFormat& format) {
    const WaveOutApi* api = BoundWaveOutApi();
    if (!api || format.channels < 1 || format.channels > 2) return nullptr;
    WAVEFORMATEX wave{};
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = format.channels;
    wave.nSamplesPerSec = format.sampleRate;
    wave.wBitsPerSample = 16;
    wave.nBlockAlign = static_cast<WORD>(format.channels * 2);
    wave.nAvgBytesPerSec = format.sampleRate * wave.nBlockAlign;
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!event) return nullptr;
    HWAVEOUT device = nullptr;
    if (api->open(&device, WAVE_MAPPER, &wave, reinterpret_cast<DWORD_PTR>(event), 0, CALLBACK_EVENT) !=
        MMSYSERR_NOERROR) {
        CloseHandle(event);
        return nullptr;
    }
    try {
        return std::make_unique<WaveOutput>(*api, device, event);
    } catch (...) {
        api->close(device);
        CloseHandle(event);
        throw;
    }
}

}  // namespace rt
