// Progress bar step rule, counted without a window; many steps in one call
// against single steps, with and without a window.
#include <gtest/gtest.h>

#include <string>

#include "cwin/controls/ProgBar.h"

#include <commctrl.h>

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

// StepBy(n) against n steps of the rule, written out here one step at a time:
// the counter grows by one up to 0x7FFFFFFF; at or above the maximum the bar
// shows 0; otherwise a counter that is a multiple of the divisor is shown.
namespace {

struct StepModel
{
    int counter, maximum, divisor, shown, messages;
    void Step()
    {
        if (counter < 0x7FFFFFFF)
            ++counter;
        if (counter >= maximum) {
            shown = 0;
            ++messages;
        } else if (counter % divisor == 0) {
            shown = counter;
            ++messages;
        }
    }
};

struct StepCase
{
    int counter, maximum, divisor, steps;
};

void ExpectStepByMatches(const StepCase& c)
{
    CProgBar bar;
    bar.SetRedrawDivisor(c.divisor);
    // SetRange sets the counter without showing it: the bar still shows -77,
    // a position that no step of these cases shows.
    bar.SetPos(-77);
    bar.SetRange(c.counter, c.maximum, 0);
    // A long range raises the divisor (fewer redraws); the steps follow the one in force.
    StepModel model = { c.counter, c.maximum, bar.GetRedrawDivisor(), -77, 0 };
    for (int i = 0; i < c.steps; ++i)
        model.Step();
    bar.StepBy(c.steps);
    const std::string where = "counter " + std::to_string(c.counter) + ", maximum " + std::to_string(c.maximum) +
                              ", divisor " + std::to_string(model.divisor) + ", steps " + std::to_string(c.steps);
    EXPECT_EQ(model.counter, bar.GetCounter()) << where;
    EXPECT_EQ(model.shown, bar.GetShownPos()) << where;
}

}  // namespace

TEST(ProgBar, StepByEndsWhereSingleStepsEnd)
{
    const int counters[] = { -30, -7, -1, 0, 1, 2, 5, 9, 10, 11, 99, 100, 1000 };
    const int maximums[] = { -5, -1, 0, 1, 3, 10, 12, 100, 1001, 0x7FFFFFFF };
    const int divisors[] = { 1, 2, 3, 4, 7, 10, 64 };
    int cases = 0;
    for (int counter : counters)
        for (int maximum : maximums)
            for (int divisor : divisors)
                for (int steps = 0; steps <= 130; steps += steps < 24 ? 1 : 13) {
                    ExpectStepByMatches(StepCase{ counter, maximum, divisor, steps });
                    ++cases;
                }
    EXPECT_GT(cases, 20000);
}

TEST(ProgBar, StepByAcrossTheMaximumAndTheCap)
{
    const int cap = 0x7FFFFFFF;
    const StepCase cases[] = {
        { 8, 10, 1, 1 },  { 8, 10, 1, 2 },  { 8, 10, 1, 3 },   { 8, 10, 4, 1 },  { 9, 10, 4, 1 },
        { 10, 10, 1, 5 }, { 25, 10, 3, 4 }, { 0, 10, 4, 9 },   { 0, 10, 4, 10 }, { 0, 10, 20, 9 },
        { cap - 5, cap, 1, 4 },  { cap - 5, cap, 1, 5 },   { cap - 5, cap, 1, 6 },  { cap - 5, cap, 1, 100 },
        { cap - 5, cap, 7, 4 },  { cap - 1, cap, 3, 1 },   { cap, cap, 1, 1 },      { cap, cap, 1, 50 },
        { cap - 9, cap - 3, 2, 5 }, { cap - 9, cap - 3, 2, 6 }, { cap - 9, cap - 3, 2, 7 },
        { cap - 3, 5, 1, 10 },   { cap - 40, cap, 16, 39 }, { cap - 40, cap, 16, 40 }, { cap - 40, cap, 16, 41 },
        { -cap, cap, 1000, 999 }, { -cap, -cap + 10, 3, 12 }, { -9, 0, 4, 8 }, { -9, 0, 4, 9 },
    };
    for (const StepCase& c : cases)
        ExpectStepByMatches(c);
}

TEST(ProgBar, StepByOfNothingChangesNothing)
{
    CProgBar bar;
    bar.SetRange(0, 10, 0);
    bar.SetPos(4);
    bar.StepBy(0);
    bar.StepBy(-3);
    EXPECT_EQ(4, bar.GetCounter());
    EXPECT_EQ(4, bar.GetShownPos());
}

// With a window: the window ends at the position single steps leave it at, and
// StepBy sends it at most one position.
namespace {

int g_setPosMessages = 0;
WNDPROC g_progressProc = NULL;

LRESULT CALLBACK CountSetPos(HWND window, UINT message, WPARAM w, LPARAM l)
{
    if (message == PBM_SETPOS)
        ++g_setPosMessages;
    return CallWindowProcA(g_progressProc, window, message, w, l);
}

HWND MakeProgressWindow()
{
    INITCOMMONCONTROLSEX init = { sizeof(init), ICC_PROGRESS_CLASS };
    InitCommonControlsEx(&init);
    HWND window = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 200, 20, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    if (window)
        g_progressProc = (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)CountSetPos);
    return window;
}

}  // namespace

TEST(ProgBar, StepByWithAWindowShowsWhatSingleStepsShow)
{
    HWND single = MakeProgressWindow();
    HWND batched = MakeProgressWindow();
    ASSERT_TRUE(single && batched);
    const StepCase cases[] = { { 0, 100, 1, 37 }, { 0, 100, 8, 37 }, { 0, 100, 8, 39 }, { 0, 100, 50, 40 },
                               { 90, 100, 1, 10 }, { 90, 100, 3, 30 }, { 0, 1000, 7, 500 }, { 10, 20, 4, 1 },
                               { 16, 100, 8, 3 },  { 0, 100, 8, 7 } };
    for (const StepCase& c : cases) {
        CProgBar one, many;
        one.SetWindow(single);
        many.SetWindow(batched);
        for (CProgBar* bar : { &one, &many }) {
            bar->SetRedrawDivisor(c.divisor);
            bar->SetPos(55);   // shown until a step shows something else
            bar->SetRange(c.counter, c.maximum, 0);
        }
        for (int i = 0; i < c.steps; ++i)
            one.Step();
        g_setPosMessages = 0;
        many.StepBy(c.steps);
        EXPECT_LE(g_setPosMessages, 1);
        EXPECT_EQ(SendMessageA(single, PBM_GETPOS, 0, 0), SendMessageA(batched, PBM_GETPOS, 0, 0))
            << c.counter << " " << c.maximum << " " << c.divisor << " " << c.steps;
        EXPECT_EQ(one.GetCounter(), many.GetCounter());
        EXPECT_EQ(one.GetShownPos(), many.GetShownPos());
    }
    DestroyWindow(single);
    DestroyWindow(batched);
}
