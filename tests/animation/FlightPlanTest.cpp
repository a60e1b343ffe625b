#include "animation/FlightPlan.h"

#include <gtest/gtest.h>

namespace {

struct TSummary {
    size_t moves = 0, waits = 0;
    int64_t total = 0;
    int end = 0;
};

TSummary Summarise(int screenHeight, int32_t speed) {
    TSummary s;
    for (const TFlightStep& step : FlightPlan(screenHeight, speed)) {
        ++s.moves;
        if (step.Wait > 0) ++s.waits;
        s.total += step.Wait;
        s.end = step.Top;
    }
    return s;
}

}  // namespace

TEST(Flight, FiguresForA768PixelScreen) {
    EXPECT_EQ(FlightStartTop(768), 704);
    auto plan = FlightPlan(768, 5);
    ASSERT_GE(plan.size(), 13u);
    EXPECT_EQ(plan[0].Top, 674);  // 30 pixels a move
    std::vector<int32_t> first;
    for (size_t i = 0; i < 13; ++i) first.push_back(plan[i].Wait);
    EXPECT_EQ(first, (std::vector<int32_t>{316, 260, 223, 198, 182, 171, 164, 159, 156, 154, 152, 151, 150}));
    TSummary s5 = Summarise(768, 5);
    EXPECT_EQ(s5.moves, 26u);
    EXPECT_EQ(s5.waits, 25u);
    EXPECT_EQ(s5.total, 4236);
    EXPECT_EQ(s5.end, -76);

    TSummary s10 = Summarise(768, 10);
    EXPECT_EQ(FlightPlan(768, 10)[0].Top, 704 - 45);
    EXPECT_EQ(FlightPlan(768, 10)[0].Wait, 183);
    EXPECT_EQ(s10.moves, 18u);
    EXPECT_EQ(s10.waits, 17u);
    EXPECT_EQ(s10.total, 2641);

    TSummary s1 = Summarise(768, 1);
    EXPECT_EQ(FlightPlan(768, 1)[0].Top, 704 - 18);
    EXPECT_EQ(FlightPlan(768, 1)[0].Wait, 1383);
    EXPECT_EQ(s1.moves, 43u);
    EXPECT_EQ(s1.waits, 42u);
    EXPECT_EQ(s1.total, 9990);
}

TEST(Flight, ATopOfExactlyMinus64GoesOn) {
    // 30-pixel moves from 56 reach -64 exactly on the 4th move, which still waits.
    auto plan = FlightPlan(56 + 64, 5);
    ASSERT_EQ(plan.size(), 5u);
    EXPECT_EQ(plan[3].Top, -64);
    EXPECT_GT(plan[3].Wait, 0);
    EXPECT_EQ(plan[4].Top, -94);
    EXPECT_EQ(plan[4].Wait, 0);
}

TEST(Flight, LeftEdgeAndUnusableSpeeds) {
    EXPECT_EQ(FlightLeft(1023), 511);
    for (int32_t speed : {0, -5, INT32_MIN}) {
        TSummary s = Summarise(768, speed);
        TSummary one = Summarise(768, 1);
        EXPECT_EQ(s.moves, one.moves) << speed;
        EXPECT_EQ(s.total, one.total) << speed;
    }
    // A huge speed still ends after one move; a huge screen stops at the cap.
    EXPECT_EQ(FlightPlan(768, INT32_MAX).size(), 1u);
    EXPECT_EQ(FlightPlan(1000000000, 1).size(), static_cast<size_t>(kMaxFlightSteps));
}

// At 144 dpi the same screen has half as many pixels again: the sprite and each move are that
// much larger, and the flight takes the same moves and the same time.
TEST(Flight, AtAnotherDpiTheSameFlightInLargerSteps) {
    EXPECT_EQ(SpriteSize(144), 96);
    EXPECT_EQ(FlightStartTop(1152, 144), 1056);
    std::vector<TFlightStep> at96 = FlightPlan(768, 5), at144 = FlightPlan(1152, 5, 144);
    ASSERT_EQ(at144.size(), at96.size());
    for (size_t i = 0; i < at96.size(); ++i) {
        EXPECT_EQ(at144[i].Top, at96[i].Top * 3 / 2) << i;
        EXPECT_EQ(at144[i].Wait, at96[i].Wait) << i;
    }
    EXPECT_EQ(FlightPlan(1536, 10, 192).size(), FlightPlan(768, 10).size());
}
