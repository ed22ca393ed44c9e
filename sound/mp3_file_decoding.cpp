#include "sound/mp3_file_decoding.h"

#include "runtime/file_stream.h"
#include "runtime/mp3_decoder.h"
#include "sound/id3_tag.h"
#include "sound/mpeg_frame_reader.h"

namespace sound {

rt::Mp3StreamFormat DecoderFormatOf(const FrameHeader& header) {
    rt::Mp3StreamFormat format;
    format.pcm = {header.sampleRate, header.channels};
    format.bitrateKbps = header.bitrateKbps;
    format.frameBytes = header.frameBytes - (header.padded ? 1 : 0);
    format.samplesPerFrame = header.samplesPerFrame;
    return format;
}

std::optional<DecodedClip> DecodeMp3File(std::string_view path) {
    const auto file = rt::OpenFileStream(path);
    if (!file) return std::nullopt;
    const auto readHeader = [&file](uint64_t offset, std::span<uint8_t, kId3HeaderBytes> header) {
        return file->ReadAt(offset, header) == header.size();
    };
    const auto audioStart = AudioStartAfterId3Tags(readHeader, file->Size());
    if (!audioStart) return std::nullopt;
    MpegFrameReader frames(*file, *audioStart);
    std::unique_ptr<rt::Mp3Decoder> decoder;
    DecodedClip clip;
    while (const auto frame = frames.NextFrame()) {
        if (!decoder) {
            const FrameHeader& header = frames.Header();
            if (header.layer != 3) return std::nullopt;
            clip.format = {header.sampleRate, header.channels};
            decoder = rt::OpenMp3Decoder(DecoderFormatOf(header));
            if (!decoder) return std::nullopt;
        }
        if (!decoder->DecodeFrame(*frame, clip.pcm)) return std::nullopt;
        ++clip.frames;
    }
    if (!decoder || !decoder->Finish(clip.pcm)) return std::nullopt;
    return clip;
}

}  // namespace sound
