#include "ProgBar.h"

#include <commctrl.h>

CProgBar::CProgBar() : m_counter(0), m_maximum(0), m_divisor(1), m_shown(0) {}

bool CProgBar::Create()
{
    if (!CreateWindowOf(PROGRESS_CLASSA))
        return false;
    m_counter = 0;
    m_divisor = 1;
    SendMessageA(hwnd, PBM_SETRANGE32, 0, (LPARAM)m_maximum);
    return true;
}

LRESULT CProgBar::ShowPos(int position)
{
    m_shown = position;
    return hwnd ? SendMessageA(hwnd, PBM_SETPOS, (WPARAM)position, 0) : 0;
}

LRESULT CProgBar::SetRange(int minimum, int maximum, int)
{
    m_counter = minimum;
    m_maximum = maximum;
    if (!hwnd)
        return 0;
    SendMessageA(hwnd, PBM_SETRANGE32, (WPARAM)minimum, (LPARAM)maximum);
    return SendMessageA(hwnd, PBM_SETSTEP, 1, 0);
}

LRESULT CProgBar::SetPos(int position)
{
    m_counter = position;
    return ShowPos(position);
}

// Past the maximum the bar drops to 0 and stays there until the counter is set again.
LRESULT CProgBar::Step()
{
    if (m_counter < 0x7FFFFFFF)
        ++m_counter;
    if (m_counter >= m_maximum)
        return ShowPos(0);
    if (m_counter % m_divisor == 0)
        return ShowPos(m_counter);
    return 0;
}
