#include "app/SettingsText.h"

#include <gtest/gtest.h>

#include "toolkit/Classes.h"

namespace {

std::vector<std::string> Lines(std::initializer_list<const char*> items) {
    return std::vector<std::string>(items.begin(), items.end());
}

// Records the loader's conversation with the form.
class TFakeHost : public IRegiLoadHost {
public:
    std::vector<std::string> existing;
    bool answerRemove = false;
    std::vector<std::string> asked;
    std::vector<TRegiEntry> appended;

    bool EntryExists(const std::string& path) override {
        return std::find(existing.begin(), existing.end(), path) != existing.end();
    }
    bool AskRemoveMissing(const std::string& path) override {
        asked.push_back(path);
        return answerRemove;
    }
    void AppendEntry(const TRegiEntry& e) override { appended.push_back(e); }
};

}  // namespace

TEST(SettingsLines, EveryKindOfLineEnd) {
    EXPECT_EQ(SplitTextLines("a\r\nb\rc\nd"), Lines({"a", "b", "c", "d"}));
    EXPECT_EQ(SplitTextLines("a\r\n"), Lines({"a"}));
    EXPECT_EQ(SplitTextLines("a\r\n\r\n"), Lines({"a", ""}));
    EXPECT_EQ(SplitTextLines("\n\r"), Lines({"", ""}));
    EXPECT_EQ(SplitTextLines("a\n\r\nb"), Lines({"a", "", "b"}));
    EXPECT_TRUE(SplitTextLines("").empty());
}

TEST(SettingsLines, NulBytesAreDroppedWhereverTheyStand) {
    using namespace std::string_view_literals;
    EXPECT_EQ(SplitTextLines("\0\0a\0b\0\r\n\0\0\0\r\nc"sv), Lines({"ab", "", "c"}));
    // A zero-filled tail after the last line end opens no line; one with text in it does.
    EXPECT_EQ(SplitTextLines("a\r\n\0\0\0\0"sv), Lines({"a"}));
    EXPECT_EQ(SplitTextLines("a\r\n\0\0x\0"sv), Lines({"a", "x"}));
    EXPECT_TRUE(SplitTextLines("\0\0\0"sv).empty());
}

TEST(SettingsKeys, FirstLineWinsCaseIgnoredNothingTrimmed) {
    auto lines = Lines({"[Initialize]", "pannelcol=4", "PannelCol=5", "BtnWidth =20", "Left= 7", "Top=1=2", "Empty="});
    EXPECT_EQ(FindKeyValue(lines, "PannelCol"), "4");
    EXPECT_EQ(FindKeyValue(lines, "BtnWidth"), "");  // a space before "=" is part of the key
    EXPECT_EQ(FindKeyValue(lines, "Left"), " 7");
    EXPECT_EQ(FindKeyValue(lines, "Top"), "1=2");
    EXPECT_EQ(FindKeyValue(lines, "Empty"), "");
    EXPECT_EQ(FindKeyValue(lines, "Missing"), "");
    EXPECT_EQ(FindKeyValue(lines, "Pannel"), "");
}

TEST(SettingsKeys, FoundInAnySection) {
    auto lines = Lines({"[Registered Files]", "PannelRow=4", "[Initialize]", "PannelRow=1"});
    EXPECT_EQ(FindKeyValue(lines, "PannelRow"), "4");
}

TEST(SettingsIntegers, DecimalHexSignsBlanksAndGarbage) {
    EXPECT_EQ(ReadIntDef("42", -1), 42);
    EXPECT_EQ(ReadIntDef("   42", -1), 42);
    EXPECT_EQ(ReadIntDef("+42", -1), 42);
    EXPECT_EQ(ReadIntDef("-42", -1), -42);
    EXPECT_EQ(ReadIntDef("$1F", -1), 31);
    EXPECT_EQ(ReadIntDef("$ff", -1), 255);
    EXPECT_EQ(ReadIntDef("-$10", -1), -16);
    EXPECT_EQ(ReadIntDef("$FFFFFFFF", 0), -1);
    EXPECT_EQ(ReadIntDef("2147483647", 0), 2147483647);
    EXPECT_EQ(ReadIntDef("-2147483648", 0), INT32_MIN);
    for (const char* bad : {"", " ", "+", "-", "$", "42 ", "4 2", "42px", "0x10", "1e3", "2147483648",
                            "-2147483649", "$100000000", "99999999999999999999", "\t5", "４２"})
        EXPECT_EQ(ReadIntDef(bad, 77), 77) << "'" << bad << "'";
}

