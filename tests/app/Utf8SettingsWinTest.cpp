// A settings file saved as UTF-8 by a modern editor: read as the text it is, written back as
// Shift-JIS. Narrow literals here are Shift-JIS; u8 literals stay UTF-8 (and out of the test
// macros, which spell their arguments in Shift-JIS).
#include "app/SettingsFile.h"

#include <gtest/gtest.h>

#include "app/SystemNames.h"
#include "app/TextEncoding.h"
#include "app/UnitUtils.h"
#include "panel/UnitMain.h"
#include "support/WinTestSupport.h"

namespace {

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::string SjisToUtf8(const std::string& sjis) {
    std::wstring wide = SjisToWide(sjis);
    int n = static_cast<int>(wide.size());
    int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(m), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data(), m, nullptr, nullptr);
    return out;
}

std::string Head(int n) {
    return "[Initialize]\r\nPannelCol=4\r\nPannelRow=2\r\nBtnWidth=24\r\nBtnHeight=24\r\nSmallLargeBoundary=20\r\n"
           "Animation=False\r\nZumaroSpeed=7\r\nZumaroSound=False\r\nNumOfRegi=" +
           std::to_string(n) + "\r\nHotKey1=2\r\nHotKey2=K\r\nAutoClose=False\r\nLeft=40\r\nTop=50\r\n\r\n[Registered Files]\r\n";
}

}  // namespace

TEST(SettingsFileUtf8, ConvertedToShiftJis) {
    // The run is under the code page its locale names (wine-run.sh's ZUMARO_LANG; ctest runs the tests
    // of text again under hi_IN.UTF-8): otherwise it would test nothing new.
    char lang[64] = {};
    GetEnvironmentVariableA("ZUMARO_LANG", lang, sizeof lang);
    EXPECT_EQ(GetACP(), std::string(lang) == "hi_IN.UTF-8" ? 65001u : std::string(lang) == "C.UTF-8" ? 1252u : 932u);
    std::string japanese = U8(u8"C:\\表示ソフト\\フォルダ\\ﾌｫﾙﾀﾞ.txt");
    EXPECT_EQ(Utf8ToSjis(japanese), "C:\\表示ソフト\\フォルダ\\ﾌｫﾙﾀﾞ.txt");
    // The JIS spellings of code page 932's own characters name the same bytes.
    std::string jis = U8(u8"2020〜2021 ¥100 −1");
    EXPECT_EQ(Utf8ToSjis(jis), "2020～2021 \\100 －1");
    // No form of their own: "?", never a look-alike.
    std::string foreign = U8(u8"café 한 😀.txt");
    std::string ansi = Utf8ToSjis(foreign);
    EXPECT_EQ(ansi.substr(0, 5), "caf? ");
    EXPECT_EQ(ansi.find_first_not_of("caf? .txt"), std::string::npos) << ansi;
    EXPECT_EQ(Utf8ToSjis("a\xFF" "b"), "a?b");
    EXPECT_EQ(Utf8ToSjis(""), "");
}

TEST(SettingsFileUtf8, LongTextConvertedInPiecesWithoutSplittingACharacter) {
    std::string hyou = U8(u8"表");
    std::string text;
    for (size_t filler : {(1u << 20) - 1, (1u << 20) - 2, 5u}) text += std::string(filler, 'a') + hyou + "\n";
    std::string want;
    for (size_t filler : {(1u << 20) - 1, (1u << 20) - 2, 5u}) want += std::string(filler, 'a') + "表\n";
    EXPECT_TRUE(Utf8ToSjis(text) == want);
}

TEST(SettingsFileUtf8, ReadSettingsTextConvertsOnlyUtf8) {
    TTempFolder dir;
    std::string sjis = "[Registered Files]\r\nC:\\表示ソフト\\ソ.txt\r\n";
    std::string path = dir / "Zumaro.ini";
    std::string text;
    DWORD error = 0;
    for (const std::string& bytes : {sjis, SjisToUtf8(sjis), std::string("\xEF\xBB\xBF") + SjisToUtf8(sjis)}) {
        WriteFileBytes(path, bytes);
        ASSERT_EQ(ReadSettingsText(path, text, error), TReadResult::Ok);
        EXPECT_EQ(text, sjis);
    }
    // A mark before ASCII only: the mark goes, the rest stays.
    WriteFileBytes(path, "\xEF\xBB\xBFPannelCol=4\r\n");
    ASSERT_EQ(ReadSettingsText(path, text, error), TReadResult::Ok);
    EXPECT_EQ(text, "PannelCol=4\r\n");
    EXPECT_EQ(ReadSettingsText(dir / "none.ini", text, error), TReadResult::Missing);
}

