#include "tools/icon_maker/ico_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tools/icon_maker/icon_art.h"

namespace icon_maker {
namespace {

uint32_t Read16(const std::vector<uint8_t>& bytes, size_t at) { return bytes.at(at) | bytes.at(at + 1) << 8; }
uint32_t Read32(const std::vector<uint8_t>& bytes, size_t at) { return Read16(bytes, at) | Read16(bytes, at + 2) << 16; }

size_t RowBytes(int width, int bits) { return static_cast<size_t>((width * bits + 31) / 32) * 4; }

struct Entry {
    int size, bits;
    size_t bytes, offset;
};

Entry ReadEntry(const std::vector<uint8_t>& file, size_t index) {
    const size_t at = 6 + 16 * index;
    return {file.at(at), static_cast<int>(Read16(file, at + 6)), Read32(file, at + 8), Read32(file, at + 12)};
}

// Reads one image back the way Windows does: colour rows bottom-up, then the AND mask.
std::vector<Rgba> DecodeImage(const std::vector<uint8_t>& file, const Entry& entry) {
    const size_t header = entry.offset;
    const int bits = static_cast<int>(Read16(file, header + 14));
    const size_t palette = header + 40;
    const size_t colours = palette + (bits < 32 ? (size_t{4} << bits) : 0);
    const size_t mask = colours + RowBytes(entry.size, bits) * entry.size;
    std::vector<Rgba> pixels;
    for (int y = 0; y < entry.size; ++y) {
        const size_t row = entry.size - 1 - y;
        for (int x = 0; x < entry.size; ++x) {
            const bool transparent = file.at(mask + row * RowBytes(entry.size, 1) + x / 8) & (0x80 >> (x % 8));
            const size_t rowStart = colours + row * RowBytes(entry.size, bits);
            Rgba pixel;
            if (bits == 32) {
                const size_t at = rowStart + x * 4;
                pixel = {file.at(at + 2), file.at(at + 1), file.at(at), file.at(at + 3)};
            } else {
                const int bit = x * bits;
                const int index = (file.at(rowStart + bit / 8) >> (8 - bits - bit % 8)) & ((1 << bits) - 1);
                const size_t at = palette + 4 * index;
                pixel = {file.at(at + 2), file.at(at + 1), file.at(at), static_cast<uint8_t>(transparent ? 0 : 255)};
            }
            pixels.push_back(pixel);
        }
    }
    return pixels;
}

std::vector<uint8_t> ProgramIconFile() {
    std::vector<Picture> pictures;
    std::vector<int> depths;
    for (const IconImageSpec& format : kProgramIconImages) {
        pictures.push_back(RenderIcon(format.size));
        depths.push_back(format.bitsPerPixel);
    }
    return BuildIconFile(pictures, depths);
}

TEST(IconFile, DirectoryDescribesNineImagesLaidEndToEnd) {
    const std::vector<uint8_t> file = ProgramIconFile();
    ASSERT_EQ(Read16(file, 0), 0u);
    ASSERT_EQ(Read16(file, 2), 1u);
    ASSERT_EQ(Read16(file, 4), 9u);
    size_t expectedOffset = 6 + 16 * 9;
    for (size_t i = 0; i < 9; ++i) {
        const Entry entry = ReadEntry(file, i);
        const IconImageSpec format = kProgramIconImages[i];
        SCOPED_TRACE(testing::Message() << format.size << " px at " << format.bitsPerPixel << " bits");
        EXPECT_EQ(entry.size, format.size);
        EXPECT_EQ(file.at(6 + 16 * i + 1), format.size);
        EXPECT_EQ(file.at(6 + 16 * i + 2), format.bitsPerPixel < 8 ? 1 << format.bitsPerPixel : 0);
        EXPECT_EQ(entry.bits, format.bitsPerPixel);
        EXPECT_EQ(entry.offset, expectedOffset);
        const size_t palette = format.bitsPerPixel < 32 ? (size_t{4} << format.bitsPerPixel) : 0;
        const size_t rows = (RowBytes(format.size, format.bitsPerPixel) + RowBytes(format.size, 1)) * format.size;
        EXPECT_EQ(entry.bytes, 40 + palette + rows);
        // The bitmap header inside the image agrees with the directory.
        EXPECT_EQ(Read32(file, entry.offset), 40u);
        EXPECT_EQ(Read32(file, entry.offset + 4), static_cast<uint32_t>(format.size));
        EXPECT_EQ(Read32(file, entry.offset + 8), static_cast<uint32_t>(2 * format.size));
        EXPECT_EQ(Read16(file, entry.offset + 14), static_cast<uint32_t>(format.bitsPerPixel));
        expectedOffset += entry.bytes;
    }
    EXPECT_EQ(expectedOffset, file.size());
}

// Every stored image, read back, shows the drawing: the same transparent outline and colours
// close to the drawing's (paletted ones within their palette's reach; one bit in black and white).
TEST(IconFile, ImagesReadBackAsTheDrawing) {
    const std::vector<uint8_t> file = ProgramIconFile();
    for (size_t i = 0; i < 9; ++i) {
        const Entry entry = ReadEntry(file, i);
        SCOPED_TRACE(testing::Message() << entry.size << " px at " << entry.bits << " bits");
        const Picture drawing = RenderIcon(entry.size);
        const std::vector<Rgba> stored = DecodeImage(file, entry);
        const int tolerance = entry.bits == 32 ? 0 : entry.bits == 8 ? 24 : 64;
        long worstError = 0, totalError = 0, visible = 0;
        for (size_t p = 0; p < stored.size(); ++p) {
            const Rgba& want = drawing.pixels[p];
            const Rgba& got = stored[p];
            if (entry.bits == 32) {
                ASSERT_EQ(got.a, want.a);
            } else {
                ASSERT_EQ(got.a >= 128, want.a >= 128) << "pixel " << p;
            }
            if (want.a < 128 || entry.bits == 1) continue;
            const long error = std::abs(got.r - want.r) + std::abs(got.g - want.g) + std::abs(got.b - want.b);
            worstError = std::max(worstError, error);
            totalError += error;
            ++visible;
        }
        if (entry.bits == 1) continue;
        EXPECT_LE(totalError / std::max(1L, visible), tolerance);
        if (entry.bits == 32) {
            EXPECT_EQ(worstError, 0);
        }
    }
}

TEST(IconArt, RoundBlueRimLightFaceBlueNotes) {
    for (int size : {16, 32, 128}) {
        SCOPED_TRACE(size);
        const Picture icon = RenderIcon(size);
        EXPECT_EQ(icon.at(0, 0).a, 0);
        EXPECT_EQ(icon.at(size - 1, size - 1).a, 0);
        const Rgba rim = icon.at(size / 2, size / 32 + 1);
        EXPECT_EQ(rim.a, 255);
        EXPECT_GT(rim.b, rim.r + 80);
        // Face, just inside the rim on the left, is light.
        const Rgba face = icon.at(size * 20 / 100, size / 2);
        EXPECT_GT(face.r + face.g + face.b, 3 * 190);
        // Middle of the beam, between the two stems, is blue.
        const Rgba beam = icon.at(size * 57 / 100, size * 29 / 100);
        EXPECT_GT(beam.b, beam.r + 80);
    }
}

TEST(IconFile, RejectsUnsupportedDepth) {
    EXPECT_THROW(EncodeIconImage(RenderIcon(16), 24), std::invalid_argument);
}

}  // namespace
}  // namespace icon_maker
