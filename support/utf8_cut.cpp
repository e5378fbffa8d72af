#include "support/utf8_cut.h"

namespace {

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

std::string CutUtf8(const std::string& text, std::size_t nMax) {
    if (text.size() <= nMax) {
        return text;
    }
    constexpr std::size_t kLongestCharacter = 4;
    std::size_t end = nMax;
    // A cut before a continuation byte would split the character it belongs to: end before that
    // character's first byte, as long as one is near (a stray continuation byte stands alone).
    std::size_t back = end;
    while (back > 0 && end - back < kLongestCharacter - 1 && IsContinuationByte(text[back])) {
        --back;
    }
    if (IsContinuationByte(text[end]) && !IsContinuationByte(text[back])) {
        end = back;
    }
    return text.substr(0, end);
}