TEST(SettingsValues, FileWithoutKeysTakesTheMissingKeyDefaults) {
    auto s = ReadSettingsValues(Lines({"[Registered Files]", "C:\\a.exe"}), 1024, 768);
    EXPECT_EQ(s.PannelCol, 2);
    EXPECT_EQ(s.PannelRow, 3);
    EXPECT_EQ(s.BtnWidth, 32);
    EXPECT_EQ(s.BtnHeight, 32);
    EXPECT_EQ(s.SmallLargeBoundary, 18);
    EXPECT_TRUE(s.Animation);
    EXPECT_EQ(s.ZumaroSpeed, 5);
    EXPECT_TRUE(s.ZumaroSound);
    EXPECT_EQ(s.ButtonsPerPage, 6);
    EXPECT_EQ(s.HotKey1, 0);
    EXPECT_EQ(s.HotKey2, "A");
    EXPECT_FALSE(s.AutoClose);
    EXPECT_EQ(s.Left, 1024 / 2 - 32);
    EXPECT_EQ(s.Top, 768 / 2 - 32);
}

TEST(SettingsValues, NoFileDefaults) {
    auto s = NoFileDefaults(1023, 767);
    EXPECT_EQ(s.PannelCol, 3);
    EXPECT_EQ(s.PannelRow, 2);
    EXPECT_EQ(s.SmallLargeBoundary, 24);
    EXPECT_EQ(s.HotKey1, 1);
    EXPECT_EQ(s.HotKey2, "A");
    EXPECT_EQ(s.ButtonsPerPage, 6);
    EXPECT_EQ(s.NumOfRegi, 0);
    EXPECT_TRUE(s.Animation && s.ZumaroSound && !s.AutoClose);
    EXPECT_EQ(s.Left, 511 - 32);
    EXPECT_EQ(s.Top, 383 - 32);
}

TEST(SettingsValues, HandEditedValues) {
    auto s = ReadSettingsValues(Lines({"PANNELCOL=4", "PannelRow=x", "BtnWidth=$14", "Animation=FALSE", "ZumaroSound=no",
                                       "HotKey1=7", "AutoClose=true", "Left=-5000", "Top=99999", "NumOfRegi=55"}),
                                800, 600);
    EXPECT_EQ(s.PannelCol, 4);
    EXPECT_EQ(s.PannelRow, 3);
    EXPECT_EQ(s.BtnWidth, 20);
    EXPECT_FALSE(s.Animation);
    EXPECT_TRUE(s.ZumaroSound);
    EXPECT_EQ(s.ButtonsPerPage, 12);
    EXPECT_EQ(s.HotKey1, 7);  // kept: it registers no modifier
    EXPECT_TRUE(s.AutoClose);
    EXPECT_EQ(s.Left, -5000);  // the stored place is used, even off the screen
    EXPECT_EQ(s.Top, 99999);
    EXPECT_EQ(s.NumOfRegi, 0);  // counted from the entries, never read
}

TEST(SettingsValues, HotKeyLetter) {
    auto key = [](const char* v) { return ReadSettingsValues(Lines({v}), 800, 600).HotKey2; };
    EXPECT_EQ(key("HotKey2=Z"), "Z");
    EXPECT_EQ(key("HotKey2=QR"), "Q");
    EXPECT_EQ(key("HotKey2=q"), "A");
    EXPECT_EQ(key("HotKey2=5"), "A");
    EXPECT_EQ(key("HotKey2="), "A");
    EXPECT_EQ(key("HotKey2=Ａ"), "A");  // a full-width letter is not a key code
}

