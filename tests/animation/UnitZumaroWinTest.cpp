// The real sprite window in-process: its shape, the flight it really flies, a click on it.
#include "animation/UnitZumaro.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "animation/FlightPlan.h"
#include "support/WinTestSupport.h"

TEST(Sprite, ShapedLikeTheFigure) {
    auto* z = new TfrmZumaro(Application);
    EXPECT_FALSE(IsWindowVisible(z->Handle()));
    EXPECT_EQ(z->imgZumaro->Picture.Width(), 64);
    EXPECT_EQ(z->imgZumaro->Picture.Pixel(0, 0), RGB(0, 0, 0));
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(z->Handle(), rgn), ERROR);
    EXPECT_TRUE(PtInRegion(rgn, 32, 18));  // the icon square
    EXPECT_TRUE(PtInRegion(rgn, 19, 18));  // its frame
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));   // the black corners are not part of the window
    EXPECT_FALSE(PtInRegion(rgn, 63, 63));
    DeleteObject(rgn);
    // The form keeps its own region apart from the window's copy.
    EXPECT_TRUE(PtInRegion(z->ShapeRegion.Get(), 32, 18));
    TComponent::Free(z);
}

TEST(Sprite, FliesTheScheduleAndHidesAgain) {
    auto* z = new TfrmZumaro(Application);
    std::vector<DWORD> waits;
    std::vector<RECT> places;
    z->Wait = [&](DWORD ms) { waits.push_back(ms); };
    z->OnMoved = [&](int) {
        RECT r;
        GetWindowRect(z->Handle(), &r);
        places.push_back(r);
        EXPECT_TRUE(IsWindowVisible(z->Handle()));
    };
    TBitmap icon;
    icon.SetSize(32, 32);
    z->Fly(&icon, 5);
    auto plan = FlightPlan(GetSystemMetrics(SM_CYSCREEN), 5);
    ASSERT_EQ(places.size(), plan.size());
    for (size_t i = 0; i < plan.size(); ++i) {
        EXPECT_EQ(places[i].top, plan[i].Top);
        EXPECT_EQ(places[i].left, GetSystemMetrics(SM_CXSCREEN) / 2);
        EXPECT_EQ(places[i].right - places[i].left, 64);
    }
    EXPECT_EQ(waits.size(), plan.size() - 1);
    EXPECT_EQ(waits[0], plan[0].Wait);
    EXPECT_FALSE(IsWindowVisible(z->Handle()));
    EXPECT_EQ(z->imgApp->Picture.Width(), 32);  // keeps the last icon
    TComponent::Free(z);
}

TEST(Sprite, IsOnTheScreenWholeDuringItsFirstWait) {
    auto* z = new TfrmZumaro(Application);
    TBitmap icon;
    icon.SetSize(32, 32);
    {
        TBitmapCanvas canvas(icon);
        RECT all{0, 0, 32, 32};
        HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
        FillRect(canvas.Handle(), &all, blue);
        DeleteObject(blue);
    }
    int waits = 0, spriteMatches = 0, spriteChecked = 0;
    COLORREF iconSeen = CLR_INVALID;
    z->Wait = [&](DWORD) {
        if (waits++ != 0) return;
        // What the screen shows during the first wait, read back from the display.
        RECT r;
        GetWindowRect(z->Handle(), &r);
        HDC screen = GetDC(nullptr);
        const TBitmap& sprite = z->imgZumaro->Picture;
        for (int y = 0; y < 64; y += 3)
            for (int x = 0; x < 64; x += 3) {
                POINT p{x, y};
                if (!PtInRegion(z->ShapeRegion.Get(), x, y) || z->ControlAtPos(p.x, p.y) != z->imgZumaro) continue;
                ++spriteChecked;
                spriteMatches += GetPixel(screen, r.left + x, r.top + y) == sprite.Pixel(x, y);
            }
        POINT a{z->imgApp->Left(), z->imgApp->Top()};
        ClientToScreen(z->Handle(), &a);
        iconSeen = GetPixel(screen, a.x + 12, a.y + 12);
        ReleaseDC(nullptr, screen);
    };
    z->Fly(&icon, 1);
    EXPECT_GT(spriteChecked, 50);
    EXPECT_EQ(spriteMatches, spriteChecked) << "the sprite's pixels are on the screen";
    EXPECT_EQ(iconSeen, RGB(0, 0, 255)) << "and so is the entry's icon";
    TComponent::Free(z);
}

