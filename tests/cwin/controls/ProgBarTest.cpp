// Progress bar step rule, counted without a window; many steps in one call
// against single steps, with and without a window; the repaint protocol.
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

// The repaint protocol with a window: positions reach the window at most once
// per interval (by a clock the test moves), the end of a range at once, and
// the window answers the step rule's position whenever it is asked.
namespace {

DWORD g_now = 0;
DWORD WINAPI TestClock() { return g_now; }

struct SentPosition
{
    int count = 0;
    int last = -1;
};
SentPosition g_sent;
WNDPROC g_innerProc = NULL;

// Sits below the bar's own procedure: it sees what the bar gives the window.
LRESULT CALLBACK RecordSetPos(HWND window, UINT message, WPARAM w, LPARAM l)
{
    if (message == PBM_SETPOS) {
        ++g_sent.count;
        g_sent.last = (int)w;
    }
    return CallWindowProcA(g_innerProc, window, message, w, l);
}

class ProgBarRepaint : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_now = 100000;
        CProgBar::SetClock(TestClock);
        INITCOMMONCONTROLSEX init = { sizeof(init), ICC_PROGRESS_CLASS };
        InitCommonControlsEx(&init);
        window = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 200, 20, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
        ASSERT_NE((HWND)NULL, window);
        g_innerProc = (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)RecordSetPos);
        g_sent = SentPosition();
    }
    void TearDown() override
    {
        if (window)
            DestroyWindow(window);
        CProgBar::SetClock(NULL);
    }
    // What the window holds without asking it through the bar's procedure.
    int Held() { return (int)CallWindowProcA(g_innerProc, window, PBM_GETPOS, 0, 0); }
    int Asked() { return (int)SendMessageA(window, PBM_GETPOS, 0, 0); }

    HWND window = NULL;
};

TEST_F(ProgBarRepaint, StepsTenMillisecondsApartReachTheWindowEveryFifthStep)
{
    CProgBar bar;
    bar.SetWindow(window);
    bar.SetRange(0, 1000, 0);
    for (int i = 1; i <= 100; ++i) {
        g_now += 10;
        bar.Step();
        // Sent at steps 1, 6, 11, ...: 50 ms after the one before.
        EXPECT_EQ((i + 4) / 5, g_sent.count) << "step " << i;
        EXPECT_EQ(((i - 1) / 5) * 5 + 1, Held()) << "step " << i;
    }
    EXPECT_EQ(20, g_sent.count);
    EXPECT_EQ(96, g_sent.last);
    // Asked, the window answers the counter: the step rule with divisor 1.
    EXPECT_EQ(100, Asked());
    EXPECT_EQ(21, g_sent.count);
    EXPECT_EQ(100, bar.GetShownPos());
}

TEST_F(ProgBarRepaint, TheEndOfARangeAndSetPosReachTheWindowAtOnce)
{
    CProgBar bar;
    bar.SetWindow(window);
    bar.SetRange(0, 10, 0);
    for (int i = 1; i <= 9; ++i)
        bar.Step();   // no time passes: only the first step is sent
    EXPECT_EQ(1, g_sent.count);
    EXPECT_EQ(1, Held());
    bar.Step();       // the maximum: 0 at once
    EXPECT_EQ(2, g_sent.count);
    EXPECT_EQ(0, Held());
    bar.Step();
    bar.Step();       // past the maximum nothing more is sent
    EXPECT_EQ(2, g_sent.count);
    bar.SetPos(7);
    EXPECT_EQ(3, g_sent.count);
    EXPECT_EQ(7, Held());
    bar.Step();       // within the interval of SetPos: kept back
    EXPECT_EQ(7, Held());
    EXPECT_EQ(8, Asked());
}

TEST_F(ProgBarRepaint, AskedAfterEveryStepTheWindowFollowsTheStepRule)
{
    CProgBar bar;
    bar.SetWindow(window);
    bar.SetRedrawDivisor(4);
    bar.SetRange(0, 10, 0);
    const int expected[12] = { 0, 0, 0, 4, 4, 4, 4, 8, 8, 0, 0, 0 };
    for (int i = 0; i < 12; ++i) {
        bar.Step();
        EXPECT_EQ(expected[i], Asked()) << "step " << i + 1;
    }
}

TEST_F(ProgBarRepaint, AKeptPositionIsGivenByTheTimerOnceMessagesRun)
{
    CProgBar bar;   // the bar's clock stands still; its timer runs on real time
    bar.SetWindow(window);
    bar.SetRange(0, 100, 0);
    bar.Step();
    bar.Step();
    bar.Step();
    ASSERT_EQ(1, g_sent.count);
    EXPECT_EQ(1, Held());
    DWORD start = GetTickCount();
    while (Held() != 3 && GetTickCount() - start < 2000) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    }
    EXPECT_EQ(3, Held());
    EXPECT_EQ(2, g_sent.count);
    // Not before the interval (timers are coarse: some slack).
    EXPECT_GE(GetTickCount() - start, CProgBar::kRepaintInterval - 20);
}

TEST_F(ProgBarRepaint, AMillionStepsOnRealTimeRepaintOncePerIntervalAndEndAtZero)
{
    CProgBar::SetClock(NULL);
    CProgBar bar;
    bar.SetWindow(window);
    bar.SetRange(0, 1000000, 0);
    DWORD start = GetTickCount();
    for (int i = 0; i < 999999; ++i)
        bar.Step();
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(g_sent.count, 1);
    EXPECT_LE(g_sent.count, (int)(elapsed / CProgBar::kRepaintInterval) + 2);
    EXPECT_EQ(999999, Asked());
    int before = g_sent.count;
    bar.Step();
    EXPECT_EQ(before + 1, g_sent.count);
    EXPECT_EQ(0, g_sent.last);
    EXPECT_EQ(1000000, bar.GetCounter());
}

TEST_F(ProgBarRepaint, AWindowOutlivesItsBarsAndServesTheNext)
{
    {
        CProgBar first;
        first.SetWindow(window);
        first.SetRange(0, 100, 0);
        first.Step();
        first.Step();   // kept back when the bar goes
    }
    EXPECT_EQ(1, Asked());   // the bar that kept 2 back is gone: the window keeps what it had
    CProgBar second;
    second.SetWindow(window);
    second.SetRange(0, 100, 0);
    g_now += CProgBar::kRepaintInterval;
    second.Step();
    EXPECT_EQ(1, Held());
    g_now += CProgBar::kRepaintInterval;
    second.Step();
    EXPECT_EQ(2, Held());
    second.SetWindow(NULL);
    // Given back, the window has its own procedure again below the test's.
    EXPECT_EQ((LONG_PTR)RecordSetPos, GetWindowLongPtrA(window, GWLP_WNDPROC));
}

}  // namespace
