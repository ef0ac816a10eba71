// Range controls with real windows: the progress step rule as the bar shows
// it, track bar and up-down ranges, and user scrolling of a scroll bar
// reaching its owner through the frame.
#include "FrameworkFixture.h"

namespace {

using RangeControls = FrameTest;

TEST_F(RangeControls, AProgressBarShowsOneToNineThenZero)
{
    CBaseWindow* made = Make<CProgBar>(10, 10, 210, 30);
    ASSERT_NE(nullptr, made);
    IProgBar* bar = dynamic_cast<IProgBar*>(made);
    HWND w = made->GetHandle();
    char cls[64];
    GetClassNameA(w, cls, sizeof(cls));
    EXPECT_STREQ("msctls_progress32", cls);
    bar->SetRange(0, 10);
    EXPECT_EQ(10, SendMessageA(w, PBM_GETRANGE, FALSE, 0));
    for (int i = 1; i <= 9; ++i) {
        bar->Step();
        EXPECT_EQ(i, SendMessageA(w, PBM_GETPOS, 0, 0));
    }
    bar->Step();
    EXPECT_EQ(0, SendMessageA(w, PBM_GETPOS, 0, 0));
    bar->Step();
    EXPECT_EQ(0, SendMessageA(w, PBM_GETPOS, 0, 0));
    bar->SetPos(4);
    EXPECT_EQ(4, SendMessageA(w, PBM_GETPOS, 0, 0));
    bar->Step();
    EXPECT_EQ(5, SendMessageA(w, PBM_GETPOS, 0, 0));
}

static WNDPROC g_barProc;
static int g_positionsSent;
static LRESULT CALLBACK CountPositions(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == PBM_SETPOS)
        ++g_positionsSent;
    return CallWindowProcA(g_barProc, w, m, wp, lp);
}

// A step per record over a long range repaints the bar once per interval at
// most, not once a step; the counter and the drop to 0 at the end are as before.
TEST_F(RangeControls, ALongRangeIsDrawnAtIntervalsNotOnceAStep)
{
    CBaseWindow* made = Make<CProgBar>(10, 10, 110, 30);
    ASSERT_NE(nullptr, made);
    CProgBar* bar = static_cast<CProgBar*>(made);
    g_barProc = (WNDPROC)SetWindowLongPtrA(bar->GetHandle(), GWLP_WNDPROC, (LONG_PTR)CountPositions);
    bar->SetRange(0, 1000000);
    g_positionsSent = 0;
    DWORD start = GetTickCount();
    for (int i = 0; i < 999999; ++i)
        bar->Step();
    DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(999999, bar->GetCounter());
    EXPECT_GE(g_positionsSent, 1);
    EXPECT_LE(g_positionsSent, (int)(elapsed / CProgBar::kRepaintInterval) + 2);
    // The last position drawn is the last multiple of the divisor below the counter.
    int shown = (int)SendMessageA(bar->GetHandle(), PBM_GETPOS, 0, 0);
    EXPECT_GT(shown, 999999 - bar->GetRedrawDivisor());
    EXPECT_EQ(0, shown % bar->GetRedrawDivisor());
    bar->Step();
    EXPECT_EQ(0, SendMessageA(bar->GetHandle(), PBM_GETPOS, 0, 0));
    // A short range draws every step again.
    bar->SetRange(0, 300);
    EXPECT_EQ(1, bar->GetRedrawDivisor());
    bar->Step();
    EXPECT_EQ(1, SendMessageA(bar->GetHandle(), PBM_GETPOS, 0, 0));
    SetWindowLongPtrA(bar->GetHandle(), GWLP_WNDPROC, (LONG_PTR)g_barProc);
}