// The real waits: what another thread sends is answered during the flight, what is posted to the
// thread stays queued for the loop after it.
TEST(Sprite, DuringTheFlightSentMessagesAreAnsweredAndPostedOnesWait) {
    auto* z = new TfrmZumaro(Application);
    TBitmap icon;
    icon.SetSize(32, 32);
    constexpr UINT kPosted = WM_APP + 7;
    std::thread sender;
    std::atomic<ULONGLONG> answered{0};
    z->OnMoved = [&](int) {
        if (sender.joinable()) return;
        PostThreadMessageW(GetCurrentThreadId(), kPosted, 0, 0);
        HWND sprite = z->Handle();
        sender = std::thread([sprite, &answered] {
            DWORD_PTR result = 0;
            if (SendMessageTimeoutW(sprite, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result)) answered = GetTickCount64();
        });
    };
    z->Fly(&icon, 10);
    ULONGLONG landed = GetTickCount64();
    sender.join();
    EXPECT_NE(answered.load(), 0u);
    EXPECT_LT(answered.load() + 1000, landed) << "answered in the flight's first second, not after it";
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, kPosted, kPosted, PM_REMOVE)) << "the posted message is still queued";
    TComponent::Free(z);
}

TEST(Sprite, AClickOnTheSpriteHidesItButNotOnTheIcon) {
    auto* z = new TfrmZumaro(Application);
    z->Show();
    // Clicks as the system sends them to the sprite's window: the icon square is the icon's.
    auto click = [&](int x, int y) {
        SendMessageA(z->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(z->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    };
    click(z->imgApp->Left() + 3, z->imgApp->Top() + 3);
    EXPECT_TRUE(IsWindowVisible(z->Handle()));
    POINT p{32, 40};  // below the icon square, on the figure
    ClientToScreen(z->Handle(), &p);
    EXPECT_EQ(z->ControlAtPos(32, 18), z->imgApp);
    EXPECT_EQ(z->ControlAtPos(32, 40), z->imgZumaro);
    click(32, 40);
    EXPECT_FALSE(IsWindowVisible(z->Handle()));
    TComponent::Free(z);
}

// On a monitor of another scale the sprite is the figure that much larger, shaped alike, and
// flies the flight of that scale.
TEST(Sprite, DrawnAndShapedAtTheNewScaleWhenTheDpiChanges) {
    auto* z = new TfrmZumaro(Application);
    RECT suggested{10, 10, 106, 106};
    SendMessageA(z->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(z->imgZumaro->Picture.Width(), 96);
    EXPECT_EQ((std::vector{z->imgApp->Left(), z->imgApp->Top(), z->imgApp->Width()}), (std::vector{30, 11, 36}));
    TBitmap figure;
    ASSERT_TRUE(figure.LoadFromResourceName("ZUMARO"));
    int agree = 0, checked = 0;
    for (int y = 0; y < 64; y += 2)
        for (int x = 0; x < 64; x += 2) {
            // Each pixel of the figure is a square of the sprite, in the shape where it is drawn.
            bool drawn = figure.Pixel(x, y) != RGB(0, 0, 0);
            int sx = x * 3 / 2, sy = y * 3 / 2;
            EXPECT_EQ(z->imgZumaro->Picture.Pixel(sx, sy), figure.Pixel(x, y)) << x << "," << y;
            ++checked;
            agree += PtInRegion(z->ShapeRegion.Get(), sx, sy) == (drawn ? TRUE : FALSE);
        }
    EXPECT_GT(agree, checked * 95 / 100) << "the shape follows the figure";
    EXPECT_FALSE(PtInRegion(z->ShapeRegion.Get(), 0, 0));
    EXPECT_FALSE(PtInRegion(z->ShapeRegion.Get(), 95, 95));

    std::vector<RECT> places;
    z->Wait = [](DWORD) {};
    z->OnMoved = [&](int) {
        RECT r;
        GetWindowRect(z->Handle(), &r);
        places.push_back(r);
    };
    TBitmap icon;
    icon.SetSize(48, 48);
    z->Fly(&icon, 5);
    auto plan = FlightPlan(GetSystemMetrics(SM_CYSCREEN), 5, 144);
    ASSERT_EQ(places.size(), plan.size());
    EXPECT_EQ(places[0].top, plan[0].Top);
    EXPECT_EQ(places[0].bottom - places[0].top, 96);
    TComponent::Free(z);
}
