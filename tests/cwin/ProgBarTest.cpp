// Progress bar step rule, counted without a window.
#include <gtest/gtest.h>

#include "ProgBar.h"

namespace {

TEST(ProgBar, RangeZeroToTenShowsOneToNineThenZero)
{
    CProgBar bar;
    bar.SetRange(0, 10, 0);
    for (int i = 1; i <= 9; ++i) {
        bar.Step();
        EXPECT_EQ(i, bar.GetShownPos());
    }
    bar.Step();
    EXPECT_EQ(0, bar.GetShownPos());
    bar.Step();
    bar.Step();
    EXPECT_EQ(0, bar.GetShownPos());
}

TEST(ProgBar, SetPosAndSetRangeRestartTheCounter)
{
    CProgBar bar;
    bar.SetRange(0, 10, 0);
    for (int i = 0; i < 12; ++i)
        bar.Step();
    bar.SetPos(3);
    EXPECT_EQ(3, bar.GetShownPos());
    bar.Step();
    EXPECT_EQ(4, bar.GetShownPos());
    bar.SetRange(5, 8, 0);
    EXPECT_EQ(5, bar.GetCounter());
    bar.Step();
    EXPECT_EQ(6, bar.GetShownPos());
}

TEST(ProgBar, OnlyEveryNthStepRedraws)
{
    CProgBar bar;
    bar.SetRedrawDivisor(4);
    bar.SetRange(0, 100, 0);
    bar.Step();
    bar.Step();
    bar.Step();
    EXPECT_EQ(0, bar.GetShownPos());
    bar.Step();
    EXPECT_EQ(4, bar.GetShownPos());
    bar.Step();
    EXPECT_EQ(4, bar.GetShownPos());
}

TEST(ProgBar, ANegativeRangeShowsNothingButZero)
{
    CProgBar bar;
    bar.SetRange(0, -1, 0);
    bar.Step();
    EXPECT_EQ(0, bar.GetShownPos());
}

}  // namespace
