#include "app/TextEncoding.h"

#include <gtest/gtest.h>

namespace {

// Narrow literals are Shift-JIS in this program; u8 literals stay UTF-8.
std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

}  // namespace

TEST(TextEncoding, ShiftJisJapaneseIsNeverTakenForUtf8) {
    // Lead bytes 0x81-0x9F, trail bytes 0x5C (表, ソ) and 0x40-0x7E, half-width katakana.
    // "ﾃｽ" and "ﾐｱ" are well-formed UTF-8 ("ý", "б"), but of two-byte characters only.
    for (const char* sjis : {"表示ソフト", "フォルダ", "ﾌｫﾙﾀﾞ", "ｱｲｳｴｵ", "ﾃﾞｰﾀ", "ドキュメント", "漢字", "能", "～", "①",
                             "C:\\表示\\ソフト.exe/True/表示ソフト", "ﾃｽ", "C:\\ﾐｱ\\ﾃｽ.exe"}) {
        std::string text = "[Registered Files]\r\n" + std::string(sjis) + "\r\n";
        EXPECT_EQ(DetectTextEncoding(text), TTextEncoding::Ansi) << sjis;
        EXPECT_EQ(DetectTextEncoding(sjis), TTextEncoding::Ansi) << sjis;
    }
    // A whole file as the program writes it.
    std::string file = "[Initialize]\r\nPannelCol=3\r\nHotKey2=A\r\n\r\n[Registered Files]\r\n"
                       "C:\\表示ソフト\\フォルダ/False/ﾌｫﾙﾀﾞ\r\nD:\\ソ\\能.txt/True/その他\r\n";
    EXPECT_EQ(DetectTextEncoding(file), TTextEncoding::Ansi);
}

TEST(TextEncoding, Utf8WithAndWithoutItsMark) {
    std::string text = U8(u8"[Registered Files]\r\nC:\\表示ソフト\\フォルダ/False/ﾌｫﾙﾀﾞ\r\n");
    EXPECT_EQ(DetectTextEncoding(text), TTextEncoding::Utf8);
    EXPECT_EQ(DetectTextEncoding("\xEF\xBB\xBF" + text), TTextEncoding::Utf8Bom);
    // The mark decides alone: ASCII only, or malformed after it.
    EXPECT_EQ(DetectTextEncoding("\xEF\xBB\xBF[Initialize]\r\n"), TTextEncoding::Utf8Bom);
    EXPECT_EQ(DetectTextEncoding("\xEF\xBB\xBF" "表示"), TTextEncoding::Utf8Bom);
    EXPECT_EQ(DetectTextEncoding("\xEF\xBB\xBF"), TTextEncoding::Utf8Bom);
    // Every length of sequence, up to the last code point; two-byte characters alone are not enough.
    std::string latin = U8(u8"café ¥100");
    EXPECT_EQ(DetectTextEncoding(latin), TTextEncoding::Ansi);
    // (u8 texts stay out of the test macros, which spell their arguments in Shift-JIS.)
    std::string lengths = U8(u8"é ア 😀") + "\xF4\x8F\xBF\xBF";
    EXPECT_EQ(DetectTextEncoding(lengths), TTextEncoding::Utf8);
}

TEST(TextEncoding, AsciiAndMalformedUtf8AreAnsi) {
    EXPECT_EQ(DetectTextEncoding(""), TTextEncoding::Ansi);
    EXPECT_EQ(DetectTextEncoding("[Initialize]\r\nPannelCol=3\r\n"), TTextEncoding::Ansi);
    EXPECT_EQ(DetectTextEncoding(std::string("a\0b", 3)), TTextEncoding::Ansi);
    std::string ok = U8(u8"表示");
    for (const char* bad : {"\xC0\xAF", "\xC1\xBF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF0\x80\x80\xAF",
                            "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF", "\x80", "\xE3\x81" "a", "\xEF\xBB"}) {
        EXPECT_EQ(DetectTextEncoding(ok + bad + ok), TTextEncoding::Ansi) << ok + bad;
        EXPECT_EQ(ValidUtf8Prefix(ok + bad + ok), ok.size());
    }
}

TEST(TextEncoding, Utf8CutShortAtTheEndIsStillUtf8) {
    std::string text = U8(u8"C:\\表示\\ソフト.exe\r\nC:\\表");
    for (size_t cut = 1; cut <= 2; ++cut)
        EXPECT_EQ(DetectTextEncoding(text.substr(0, text.size() - cut)), TTextEncoding::Utf8) << cut;
    // ...but a cut character alone is no sign of UTF-8.
    EXPECT_EQ(DetectTextEncoding("C:\\a\xE8\xA1"), TTextEncoding::Ansi);
    EXPECT_EQ(DetectTextEncoding("C:\\a\xC3\xBD\xE8\xA1"), TTextEncoding::Ansi);
    // ...and a bad byte before the end is.
    EXPECT_EQ(DetectTextEncoding(text.substr(0, text.size() - 1) + "x"), TTextEncoding::Ansi);
}

TEST(TextEncoding, JisSpellingsFoldToCodePage932s) {
    std::string jis = U8(u8"〜‖−¢£¬—¥‾"), cp932 = U8(u8"～∥－￠￡￢―\\~");
    EXPECT_EQ(FoldJisVariants(jis), cp932);
    std::string path = U8(u8"C:¥データ¥2020〜2021.txt"), folded = U8(u8"C:\\データ\\2020～2021.txt");
    EXPECT_EQ(FoldJisVariants(path), folded);
    // Everything else stays; a lone byte of a folded sequence is no match.
    std::string other = U8(u8"表示ソフト é 😀 ～") + "\xE3\x80" + "\xC2";
    EXPECT_EQ(FoldJisVariants(other), other);
    EXPECT_EQ(FoldJisVariants(""), "");
}
