// CProgBar: the progress bar that counts its steps and redraws every n-th.
#include "cwin/controls/ProgBar.h"

#include <commctrl.h>

// At most this many redraws over a whole range: under Wine each position
// message repaints the bar at once (about 0.7 ms), so a step per move over a
// year of moves would keep the window busy for minutes. The bar sits in a
// status-bar part about a hundred pixels wide; 256 positions draw it as finely.
static const int kRedrawsPerRange = 256;

CProgBar::CProgBar() : m_counter(0), m_maximum(0), m_divisor(1), m_baseDivisor(1), m_shown(0) {}

bool CProgBar::Create()
{
    if (!CreateWindowOf(PROGRESS_CLASSA))
        return false;
    m_counter = 0;
    m_divisor = m_baseDivisor = 1;
    SendMessageA(hwnd, PBM_SETRANGE32, 0, (LPARAM)m_maximum);
    return true;
}

LRESULT CProgBar::ShowPos(int position)
{
    m_shown = position;
    return hwnd ? SendMessageA(hwnd, PBM_SETPOS, (WPARAM)position, 0) : 0;
}

// A range longer than kRedrawsPerRange positions raises the redraw divisor so
// that the bar is redrawn about that many times; shorter ranges keep it.
LRESULT CProgBar::SetRange(int minimum, int maximum, int)
{
    m_counter = minimum;
    m_maximum = maximum;
    long long span = (long long)maximum - minimum;
    long long divisor = span / kRedrawsPerRange;
    m_divisor = divisor > m_baseDivisor ? (int)divisor : m_baseDivisor;
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

// n steps in one: the counter ends at c + n (held at the cap), and the window
// keeps what the last step that sent anything sent. Past the maximum that is 0;
// below it (then no step reached the cap, as the maximum is at most the cap) the
// highest multiple of the divisor in (c, c + n], if there is one.
LRESULT CProgBar::StepBy(int steps)
{
    if (steps <= 0)
        return 0;
    const long long before = m_counter;
    long long after = before + steps;
    if (after > 0x7FFFFFFF)
        after = 0x7FFFFFFF;
    m_counter = (int)after;
    if (m_counter >= m_maximum)
        return ShowPos(0);
    long long last = after - ((after % m_divisor) + m_divisor) % m_divisor;   // floor to a multiple
    if (last > before)
        return ShowPos((int)last);
    return 0;
}