TEST(SettingsValues, ValuesThatCannotWorkAreBroughtIntoRange) {
    auto s = ReadSettingsValues(Lines({"PannelCol=0", "PannelRow=-3", "BtnWidth=0", "BtnHeight=100000", "ZumaroSpeed=0"}),
                                800, 600);
    EXPECT_EQ(s.PannelCol, 1);
    EXPECT_EQ(s.PannelRow, 1);
    EXPECT_EQ(s.BtnWidth, 2);
    EXPECT_EQ(s.BtnHeight, 256);
    EXPECT_EQ(s.ZumaroSpeed, 1);
    EXPECT_EQ(s.ButtonsPerPage, 1);

    s = ReadSettingsValues(Lines({"PannelCol=2147483647", "PannelRow=2147483647", "ZumaroSpeed=-$80000000"}), 800, 600);
    EXPECT_EQ(s.PannelCol, 100);
    EXPECT_EQ(s.PannelRow, 100);
    EXPECT_EQ(s.ButtonsPerPage, 10000);
    EXPECT_EQ(s.ZumaroSpeed, 1);

    // Workable values outside the dialog's choices stay as they are.
    s = ReadSettingsValues(Lines({"PannelCol=8", "BtnWidth=40", "BtnHeight=12", "SmallLargeBoundary=-1", "ZumaroSpeed=20"}),
                           800, 600);
    EXPECT_EQ(s.PannelCol, 8);
    EXPECT_EQ(s.BtnWidth, 40);
    EXPECT_EQ(s.BtnHeight, 12);
    EXPECT_EQ(s.SmallLargeBoundary, -1);
    EXPECT_EQ(s.ZumaroSpeed, 20);
}

TEST(RegisteredFiles, DefaultsForFlagAndHint) {
    auto e = ParseRegiEntry("C:\\表示\\ソフト.txt");
    EXPECT_EQ(e.Path, "C:\\表示\\ソフト.txt");
    EXPECT_EQ(e.Flag, "False");
    EXPECT_EQ(e.Hint, "ソフト.txt");
    e = ParseRegiEntry("C:\\a\\b.exe/True");
    EXPECT_EQ(e.Flag, "True");
    EXPECT_EQ(e.Hint, "b.exe");
    e = ParseRegiEntry("C:\\a\\b.exe/True/");
    EXPECT_EQ(e.Flag, "True");
    EXPECT_EQ(e.Hint, "b.exe");
    e = ParseRegiEntry("C:\\a\\b.exe//a/b");
    EXPECT_EQ(e.Flag, "False");
    EXPECT_EQ(e.Hint, "a/b");
    e = ParseRegiEntry("C:\\a\\b.exe/yes/x");
    EXPECT_EQ(e.Flag, "yes");  // kept as read; reading it as a flag fails later, visibly
}

TEST(RegisteredFiles, HeaderMissingLastOrInAnyCase) {
    TFakeHost host;
    ReadRegisteredFiles(Lines({"[Initialize]", "PannelCol=3"}), host);
    EXPECT_TRUE(host.appended.empty());
    ReadRegisteredFiles(Lines({"[Initialize]", "[Registered Files]"}), host);
    EXPECT_TRUE(host.appended.empty());
    EXPECT_TRUE(host.asked.empty());
    host.existing = {"C:\\x"};
    ReadRegisteredFiles(Lines({"[registered files]", "C:\\x", "[Registered Files]", "C:\\x"}), host);
    // Everything after the first header is an entry, a second header line too (kept on No).
    ASSERT_EQ(host.appended.size(), 3u);
    EXPECT_EQ(host.appended[1].Path, "[Registered Files]");
    EXPECT_EQ(host.asked, std::vector<std::string>{"[Registered Files]"});
    EXPECT_EQ(FindRegisteredFilesLine(Lines({" [Registered Files]", "[REGISTERED FILES]"})), 1);
}

