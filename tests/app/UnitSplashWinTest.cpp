#include "app/UnitSplash.h"

#include <gtest/gtest.h>

TEST(Splash, SizedToItsFrameCentredAndReleasedByTheLoop) {
    auto* splash = new TfrmSplash(Application);
    splash->Show();
    UpdateWindow(splash->Handle());
    HWND h = splash->Handle();
    char cls[32] = {}, caption[64] = {};
    GetClassNameA(h, cls, sizeof cls);
    GetWindowTextA(h, caption, sizeof caption);
    EXPECT_STREQ(cls, "TfrmSplash");
    EXPECT_STREQ(caption, "Splash Window");
    RECT r;
    GetWindowRect(h, &r);
    EXPECT_EQ(r.right - r.left, 282);
    EXPECT_EQ(r.bottom - r.top, 50);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 282) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 50) / 2);
    EXPECT_FALSE(GetWindowLongA(h, GWL_STYLE) & WS_CAPTION);

    HDC dc = GetDC(h);
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    EXPECT_EQ(GetPixel(dc, 0, 0), shadow);    // the sunken frame: shadow outside...
    EXPECT_EQ(GetPixel(dc, 279, 47), shadow);
    EXPECT_EQ(GetPixel(dc, 1, 1), light);     // ...light one pixel in
    EXPECT_EQ(GetPixel(dc, 280, 48), light);
    int ink = 0;  // the label's text is drawn from (48, 16)
    for (int y = 16; y < 30; ++y)
        for (int x = 48; x < 240; ++x) ink += GetPixel(dc, x, y) == GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_GT(ink, 100);
    ReleaseDC(h, dc);

    splash->Release();
    EXPECT_TRUE(IsWindow(h));  // not before the loop runs
    Application->ProcessMessages();
    EXPECT_FALSE(IsWindow(h));
}
