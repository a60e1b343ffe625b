// Which encoding the bytes of a settings file are in, without the window system: the file the
// program writes is in Shift-JIS, but a modern editor may save it as UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

enum class TTextEncoding {
    Ansi,     // Shift-JIS, byte for byte
    Utf8,     // UTF-8 without a byte-order mark
    Utf8Bom,  // UTF-8 after its three-byte byte-order mark
};

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// How many bytes from the start are one well-formed UTF-8 sequence after another (no overlong
// forms, no surrogates, nothing above U+10FFFF).
size_t ValidUtf8Prefix(std::string_view bytes);

// UTF-8 when the bytes begin with its byte-order mark; also when they are well-formed UTF-8
// throughout, where the very end may be a character cut short (a truncated file), and hold a
// character of U+0800 or above, as every kana and kanji is. Shift-JIS Japanese text almost never
// is: its lead bytes 0x81-0x9F are UTF-8 continuation bytes. The last condition keeps a Shift-JIS
// file whose only non-ASCII text is half-width katakana in UTF-8's two-byte pattern ("ﾃｽ" is the
// bytes of "ý") from being taken for UTF-8. Everything else is Shift-JIS.
TTextEncoding DetectTextEncoding(std::string_view bytes);

// UTF-8 in which the characters that a JIS-table conversion from Shift-JIS gives where code page
// 932 has characters of its own (〜 ‖ − ¢ £ ¬ — and the JIS-Roman ¥ ‾) are replaced by code
// page 932's (～ ∥ － ￠ ￡ ￢ ― \ ~), so that converting to Shift-JIS gives back the original bytes.
std::string FoldJisVariants(std::string_view utf8);
