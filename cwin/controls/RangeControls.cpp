// The track bar, up-down and scroll bar controls.
#include "cwin/controls/RangeControls.h"

#include <string.h>

// ---- CTrackBar

bool CTrackBar::Create()
{
    INITCOMMONCONTROLSEX init = {sizeof(init), 0xFF};
    InitCommonControlsEx(&init);
    return CreateWindowOf(TRACKBAR_CLASSA);
}

LRESULT CTrackBar::SetRange(int minimum, int maximum)
{
    SendMessageA(hwnd, TBM_SETRANGEMIN, TRUE, minimum);
    return SendMessageA(hwnd, TBM_SETRANGEMAX, TRUE, maximum);
}

LRESULT CTrackBar::SetSelection(int start, int end)
{
    return SendMessageA(hwnd, TBM_SETSEL, TRUE, MAKELPARAM(start, end));
}

LRESULT CTrackBar::SetPos(int position) { return SendMessageA(hwnd, TBM_SETPOS, TRUE, position); }
LRESULT CTrackBar::SetPageSize(int size) { return SendMessageA(hwnd, TBM_SETPAGESIZE, 0, size); }
LRESULT CTrackBar::SetTic(int position) { return SendMessageA(hwnd, TBM_SETTIC, 0, position); }
LRESULT CTrackBar::SetTicFreq(int frequency) { return SendMessageA(hwnd, TBM_SETTICFREQ, (WPARAM)frequency, 0); }
LRESULT CTrackBar::GetPos() { return SendMessageA(hwnd, TBM_GETPOS, 0, 0); }

// ---- CUpDown

bool CUpDown::Create() { return CreateWindowOf(UPDOWN_CLASSA); }

LRESULT CUpDown::SetRange(int lower, int upper)
{
    return SendMessageA(hwnd, UDM_SETRANGE, 0, MAKELPARAM(upper, lower));
}

LRESULT CUpDown::SetBuddy(HWND buddy) { return SendMessageA(hwnd, UDM_SETBUDDY, (WPARAM)buddy, 0); }
LRESULT CUpDown::SetPos(int position) { return SendMessageA(hwnd, UDM_SETPOS, 0, MAKELPARAM(position & 0xFFFF, 0)); }

// ---- CScrollBar

CScrollBar::CScrollBar()
{
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
}

bool CScrollBar::Create()
{
    if (!CreateWindowOf("SCROLLBAR"))
        return false;
    // The rectangle is kept in the parent's client coordinates, as every other's.
    RECT r;
    if (GetWindowRect(hwnd, &r)) {
        if (parent)
            MapWindowPoints(NULL, parent, reinterpret_cast<POINT*>(&r), 2);
        rect = r;
    }
    return true;
}

LRESULT CScrollBar::SetRange(int minimum, int maximum)
{
    info.fMask = SIF_RANGE;
    info.nMin = minimum;
    info.nMax = maximum;
    return SendMessageA(hwnd, SBM_SETSCROLLINFO, TRUE, (LPARAM)&info);
}

LRESULT CScrollBar::SetPos(int position)
{
    info.fMask = SIF_POS;
    info.nPos = position;
    return SendMessageA(hwnd, SBM_SETSCROLLINFO, TRUE, (LPARAM)&info);
}

LRESULT CScrollBar::SetPage(int page)
{
    info.fMask = SIF_PAGE;
    info.nPage = (UINT)page;
    return SendMessageA(hwnd, SBM_SETSCROLLINFO, TRUE, (LPARAM)&info);
}
