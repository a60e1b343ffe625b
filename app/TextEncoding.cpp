#include "app/TextEncoding.h"

namespace {

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The length of the well-formed sequence at text[i], 0 when there is none. cut is set when the
// bytes end inside a sequence that was well-formed so far.
size_t SequenceLength(std::string_view text, size_t i, bool& cut) {
    cut = false;
    auto at = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char b = at(i);
    if (b < 0x80) return 1;
    size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        if (b == 0xE0) low = 0xA0;   // no overlong form
        if (b == 0xED) high = 0x9F;  // no surrogate
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        if (b == 0xF0) low = 0x90;   // no overlong form
        if (b == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        if (i + k >= text.size()) {
            cut = true;
            return 0;
        }
        unsigned char c = at(i + k);
        if (k == 1 ? (c < low || c > high) : !IsContinuation(c)) return 0;
    }
    return length;
}

struct TFold {
    std::string_view From, To;
};

// Shift-JIS byte: JIS X 0208 / 0201 mapping -> code page 932 mapping.
constexpr TFold kFolds[] = {
    {"\xE3\x80\x9C", "\xEF\xBD\x9E"},  // 0x8160: WAVE DASH -> FULLWIDTH TILDE
    {"\xE2\x80\x96", "\xE2\x88\xA5"},  // 0x8161: DOUBLE VERTICAL LINE -> PARALLEL TO
    {"\xE2\x88\x92", "\xEF\xBC\x8D"},  // 0x817C: MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
    {"\xC2\xA2", "\xEF\xBF\xA0"},      // 0x8191: CENT SIGN -> FULLWIDTH CENT SIGN
    {"\xC2\xA3", "\xEF\xBF\xA1"},      // 0x8192: POUND SIGN -> FULLWIDTH POUND SIGN
    {"\xC2\xAC", "\xEF\xBF\xA2"},      // 0x81CA: NOT SIGN -> FULLWIDTH NOT SIGN
    {"\xE2\x80\x94", "\xE2\x80\x95"},  // 0x815C: EM DASH -> HORIZONTAL BAR
    {"\xC2\xA5", "\\"},                // 0x5C: YEN SIGN -> REVERSE SOLIDUS
    {"\xE2\x80\xBE", "~"},             // 0x7E: OVERLINE -> TILDE
};

}  // namespace

size_t ValidUtf8Prefix(std::string_view bytes) {
    size_t i = 0;
    bool cut = false;
    while (i < bytes.size()) {
        size_t n = SequenceLength(bytes, i, cut);
        if (n == 0) break;
        i += n;
    }
    return i;
}

TTextEncoding DetectTextEncoding(std::string_view bytes) {
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) return TTextEncoding::Utf8Bom;
    bool wide = false;  // a character of three or four bytes seen
    size_t i = 0;
    bool cut = false;
    while (i < bytes.size()) {
        size_t n = SequenceLength(bytes, i, cut);
        if (n == 0) return cut && wide ? TTextEncoding::Utf8 : TTextEncoding::Ansi;
        wide = wide || n > 2;
        i += n;
    }
    return wide ? TTextEncoding::Utf8 : TTextEncoding::Ansi;
}

std::string FoldJisVariants(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const TFold* match = nullptr;
        if (static_cast<unsigned char>(utf8[i]) >= 0xC2)
            for (const TFold& f : kFolds)
                if (utf8.substr(i, f.From.size()) == f.From) match = &f;
        if (match != nullptr) {
            out.append(match->To);
            i += match->From.size();
        } else {
            out.push_back(utf8[i++]);
        }
    }
    return out;
}
