// Range controls over common-control classes (the progress bar is in ProgBar.h).
//
//   CTrackBar   "TrackBar"   msctls_trackbar32   ITrackBar
//   CUpDown     "UpDown"     msctls_updown32     IUpDown
//   CScrollBar  "ScrollBar"  SCROLLBAR           IScrollBar (user scrolling reaches the
//                                                owner through the frame as EV_DRAG)
#ifndef CWIN_RANGECONTROLS_H
#define CWIN_RANGECONTROLS_H

#include "cwin/window/BaseWindow.h"

class CTrackBar : public CBaseWindow, public ITrackBar
{
public:
    static constexpr int Kind = KIND_TRACKBAR;
    bool Create() override;
    LRESULT SetRange(int minimum, int maximum) override;
    LRESULT SetSelection(int start, int end) override;
    LRESULT SetPos(int position) override;
    LRESULT SetPageSize(int size) override;
    LRESULT SetTic(int position) override;
    LRESULT SetTicFreq(int frequency) override;
    LRESULT GetPos() override;
};

class CUpDown : public CBaseWindow, public IUpDown
{
public:
    static constexpr int Kind = KIND_UPDOWN;
    bool Create() override;
    LRESULT SetRange(int lower, int upper) override;
    LRESULT SetBuddy(HWND buddy) override;
    LRESULT SetPos(int position) override;
};

class CScrollBar : public CBaseWindow, public IScrollBar
{
public:
    static constexpr int Kind = KIND_SCROLLBAR;
    CScrollBar();
    bool Create() override;
    LRESULT SetRange(int minimum, int maximum) override;
    LRESULT SetPos(int position) override;
    LRESULT SetPage(int page) override;

    SCROLLINFO info;
};

#endif