TEST(RegisteredFiles, MissingEntriesAreAskedAboutInOrder) {
    TFakeHost host;
    host.existing = {"C:\\a.exe", "C:\\c.exe"};
    auto lines = Lines({"[Registered Files]", "C:\\a.exe", "C:\\gone.exe/True/消えた", "", "C:\\c.exe"});
    host.answerRemove = false;  // No: kept at its place
    ReadRegisteredFiles(lines, host);
    EXPECT_EQ(host.asked, (std::vector<std::string>{"C:\\gone.exe", ""}));
    ASSERT_EQ(host.appended.size(), 4u);
    EXPECT_EQ(host.appended[1].Path, "C:\\gone.exe");
    EXPECT_EQ(host.appended[1].Hint, "消えた");
    EXPECT_EQ(host.appended[2].Path, "");
    EXPECT_EQ(host.appended[3].Path, "C:\\c.exe");

    TFakeHost yes;
    yes.existing = host.existing;
    yes.answerRemove = true;  // Yes: dropped
    ReadRegisteredFiles(lines, yes);
    ASSERT_EQ(yes.appended.size(), 2u);
    EXPECT_EQ(yes.appended[0].Path, "C:\\a.exe");
    EXPECT_EQ(yes.appended[1].Path, "C:\\c.exe");
}

TEST(SettingsFileText, ExactLinesInOrder) {
    TLauncherSettings s = NoFileDefaults(1024, 768);
    s.NumOfRegi = 2;
    s.HotKey1 = -3;
    TStringList files, flags, hints;
    files.Add("C:\\表示\\ソフト.txt");
    flags.Add("True");
    hints.Add("ソフト");
    files.Add("D:\\b");
    flags.Add("False");
    hints.Add("a/b");
    std::string text = FormatSettings(s, -10, 20, files, flags, hints);
    EXPECT_EQ(text,
              "[Initialize]\r\nPannelCol=3\r\nPannelRow=2\r\nBtnWidth=32\r\nBtnHeight=32\r\n"
              "SmallLargeBoundary=24\r\nAnimation=True\r\nZumaroSpeed=5\r\nZumaroSound=True\r\nNumOfRegi=2\r\n"
              "HotKey1=-3\r\nHotKey2=A\r\nAutoClose=False\r\nLeft=-10\r\nTop=20\r\n\r\n[Registered Files]\r\n"
              "C:\\表示\\ソフト.txt/True/ソフト\r\nD:\\b/False/a/b\r\n");
    EXPECT_EQ(text.find("ButtonsPerPage"), std::string::npos);
}

TEST(SettingsFileText, WriteThenReadGivesTheSameRecordAndLists) {
    TLauncherSettings s;
    s.PannelCol = 5;
    s.PannelRow = 4;
    s.BtnWidth = 20;
    s.BtnHeight = 18;
    s.SmallLargeBoundary = 16;
    s.Animation = false;
    s.ZumaroSpeed = 9;
    s.ZumaroSound = false;
    s.HotKey1 = 2;
    s.HotKey2 = "Q";
    s.AutoClose = true;
    s.ButtonsPerPage = 20;
    TStringList files, flags, hints;
    const char* paths[] = {"C:\\表示\\ソフト.txt", "C:\\Program Files\\x.exe", "\\\\server\\share\\y.bat"};
    for (int i = 0; i < 3; ++i) {
        files.Add(paths[i]);
        flags.Add(i == 1 ? "True" : "False");
        hints.Add(i == 2 ? "" : "ヒント" + std::to_string(i));
    }
    s.NumOfRegi = files.Count();
    std::string text = FormatSettings(s, 123, -45, files, flags, hints);

    auto lines = SplitTextLines(text);
    TLauncherSettings back = ReadSettingsValues(lines, 640, 480);
    TFakeHost host;
    host.existing.assign(std::begin(paths), std::end(paths));
    ReadRegisteredFiles(lines, host);
    back.NumOfRegi = static_cast<int32_t>(host.appended.size());
    TLauncherSettings want = s;
    want.Left = 123;
    want.Top = -45;
    EXPECT_EQ(back, want);
    ASSERT_EQ(host.appended.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(host.appended[i].Path, files[i]);
        EXPECT_EQ(host.appended[i].Flag, flags[i]);
    }
    EXPECT_EQ(host.appended[0].Hint, "ヒント0");
    EXPECT_EQ(host.appended[2].Hint, "y.bat");  // an empty hint comes back as the file name
    EXPECT_TRUE(host.asked.empty());
}
