// Replacing "Zumaro.ini" under faults: a crash between writing and replacing, leftovers of earlier
// saves, a settings file held open by another program.
#include "app/SettingsFile.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/WinTestSupport.h"

namespace {

const char kCrashVariable[] = "ZUMARO_TEST_CRASH_INI";

std::string Variable(const char* name) {
    char value[MAX_PATH * 2] = {};
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

bool ReadOnly(const std::string& path) {
    DWORD a = GetFileAttributesW(SjisToWide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY) != 0;
}

// The folder's file names other than the ones given.
std::vector<std::string> Others(const TTempFolder& dir, const std::vector<std::string>& known) {
    std::vector<std::string> others;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(SjisToWide(dir / "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return others;
    do {
        std::string name = WideToSjis(data.cFileName);
        if (name == "." || name == "..") continue;
        if (std::find(known.begin(), known.end(), name) == known.end()) others.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return others;
}

}  // namespace

// The process ends right after the new text is written and flushed beside the file, before it is
// moved over it: a child process does that, and this one looks at what is left.
TEST(SettingsFileFaults, CrashBeforeTheReplaceLeavesTheOldFileWholeAndTheNextSaveWorks) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::unique_ptr<TTempFolder> dir;
    if (Variable(kCrashVariable).empty()) {  // the parent; the child finds the folder in its environment
        // An ASCII name: Wine shortens double-byte texts handed down through the environment.
        dir = std::make_unique<TTempFolder>("save-crash");
        WriteFileBytes(*dir / "Zumaro.ini", "[Initialize]\r\nPannelCol=4\r\n");
        SetEnvironmentVariableA(kCrashVariable, (*dir / "Zumaro.ini").c_str());
    }
    EXPECT_EXIT(
        {
            SetAfterTempWrittenHook([](const std::string&) { TerminateProcess(GetCurrentProcess(), 7); });
            ReplaceFileContents(Variable(kCrashVariable), "[Initialize]\r\nPannelCol=5\r\n");
        },
        testing::ExitedWithCode(7), "");
    SetEnvironmentVariableA(kCrashVariable, nullptr);
    ASSERT_TRUE(dir);
    EXPECT_EQ(ReadFileBytes(*dir / "Zumaro.ini"), "[Initialize]\r\nPannelCol=4\r\n");
    EXPECT_EQ(ReadFileBytes(*dir / "Zumaro.ini.tmp"), "[Initialize]\r\nPannelCol=5\r\n");  // the crash's leftover

    EXPECT_EQ(ReplaceFileContents(*dir / "Zumaro.ini", "[Initialize]\r\nPannelCol=6\r\n"), 0u);
    EXPECT_EQ(ReadFileBytes(*dir / "Zumaro.ini"), "[Initialize]\r\nPannelCol=6\r\n");
    EXPECT_EQ(Others(*dir, {"Zumaro.ini"}), std::vector<std::string>{});
}

TEST(SettingsFileFaults, NoLeftoverOfAnEarlierSaveStopsTheNextOne) {
    TTempFolder dir;
    const std::string ini = dir / "Zumaro.ini", temp = dir / "Zumaro.ini.tmp";
    WriteFileBytes(ini, "old\r\n");

    // Read-only: overwritten, and its attribute does not reach the settings file.
    WriteFileBytes(temp, "half");
    ASSERT_TRUE(SetFileAttributesW(SjisToWide(temp).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(ReplaceFileContents(ini, "one\r\n"), 0u);
    EXPECT_EQ(ReadFileBytes(ini), "one\r\n");
    EXPECT_FALSE(ReadOnly(ini));
    EXPECT_FALSE(PathExists(temp));
    EXPECT_EQ(ReplaceFileContents(ini, "two\r\n"), 0u);  // and the file after it is still replaceable
    EXPECT_EQ(ReadFileBytes(ini), "two\r\n");

    // Held open by another program, sharing nothing: written under another name, which goes too.
    WriteFileBytes(temp, "half");
    HANDLE held =
        CreateFileW(SjisToWide(temp).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReplaceFileContents(ini, "three\r\n"), 0u);
    EXPECT_EQ(ReadFileBytes(ini), "three\r\n");
    EXPECT_EQ(Others(dir, {"Zumaro.ini", "Zumaro.ini.tmp"}), std::vector<std::string>{});
    CloseHandle(held);
    DeleteFileW(SjisToWide(temp).c_str());

    // A folder of that name.
    ASSERT_TRUE(CreateDirectoryW(SjisToWide(temp).c_str(), nullptr));
    EXPECT_EQ(ReplaceFileContents(ini, "four\r\n"), 0u);
    EXPECT_EQ(ReadFileBytes(ini), "four\r\n");
    EXPECT_EQ(Others(dir, {"Zumaro.ini", "Zumaro.ini.tmp"}), std::vector<std::string>{});
    RemoveDirectoryW(SjisToWide(temp).c_str());
}

TEST(SettingsFileFaults, AFailedReplaceKeepsTheOldFileAndLeavesNothingBeside) {
    TTempFolder dir;
    const std::string ini = dir / "Zumaro.ini";
    WriteFileBytes(ini, "old\r\n");
    // Another program reads it and lets nobody delete or rename it meanwhile.
    HANDLE held =
        CreateFileW(SjisToWide(ini).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    DWORD error = ReplaceFileContents(ini, "new\r\n");
    CloseHandle(held);
    EXPECT_NE(error, 0u);
    EXPECT_EQ(ReadFileBytes(ini), "old\r\n");
    EXPECT_EQ(Others(dir, {"Zumaro.ini"}), std::vector<std::string>{});
}

// A scanner that holds the file for a moment: the save waits for it instead of failing.
TEST(SettingsFileFaults, AFileHeldForAMomentIsReplacedOnceItIsLetGo) {
    TTempFolder dir;
    const std::string ini = dir / "Zumaro.ini";
    WriteFileBytes(ini, "old\r\n");
    HANDLE held =
        CreateFileW(SjisToWide(ini).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread scanner([held] {
        Sleep(300);
        CloseHandle(held);
    });
    DWORD error = ReplaceFileContents(ini, "new\r\n");
    scanner.join();
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(ReadFileBytes(ini), "new\r\n");
    EXPECT_EQ(Others(dir, {"Zumaro.ini"}), std::vector<std::string>{});
}
