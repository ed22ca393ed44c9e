#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "sound/id3_tag.h"
#include "sound/mp3_test_streams.h"

namespace sound {
namespace {

using testing::Bytes;
using testing::Id3Tag;

std::optional<uint64_t> AudioStartIn(const Bytes& file) {
    const auto reader = [&file](uint64_t offset, std::span<uint8_t, kId3HeaderBytes> header) {
        if (offset + header.size() > file.size()) return false;
        std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(offset), header.size(), header.begin());
        return true;
    };
    return AudioStartAfterId3Tags(reader, file.size());
}

TEST(Id3TagTest, AudioStartsAfterTheTags) {
    const Bytes audio(600, 0x55);
    const struct {
        const char* what;
        Bytes file;
        std::optional<uint64_t> start;
    } cases[] = {
        {"no tag", audio, 0},
        {"version 2.3", testing::Concat({Id3Tag(3, 300, 300), audio}), 310},
        {"version 2.2", testing::Concat({Id3Tag(2, 40, 40), audio}), 50},
        {"version 2.4 with footer", testing::Concat({Id3Tag(4, 300, 300, 0x10), Bytes(10, 0), audio}), 320},
        {"two tags in a row", testing::Concat({Id3Tag(3, 20, 20), Id3Tag(4, 30, 30), audio}), 70},
        {"a synchsafe size above 127", testing::Concat({Id3Tag(3, 200, 200), audio}), 210},
        {"tag fills the file", Id3Tag(3, 300, 300), 310},
        {"unknown version is left to the frame search", testing::Concat({Id3Tag(5, 20, 20), audio}), 0},
        {"size claims more than the file holds", testing::Concat({Id3Tag(3, 100, 100000), audio}), std::nullopt},
        {"only part of a header", Bytes{'I', 'D', '3', 3}, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(AudioStartIn(c.file), c.start) << c.what;
}

TEST(Id3TagTest, SizeBytesWithTheTopBitSetAreNotATag) {
    Bytes header = Id3Tag(3, 0, 0);
    header[7] = 0x80;
    EXPECT_FALSE(Id3v2TagLength(std::span<const uint8_t, kId3HeaderBytes>(header.data(), kId3HeaderBytes)));
}

TEST(Id3TagTest, TheLargestSizeDoesNotOverflow) {
    const Bytes header = {'I', 'D', '3', 4, 0, 0x10, 0x7F, 0x7F, 0x7F, 0x7F};
    EXPECT_EQ(Id3v2TagLength(std::span<const uint8_t, kId3HeaderBytes>(header.data(), kId3HeaderBytes)),
              10u + 0x0FFFFFFFu + 10u);
}

}  // namespace
}  // namespace sound