// The panel on a UTF-8 file whose Japanese paths name real files, with and without the mark: no
// question, the entries with their Shift-JIS paths, and a Shift-JIS file at the end.
TEST(SettingsFileUtf8, PanelLoadsUtf8EntriesAndSavesShiftJis) {
    for (bool bom : {true, false}) {
        SCOPED_TRACE(bom ? "with the mark" : "without the mark");
        TTempFolder dir("表示ソフト");
        ASSERT_TRUE(CreateDirectoryW(SjisToWide(dir / "フォルダ表").c_str(), nullptr));
        WriteFileBytes(dir / "ソフト.txt", "memo");
        WriteFileBytes(dir / "予定2020～2021.txt", "plan");
        // As Shift-JIS, then in UTF-8 as an editor saves it, the wave dash in its JIS spelling.
        std::string sjisEntries = dir / "ソフト.txt" + "\r\n" + dir / "フォルダ表" + "/True/フォルダ/その他\r\n" +
                                  dir / "予定2020～2021.txt" + "/False/予定\r\n";
        std::string utf8 = SjisToUtf8(Head(3) + sjisEntries);
        std::string fullwidthTilde = U8(u8"～"), waveDash = U8(u8"〜");
        utf8.replace(utf8.find(fullwidthTilde), fullwidthTilde.size(), waveDash);
        WriteFileBytes(dir / "Zumaro.ini", (bom ? std::string("\xEF\xBB\xBF") : std::string()) + utf8);

        TBoxAnswerer boxes({IDYES, IDYES, IDYES});  // a question would lose an entry
        TfrmMain* form = new TfrmMain(Application, dir.Path());
        EXPECT_TRUE(boxes.Seen.empty()) << boxes.Seen[0].Text;
        ASSERT_EQ(form->RegiFileList->Count(), 3);
        EXPECT_EQ((*form->RegiFileList)[0], dir / "ソフト.txt");
        EXPECT_EQ((*form->RegiFileList)[1], dir / "フォルダ表");
        EXPECT_EQ((*form->RegiFileList)[2], dir / "予定2020～2021.txt");
        EXPECT_EQ((*form->AriasList)[0], "ソフト.txt");
        EXPECT_EQ((*form->AriasList)[1], "フォルダ/その他");
        EXPECT_EQ((*form->UseAriasList)[1], "True");
        EXPECT_EQ(form->LargeIconList.size(), 3u);
        EXPECT_EQ(form->SmallIconList.size(), 3u);
        EXPECT_EQ(form->LauncherSettings.NumOfRegi, 3);
        EXPECT_EQ(form->LauncherSettings.PannelCol, 4);
        EXPECT_EQ(form->LauncherSettings.HotKey2, "K");
        TComponent::Free(form);

        std::string saved = ReadFileBytes(dir / "Zumaro.ini");
        EXPECT_EQ(saved, Head(3) + dir / "ソフト.txt" + "/False/ソフト.txt\r\n" + dir / "フォルダ表" +
                             "/True/フォルダ/その他\r\n" + dir / "予定2020～2021.txt" + "/False/予定\r\n");
        EXPECT_EQ(DetectTextEncoding(saved), TTextEncoding::Ansi);
    }
}

