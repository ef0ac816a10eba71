// CProgBar: the progress bar that counts its steps and repaints at intervals.
#include "cwin/controls/ProgBar.h"

#include <commctrl.h>

// Under Wine every position message repaints the bar at once (about 0.7 ms),
// and a step per move over a year of moves is a million steps: the window gets
// a position at most once per interval, and the one it missed afterwards.
// The bar keeps its state in two window properties, so that a window given by
// SetWindow to one object after another is subclassed once.
static const char kBarProperty[]  = "CWin_ProgBar";
static const char kProcProperty[] = "CWin_ProgBarProc";
static const UINT_PTR kFlushTimer = 0x5042;

static DWORD (WINAPI* g_clock)() = GetTickCount;

void CProgBar::SetClock(DWORD (WINAPI* clock)())
{
    g_clock = clock ? clock : GetTickCount;
}

CProgBar::CProgBar()
    : m_counter(0), m_maximum(0), m_divisor(1), m_shown(0), m_sent(0), m_sentAt(g_clock() - kRepaintInterval),
      m_timer(false)
{
}

CProgBar::~CProgBar()
{
    Unsubclass();
}

bool CProgBar::Create()
{
    if (!CreateWindowOf(PROGRESS_CLASSA))
        return false;
    m_counter = 0;
    m_divisor = 1;
    SendMessageA(hwnd, PBM_SETRANGE32, 0, (LPARAM)m_maximum);
    m_sent = (int)SendMessageA(hwnd, PBM_GETPOS, 0, 0);
    Subclass(hwnd);
    return true;
}

void CProgBar::RestoreWindowProc()
{
    Unsubclass();
}

void CProgBar::SetWindow(HWND window)
{
    if (window == hwnd)
        return;
    Unsubclass();
    hwnd = window;
    if (window) {
        m_sent = (int)SendMessageA(window, PBM_GETPOS, 0, 0);
        Subclass(window);
    }
}

void CProgBar::Subclass(HWND window)
{
    m_timer = false;
    if (!window || !IsWindow(window))
        return;
    if (!GetPropA(window, kProcProperty)) {
        LONG_PTR previous = GetWindowLongPtrA(window, GWLP_WNDPROC);
        if (!SetPropA(window, kProcProperty, (HANDLE)previous))
            return;
        SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)WindowProc);
    }
    SetPropA(window, kBarProperty, (HANDLE)this);
}

// The window goes back to its own procedure when nobody subclassed it after
// this bar; otherwise the procedure stays in the chain and only passes messages on.
void CProgBar::Unsubclass()
{
    if (!hwnd || !IsWindow(hwnd) || GetPropA(hwnd, kBarProperty) != (HANDLE)this)
        return;
    if (m_timer)
        KillTimer(hwnd, kFlushTimer);
    m_timer = false;
    WNDPROC previous = (WNDPROC)GetPropA(hwnd, kProcProperty);
    if (previous && GetWindowLongPtrA(hwnd, GWLP_WNDPROC) == (LONG_PTR)WindowProc) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)previous);
        RemovePropA(hwnd, kProcProperty);
        RemovePropA(hwnd, kBarProperty);
    } else {
        SetPropA(hwnd, kBarProperty, NULL);
    }
}

LRESULT CALLBACK CProgBar::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC previous = (WNDPROC)GetPropA(window, kProcProperty);
    CProgBar* bar = (CProgBar*)GetPropA(window, kBarProperty);
    if (!previous)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case PBM_GETPOS:
        // Whoever asks gets the position the step rule shows.
        if (bar)
            bar->Flush();
        break;
    case WM_TIMER:
        if (wParam != kFlushTimer)
            break;
        KillTimer(window, kFlushTimer);
        if (bar) {
            bar->m_timer = false;
            bar->Flush();
        }
        return 0;
    case PBM_SETPOS: case PBM_DELTAPOS: case PBM_STEPIT: case PBM_SETRANGE: case PBM_SETRANGE32: {
        // Whatever moved the bar, the bar knows where it stands.
        LRESULT result = CallWindowProcA(previous, window, message, wParam, lParam);
        if (bar)
            bar->m_sent = (int)CallWindowProcA(previous, window, PBM_GETPOS, 0, 0);
        return result;
    }
    case WM_NCDESTROY:
        if (bar)
            bar->m_timer = false;
        RemovePropA(window, kBarProperty);
        RemovePropA(window, kProcProperty);
        if (GetWindowLongPtrA(window, GWLP_WNDPROC) == (LONG_PTR)WindowProc)
            SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)previous);
        break;
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

LRESULT CProgBar::Send(int position)
{
    m_sentAt = g_clock();
    m_sent = position;
    return SendMessageA(hwnd, PBM_SETPOS, (WPARAM)position, 0);
}

void CProgBar::Flush()
{
    if (hwnd && m_shown != m_sent)
        Send(m_shown);
}

// `now`: given to the window at once (SetPos, the end of a range); otherwise
// when the interval since the last repaint is over, or later by the timer.
LRESULT CProgBar::ShowPos(int position, bool now)
{
    m_shown = position;
    if (!hwnd || position == m_sent)
        return 0;
    DWORD at = g_clock();
    DWORD since = at - m_sentAt;
    if (now || since >= kRepaintInterval)
        return Send(position);
    if (!m_timer)
        m_timer = SetTimer(hwnd, kFlushTimer, kRepaintInterval - since, NULL) != 0;
    return 0;
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
    return ShowPos(position, true);
}

// Past the maximum the bar drops to 0 and stays there until the counter is set again.
LRESULT CProgBar::Step()
{
    if (m_counter < 0x7FFFFFFF)
        ++m_counter;
    if (m_counter >= m_maximum)
        return ShowPos(0, true);
    if (m_divisor == 1 || m_counter % m_divisor == 0)
        return ShowPos(m_counter, false);
    return 0;
}

// n steps in one: the counter ends at c + n (held at the cap), and the bar
// shows what the last step that showed anything showed. Past the maximum that
// is 0; below it (then no step reached the cap, as the maximum is at most the
// cap) the highest multiple of the divisor in (c, c + n], if there is one.
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
        return ShowPos(0, true);
    long long last = after - ((after % m_divisor) + m_divisor) % m_divisor;   // floor to a multiple
    if (last > before)
        return ShowPos((int)last, false);
    return 0;
}
