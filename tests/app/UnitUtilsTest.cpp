#include "app/UnitUtils.h"

#include <gtest/gtest.h>

#include "toolkit/Classes.h"

TEST(BoolText, RoundTripAndLetterCase) {
    EXPECT_EQ(BoolToStr(true), "True");
    EXPECT_EQ(BoolToStr(false), "False");
    for (const char* t : {"true", "TRUE", "tRuE"}) EXPECT_TRUE(StrToBool(t)) << t;
    for (const char* f : {"false", "FALSE", "False"}) EXPECT_FALSE(StrToBool(f)) << f;
    EXPECT_TRUE(StrToBoolDef("TRUE", false));
    EXPECT_FALSE(StrToBoolDef("fAlSe", true));
}

TEST(BoolText, AnythingElseIsAnErrorOrTheDefault) {
    for (const char* bad : {"", "yes", "1", " true", "true ", "truee", "ｔｒｕｅ"}) {
        try {
            StrToBool(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message, "StrToBoolは、True/Falseのみ受け付けます");
        }
        EXPECT_TRUE(StrToBoolDef(bad, true)) << bad;
        EXPECT_FALSE(StrToBoolDef(bad, false)) << bad;
    }
}

TEST(BoolText, OnlyAsciiLettersAreFolded) {
    // A byte that lower-cases to a letter only under a code-page-wide fold must not match.
    EXPECT_FALSE(StrToBoolDef("\xD4rue", false));
}

TEST(SplitRegiLine, ZeroOneTwoAndMoreSeparators) {
    auto p = SplitRegiLine("C:\\tools\\app.exe");
    EXPECT_EQ(p.Path, "C:\\tools\\app.exe");
    EXPECT_EQ(p.Flag, "");
    EXPECT_EQ(p.Hint, "");

    p = SplitRegiLine("C:\\a.exe/True");
    EXPECT_EQ(p.Path, "C:\\a.exe");
    EXPECT_EQ(p.Flag, "True");
    EXPECT_EQ(p.Hint, "");

    p = SplitRegiLine("C:\\a.exe/True/");
    EXPECT_EQ(p.Flag, "True");
    EXPECT_EQ(p.Hint, "");

    p = SplitRegiLine("C:\\a.exe/False/メモ/その他/続き");
    EXPECT_EQ(p.Path, "C:\\a.exe");
    EXPECT_EQ(p.Flag, "False");
    EXPECT_EQ(p.Hint, "メモ/その他/続き");

    p = SplitRegiLine("//");
    EXPECT_EQ(p.Path, "");
    EXPECT_EQ(p.Flag, "");
    EXPECT_EQ(p.Hint, "");
}

TEST(FileNamePart, DoubleByteTrailBytesAreNeverSeparators) {
    // "表" is 95 5C and "ソ" is 83 5C in Shift-JIS: their second byte is the code of "\".
    ASSERT_EQ(std::string("表ソ"), "\x95\x5C\x83\x5C");  // the literals really are Shift-JIS
    std::string folder = "C:\\表示";
    EXPECT_EQ(ExtractFileName(folder + "\\ソフト.txt"), "ソフト.txt");
    EXPECT_EQ(ExtractFilePath(folder + "\\ソフト.txt"), folder + "\\");
    EXPECT_EQ(ExtractFileName("C:\\表"), "表");
    EXPECT_EQ(ExtractFileName("ソ"), "ソ");
    EXPECT_EQ(ExtractFileName("C:file.txt"), "file.txt");
    EXPECT_EQ(ExtractFileName("C:\\dir\\"), "");
    EXPECT_EQ(ExtractFileName("plain"), "plain");
    EXPECT_EQ(ExtractFilePath("plain"), "");
}

TEST(FileNamePart, FollowsTheInstalledLeadByteTest) {
    // On a code page without lead bytes, 0xE9 is a letter and the "\" after it separates.
    SetLeadByteTest([](unsigned char) { return false; });
    EXPECT_EQ(ExtractFileName("C:\\Jos\xE9\\a.txt"), "a.txt");
    SetLeadByteTest(nullptr);
    EXPECT_EQ(ExtractFileName("C:\\x\\\x95\\"), "\x95\\");
}

TEST(ErrorBox, FinalFullStopRule) {
    EXPECT_EQ(ErrorBoxText("StrToBoolは、True/Falseのみ受け付けます"), "StrToBoolは、True/Falseのみ受け付けます.");
    EXPECT_EQ(ErrorBoxText("Done."), "Done.");
    EXPECT_EQ(ErrorBoxText("Really!"), "Really!");  // "!" sorts before "."
    EXPECT_EQ(ErrorBoxText("(a)"), "(a)");
    EXPECT_EQ(ErrorBoxText("abc"), "abc.");
    EXPECT_EQ(ErrorBoxText("a/"), "a/.");
    EXPECT_EQ(ErrorBoxText(""), "");
}