// A character with no Shift-JIS form: an entry whose file is there is kept under its short form,
// with its own readable hint, and nobody is asked; one whose file is gone is asked about alone,
// like any vanished file. The others load, and the values too.
TEST(SettingsFileUtf8, EntriesWithoutAShiftJisFormKeepTheirFileOrAreAskedAbout) {
    TTempFolder dir;
    WriteFileBytes(dir / "表.txt", "a");
    std::wstring wideDir = WidePath(dir.Path());
    ASSERT_TRUE(MakeWideFile(wideDir + L"caf\u00e9.txt") && MakeWideFile(wideDir + L"own\u2615.txt"));
    std::string cafe = U8(u8"café.txt"), own = U8(u8"own☕.txt"), gone = U8(u8"gone☕.txt");
    std::string utf8 = SjisToUtf8(Head(4) + dir / "表.txt" + "\r\n" + dir.Path()) + cafe + "\r\n" +
                       SjisToUtf8(dir.Path()) + own + "/True/" + U8(u8"自分のヒント") + "\r\n" +
                       SjisToUtf8(dir.Path()) + gone + "/True/" + gone + "\r\n";
    WriteFileBytes(dir / "Zumaro.ini", utf8);

    TBoxAnswerer boxes({IDNO});
    TfrmMain* form = new TfrmMain(Application, dir.Path());
    ASSERT_EQ(boxes.Seen.size(), 1u);
    EXPECT_EQ(boxes.Seen[0].Text,
              "登録されたファイル(" + dir / "gone?.txt" + ")が見つかりません。登録リストから削除してもいいですか？");
    ASSERT_EQ(form->RegiFileList->Count(), 4);
    EXPECT_EQ((*form->RegiFileList)[0], dir / "表.txt");
    for (int i : {1, 2}) {
        const std::string& path = (*form->RegiFileList)[i];
        EXPECT_TRUE(FileExists(path)) << path;
        EXPECT_EQ(path.find('?'), std::string::npos) << path;
        EXPECT_EQ(path.rfind(dir.Path(), 0), 0u) << path;
        EXPECT_EQ((*form->UseAriasList)[i], "True");
    }
    EXPECT_EQ((*form->AriasList)[1], WideToSjisReadable(L"caf\u00e9.txt")) << "its own readable name";
    EXPECT_EQ((*form->AriasList)[2], "自分のヒント") << "a hint of its own is kept";
    EXPECT_EQ((*form->RegiFileList)[3], dir / "gone?.txt");  // kept on No, as any missing entry
    EXPECT_EQ(form->LauncherSettings.PannelCol, 4);
    TComponent::Free(form);
}

// A path is read as it is spelt before its JIS spellings are folded: a file really named with "—"
// or "¥" is that file (under its short form), even where the folded name is another file that is
// there too. The file as it was is kept beside it before the first save writes Shift-JIS.
TEST(SettingsFileUtf8, PathsAreReadAsSpeltFirstAndTheOriginalIsKeptBeside) {
    TTempFolder dir;
    std::wstring wideDir = WidePath(dir.Path());
    const std::wstring dash = wideDir + L"\u7dda\u2014.txt", yen = wideDir + L"\u5186\u00a5.txt";
    ASSERT_TRUE(MakeWideFile(dash) && MakeWideFile(yen));
    WriteFileBytes(dir / "線―.txt", "the folded spelling's own file");
    std::string utf8 = SjisToUtf8(Head(2) + dir.Path()) + U8(u8"線—.txt") + "\r\n" + SjisToUtf8(dir.Path()) +
                       U8(u8"円¥.txt") + "/True/" + U8(u8"円") + "\r\n";
    WriteFileBytes(dir / "Zumaro.ini", utf8);

    TBoxAnswerer boxes({IDNO});
    TfrmMain* form = new TfrmMain(Application, dir.Path());
    EXPECT_TRUE(boxes.Seen.empty()) << boxes.Seen[0].Text;
    ASSERT_EQ(form->RegiFileList->Count(), 2);
    for (int i : {0, 1}) {
        std::wstring reached(MAX_PATH, L'\0');
        reached.resize(GetLongPathNameW(SjisToWide((*form->RegiFileList)[i]).c_str(), reached.data(), MAX_PATH));
        EXPECT_TRUE(reached == (i == 0 ? dash : yen)) << (*form->RegiFileList)[i];
        EXPECT_EQ((*form->UseAriasList)[i], "True");
    }
    EXPECT_EQ((*form->AriasList)[1], "円") << "a hint of its own is kept";
    EXPECT_FALSE(PathExists(dir / "Zumaro.ini.utf8")) << "nothing written before the first save";
    TComponent::Free(form);
    EXPECT_EQ(ReadFileBytes(dir / "Zumaro.ini.utf8"), utf8);
    EXPECT_EQ(DetectTextEncoding(ReadFileBytes(dir / "Zumaro.ini")), TTextEncoding::Ansi);
}