TEST_F(RangeControls, TrackBarAndUpDownRanges)
{
    CBaseWindow* madeTrack = Make<CTrackBar>(10, 10, 210, 40, WS_VISIBLE | TBS_ENABLESELRANGE);
    ITrackBar* track = dynamic_cast<ITrackBar*>(madeTrack);
    HWND t = madeTrack->GetHandle();
    track->SetRange(5, 50);
    EXPECT_EQ(5, SendMessageA(t, TBM_GETRANGEMIN, 0, 0));
    EXPECT_EQ(50, SendMessageA(t, TBM_GETRANGEMAX, 0, 0));
    track->SetPos(20);
    EXPECT_EQ(20, track->GetPos());
    track->SetSelection(10, 30);
    EXPECT_EQ(10, SendMessageA(t, TBM_GETSELSTART, 0, 0));
    EXPECT_EQ(30, SendMessageA(t, TBM_GETSELEND, 0, 0));
    track->SetPageSize(7);
    EXPECT_EQ(7, SendMessageA(t, TBM_GETPAGESIZE, 0, 0));
    SendMessageA(t, WM_KEYDOWN, VK_NEXT, 0);      // a page towards the maximum
    EXPECT_EQ(27, track->GetPos());

    CBaseWindow* madeUp = Make<CUpDown>(220, 10, 240, 40, WS_VISIBLE | UDS_ARROWKEYS);
    IUpDown* updown = dynamic_cast<IUpDown*>(madeUp);
    updown->SetRange(0, 100);
    int lower = -1, upper = -1;
    SendMessageA(madeUp->GetHandle(), UDM_GETRANGE32, (WPARAM)&lower, (LPARAM)&upper);
    EXPECT_EQ(0, lower);
    EXPECT_EQ(100, upper);
    updown->SetPos(99);
    SendMessageA(madeUp->GetHandle(), WM_KEYDOWN, VK_UP, 0);   // the up arrow increases
    EXPECT_EQ(100, LOWORD(SendMessageA(madeUp->GetHandle(), UDM_GETPOS, 0, 0)));
    SendMessageA(madeUp->GetHandle(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(100, LOWORD(SendMessageA(madeUp->GetHandle(), UDM_GETPOS, 0, 0)));
    CBaseWindow* buddy = Make<CEditBox>(250, 10, 300, 30);
    updown->SetBuddy(buddy->GetHandle());
    EXPECT_EQ((LRESULT)buddy->GetHandle(), SendMessageA(madeUp->GetHandle(), UDM_GETBUDDY, 0, 0));
}

TEST_F(RangeControls, ScrollBarKeysBecomeDragEventsThatTheOwnerAccepts)
{
    CBaseWindow* made = Make<CScrollBar>(10, 10, 30, 210, WS_VISIBLE | SBS_VERT);
    ASSERT_NE(nullptr, made);
    RECT inHost = WindowRectInHost(made->GetHandle());
    EXPECT_EQ(inHost.left, made->Rect().left);
    EXPECT_EQ(inHost.bottom, made->Rect().bottom);
    IScrollBar* bar = dynamic_cast<IScrollBar*>(made);
    HWND w = made->GetHandle();
    bar->SetRange(0, 100);
    bar->SetPage(10);
    bar->SetPos(50);
    EXPECT_EQ(50, GetScrollPos(w, SB_CTL));
    made->AddHandler(RecordingCallback, EV_DRAG, 0, NULL);
    Answer() = 1;
    SendMessageA(w, WM_KEYDOWN, VK_DOWN, 0);        // the bar sends SB_LINEDOWN to its parent
    ASSERT_FALSE(Recorded().empty());
    EXPECT_EQ(51, Recorded().back().param);
    EXPECT_EQ((LPARAM)w, Recorded().back().notify);
    EXPECT_EQ(51, GetScrollPos(w, SB_CTL));
    SendMessageA(w, WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(61, Recorded().back().param);
    EXPECT_EQ(61, GetScrollPos(w, SB_CTL));
    Answer() = 0;                                    // the owner refuses: the bar stays
    SendMessageA(w, WM_KEYDOWN, VK_PRIOR, 0);
    EXPECT_EQ(51, Recorded().back().param);
    EXPECT_EQ(61, GetScrollPos(w, SB_CTL));
    size_t seen = Recorded().size();
    SendMessageA(w, WM_KEYDOWN, VK_END, 0);         // SB_BOTTOM is not handled
    EXPECT_EQ(seen, Recorded().size());
    Answer() = 1;
    bar->SetPos(0);
    SendMessageA(w, WM_KEYDOWN, VK_UP, 0);           // clamped at the minimum
    EXPECT_EQ(0, Recorded().back().param);
}

}  // namespace
