#include "ProgBar.h"

#include <commctrl.h>

CProgBar::CProgBar() : m_hwnd(NULL), m_counter(0), m_maximum(0), m_divisor(1), m_shown(0) {}

LRESULT CProgBar::Show(int position)
{
    m_shown = position;
    return m_hwnd ? SendMessageA(m_hwnd, PBM_SETPOS, (WPARAM)position, 0) : 0;
}

LRESULT CProgBar::SetRange(int minimum, int maximum, int)
{
    m_counter = minimum;
    m_maximum = maximum;
    if (!m_hwnd)
        return 0;
    SendMessageA(m_hwnd, PBM_SETRANGE32, (WPARAM)minimum, (LPARAM)maximum);
    return SendMessageA(m_hwnd, PBM_SETSTEP, 1, 0);
}

LRESULT CProgBar::SetPos(int position)
{
    m_counter = position;
    return Show(position);
}

// Past the maximum the bar drops to 0 and stays there until the counter is set again.
LRESULT CProgBar::Step()
{
    if (m_counter < 0x7FFFFFFF)
        ++m_counter;
    if (m_counter >= m_maximum)
        return Show(0);
    if (m_counter % m_divisor == 0)
        return Show(m_counter);
    return 0;
}
