#include <windows.h>
// The multimedia declarations come after windows.h.
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <mutex>

#include "runtime/mp3_decoder.h"
#include "runtime/win32/system_library.h"

namespace rt {
namespace {

// The ACM functions of the system's msacm32.dll, bound at first use (see wave_out.cpp for why
// the program loads its sound libraries from the system folder itself).
struct AcmApi {
    decltype(&acmStreamOpen) open;
    decltype(&acmStreamPrepareHeader) prepareHeader;
    decltype(&acmStreamConvert) convert;
    decltype(&acmStreamUnprepareHeader) unprepareHeader;
    decltype(&acmStreamClose) close;
    decltype(&acmDriverID) driverId;
    decltype(&acmDriverOpen) driverOpen;
};

const AcmApi* BoundAcmApi() {
    static const char* const kNames[] = {"acmStreamOpen",  "acmStreamPrepareHeader", "acmStreamConvert",
                                         "acmStreamUnprepareHeader", "acmStreamClose", "acmDriverID",
                                         "acmDriverOpen"};
    static FARPROC addresses[std::size(kNames)];
    static AcmApi api;
    static bool bound = false;
    static std::once_flag once;
    std::call_once(once, [] {
        // winmm first, so that msacm32's own import of it is the system's copy.
        win32::LoadSystemLibrary(L"winmm.dll");
        bound = win32::BindExports(win32::LoadSystemLibrary(L"msacm32.dll"), kNames, addresses, std::size(kNames));
        if (!bound) return;
        api.open = reinterpret_cast<decltype(api.open)>(addresses[0]);
        api.prepareHeader = reinterpret_cast<decltype(api.prepareHeader)>(addresses[1]);
        api.convert = reinterpret_cast<decltype(api.convert)>(addresses[2]);
        api.unprepareHeader = reinterpret_cast<decltype(api.unprepareHeader)>(addresses[3]);
        api.close = reinterpret_cast<decltype(api.close)>(addresses[4]);
        api.driverId = reinterpret_cast<decltype(api.driverId)>(addresses[5]);
        api.driverOpen = reinterpret_cast<decltype(api.driverOpen)>(addresses[6]);
    });
    return bound ? &api : nullptr;
}

// Room for several frames either way, so one conversion call normally takes a whole frame.
constexpr DWORD kSourceCapacity = 16 * 1024;
constexpr DWORD kMaxSamplesPerConversion = 1152 * 8;
constexpr uint32_t kLayer3CodecDelay = 1393;  // the customary value for the ACM's layer III codec

class AcmMp3Decoder : public Mp3Decoder {
public:
    AcmMp3Decoder(const AcmApi& api, HACMSTREAM stream, uint16_t channels)
        : api_(api), stream_(stream), source_(kSourceCapacity), destination_(kMaxSamplesPerConversion * channels * 2) {
        header_.cbStruct = sizeof(header_);
        header_.pbSrc = source_.data();
        header_.cbSrcLength = static_cast<DWORD>(source_.size());
        header_.pbDst = destination_.data();
        header_.cbDstLength = static_cast<DWORD>(destination_.size());
        prepared_ = api_.prepareHeader(stream_, &header_, 0) == MMSYSERR_NOERROR;
    }

    ~AcmMp3Decoder() override {
        if (prepared_) {
            header_.cbSrcLength = static_cast<DWORD>(source_.size());
            api_.unprepareHeader(stream_, &header_, 0);
        }
        api_.close(stream_, 0);
    }

    bool IsReady() const { return prepared_; }

    bool DecodeFrame(std::span<const uint8_t> frame, std::vector<uint8_t>& pcm) override {
        unconverted_.insert(unconverted_.end(), frame.begin(), frame.end());
        const DWORD flags = ACM_STREAMCONVERTF_BLOCKALIGN | (started_ ? 0 : ACM_STREAMCONVERTF_START);
        started_ = true;
        return Convert(flags, pcm);
    }

