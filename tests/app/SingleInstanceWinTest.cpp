// The start's guards: one instance per mutex name, and errors that reach the program's entry.
#include "app/SingleInstance.h"

#include <gtest/gtest.h>

#include <string>

#include "support/WinTestSupport.h"
#include "toolkit/Classes.h"

namespace {

std::string TestMutexName(const char* what) {
    return std::string("ZumaroTest-") + what + "-" + std::to_string(GetCurrentProcessId());
}

}  // namespace

TEST(SingleInstance, TheFirstClaimHoldsTheNameUntilItsHandleCloses) {
    std::string name = TestMutexName("claim");
    HANDLE first = nullptr, second = reinterpret_cast<HANDLE>(1);
    ASSERT_EQ(ClaimSingleInstance(name.c_str(), first), TInstanceStart::First);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ClaimSingleInstance(name.c_str(), second), TInstanceStart::AlreadyRunning);
    EXPECT_EQ(second, nullptr);
    CloseHandle(first);
    HANDLE again = nullptr;
    EXPECT_EQ(ClaimSingleInstance(name.c_str(), again), TInstanceStart::First);
    CloseHandle(again);
}

// Another user's or an elevated instance: the mutex is there, but this user may not open it.
TEST(SingleInstance, AMutexThatMayNotBeOpenedMeansAnInstanceRuns) {
    std::string name = TestMutexName("denied");
    ACL acl;
    InitializeAcl(&acl, sizeof acl, ACL_REVISION);
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, &acl, FALSE);  // an empty access list grants nobody anything
    SECURITY_ATTRIBUTES sa{sizeof sa, &sd, FALSE};
    HANDLE other = CreateMutexA(&sa, FALSE, name.c_str());
    ASSERT_NE(other, nullptr);
    // What the start meets: no handle, and the refusal as its reason.
    HANDLE plain = CreateMutexA(nullptr, FALSE, name.c_str());
    DWORD error = GetLastError();
    ASSERT_EQ(plain, nullptr);
    ASSERT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));

    HANDLE mine = reinterpret_cast<HANDLE>(1);
    EXPECT_EQ(ClaimSingleInstance(name.c_str(), mine), TInstanceStart::AlreadyRunning);
    EXPECT_EQ(mine, nullptr);
    CloseHandle(other);
}

TEST(ProgramEntry, AnErrorThatReachesTheEntryIsShownAndTheProgramEndsWithZero) {
    TBoxAnswerer boxes;
    EXPECT_EQ(RunReportingErrors("ズマロランチャー", [] { return 0; }), 0);
    EXPECT_TRUE(boxes.Seen.empty());

    EXPECT_EQ(RunReportingErrors("ズマロランチャー",
                                 []() -> int { throw EConvertError("StrToBoolは、True/Falseのみ受け付けます"); }),
              0);
    ASSERT_EQ(boxes.Seen.size(), 1u);
    EXPECT_EQ(boxes.Seen[0].Caption, "ズマロランチャー");
    EXPECT_EQ(boxes.Seen[0].Text, "StrToBoolは、True/Falseのみ受け付けます.");
    EXPECT_EQ(boxes.Seen[0].Icon, "stop");
    EXPECT_EQ(boxes.Seen[0].Buttons, std::vector<int>{IDOK});

    EXPECT_EQ(RunReportingErrors("ズマロランチャー", []() -> int { throw std::bad_alloc(); }), 0);
    ASSERT_EQ(boxes.Seen.size(), 2u);
    EXPECT_EQ(boxes.Seen[1].Text, ErrorBoxText(std::bad_alloc().what()));

    EXPECT_EQ(RunReportingErrors("ズマロランチャー", []() -> int { throw 42; }), 0);
    ASSERT_EQ(boxes.Seen.size(), 3u);
    EXPECT_EQ(boxes.Seen[2].Text, "予期しないエラーが発生しました。");
    EXPECT_EQ(boxes.Seen[2].Icon, "stop");
}
