#include "skins/saved_skin_number.h"

#include <algorithm>

#include "runtime/controls.h"
#include "runtime/files.h"
#include "runtime/text_encoding.h"

namespace skins {
namespace {

bool IsLeadByte(uint8_t byte) { return byte >= 0x80; }

// The ASCII byte a double-byte character of code page 936 folds to, or 0 when it stays as it is.
char FoldedDoubleByte(uint8_t lead, uint8_t trail) {
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) return static_cast<char>(trail - 0x80);
    if (lead != 0xA1) return 0;
    switch (trail) {
        case 0xA1:
            return ' ';
        case 0xAB:
            return '~';
        case 0xEE:
        case 0xEF:
            return '*';
        default:
            return 0;
    }
}

// A lead byte with nothing after it is dropped and ends the text.
std::string FoldFullWidth(std::string_view text) {
    std::string folded;
    for (size_t i = 0; i < text.size(); ++i) {
        const uint8_t byte = static_cast<uint8_t>(text[i]);
        if (!IsLeadByte(byte)) {
            folded += text[i];
            continue;
        }
        if (i + 1 == text.size()) break;
        const char ascii = FoldedDoubleByte(byte, static_cast<uint8_t>(text[i + 1]));
        if (ascii != 0) {
            folded += ascii;
        } else {
            folded += text.substr(i, 2);
        }
        ++i;
    }
    return folded;
}

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int32_t ParseWrapping(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    uint32_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) value = value * 10u + static_cast<uint32_t>(text[i] - '0');
    if (negative) value = 0u - value;
    return static_cast<int32_t>(value);
}

}  // namespace

std::string ReadSavedSkinText() {
    const std::optional<rt::Bytes> content = rt::ReadWholeFile(kSettingsFile);
    if (!content) return {};
    const auto end = std::find(content->begin(), content->end(), uint8_t{0});
    return std::string(content->begin(), end);
}

int32_t ReadSavedSkinNumber() { return SkinNumberFromText(ReadSavedSkinText()); }

void SaveSkinNumber() {
    const std::string caption = rt::GbkFromUtf8(rt::ControlText(kSkinNumberLabel));
    rt::WriteWholeFileAtomically(kSettingsFile, rt::Bytes(caption.begin(), caption.end()));
}

int32_t SkinNumberFromText(std::string_view gbkText) { return ParseWrapping(FoldFullWidth(gbkText)); }

}  // namespace skins