    // A codec that refuses the end-of-stream call has nothing more to give: not a failure.
    bool Finish(std::vector<uint8_t>& pcm) override {
        Convert(ACM_STREAMCONVERTF_END, pcm);
        return true;
    }

private:
    // Converts what is waiting; the codec may keep back input it cannot use yet.
    bool Convert(DWORD flags, std::vector<uint8_t>& pcm) {
        if (unconverted_.size() > source_.size()) return false;  // the codec has stopped taking input
        for (;;) {
            const DWORD length = static_cast<DWORD>(unconverted_.size());
            std::copy_n(unconverted_.begin(), length, source_.begin());
            header_.cbSrcLength = length;
            header_.cbSrcLengthUsed = 0;
            header_.cbDstLengthUsed = 0;
            if (api_.convert(stream_, &header_, flags) != MMSYSERR_NOERROR) return false;
            const DWORD used = std::min(header_.cbSrcLengthUsed, length);
            pcm.insert(pcm.end(), destination_.begin(), destination_.begin() + header_.cbDstLengthUsed);
            unconverted_.erase(unconverted_.begin(), unconverted_.begin() + used);
            const bool outputFull = header_.cbDstLengthUsed == header_.cbDstLength;
            const bool inputLeft = used > 0 && !unconverted_.empty();
            if (!outputFull && !inputLeft) return true;
        }
    }

    const AcmApi& api_;
    HACMSTREAM stream_;
    std::vector<uint8_t> source_;
    std::vector<uint8_t> destination_;
    std::vector<uint8_t> unconverted_;
    ACMSTREAMHEADER header_{};
    bool prepared_ = false;
    bool started_ = false;
};

// Opening a stream without naming a driver makes the ACM try every installed driver, which
// takes milliseconds; so the driver that took the first stream is kept open and asked first.
HACMSTREAM OpenStream(const AcmApi& api, WAVEFORMATEX& mp3, WAVEFORMATEX& pcm) {
    static std::mutex mutex;
    static HACMDRIVER layer3Driver = nullptr;
    std::lock_guard lock(mutex);
    HACMSTREAM stream = nullptr;
    if (layer3Driver && api.open(&stream, layer3Driver, &mp3, &pcm, nullptr, 0, 0, 0) == MMSYSERR_NOERROR) return stream;
    if (api.open(&stream, nullptr, &mp3, &pcm, nullptr, 0, 0, 0) != MMSYSERR_NOERROR) return nullptr;
    HACMDRIVERID driverId = nullptr;
    if (!layer3Driver && api.driverId(reinterpret_cast<HACMOBJ>(stream), &driverId, 0) == MMSYSERR_NOERROR) {
        if (api.driverOpen(&layer3Driver, driverId, 0) != MMSYSERR_NOERROR) layer3Driver = nullptr;
    }
    return stream;
}

}  // namespace

std::unique_ptr<Mp3Decoder> OpenMp3Decoder(const Mp3StreamFormat& format) {
    const AcmApi* api = BoundAcmApi();
    if (!api) return nullptr;
    MPEGLAYER3WAVEFORMAT mp3{};
    mp3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    mp3.wfx.nChannels = format.pcm.channels;
    mp3.wfx.nSamplesPerSec = format.pcm.sampleRate;
    mp3.wfx.nAvgBytesPerSec = format.bitrateKbps * 1000 / 8;
    mp3.wfx.nBlockAlign = 1;
    mp3.wfx.wBitsPerSample = 0;
    mp3.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    mp3.wID = MPEGLAYER3_ID_MPEG;
    mp3.fdwFlags = MPEGLAYER3_FLAG_PADDING_ISO;
    mp3.nBlockSize = static_cast<WORD>(format.frameBytes);
    mp3.nFramesPerBlock = 1;
    mp3.nCodecDelay = kLayer3CodecDelay;

    WAVEFORMATEX pcm{};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    pcm.nChannels = format.pcm.channels;
    pcm.nSamplesPerSec = format.pcm.sampleRate;
    pcm.wBitsPerSample = 16;
    pcm.nBlockAlign = static_cast<WORD>(format.pcm.channels * 2);
    pcm.nAvgBytesPerSec = format.pcm.sampleRate * pcm.nBlockAlign;

    HACMSTREAM stream = OpenStream(*api, mp3.wfx, pcm);
    if (!stream) return nullptr;
    auto decoder = std::make_unique<AcmMp3Decoder>(*api, stream, format.pcm.channels);
    if (!decoder->IsReady()) return nullptr;
    return decoder;
}

}  // namespace rt
