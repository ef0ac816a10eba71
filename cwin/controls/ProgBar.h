// CProgBar ("ProgBar"): the progress bar wrapper.
//
// It counts steps itself and shows every n-th (n = the redraw divisor, 1 unless
// set). The window is repainted at most once per kRepaintInterval: a position
// that comes sooner is kept and given to the window when the interval is over
// (at a later step, or by a timer once the message loop runs again), when
// anyone asks the window for its position (PBM_GETPOS) and before a new range.
// The drop to 0 at the end of a range is given at once. So the window always
// answers the position the step rule gives, and a caller can step once per
// record without a repaint per step. Without a window it only counts.
#ifndef CWIN_PROGBAR_H
#define CWIN_PROGBAR_H

#include "cwin/system/Progress.h"
#include "cwin/window/BaseWindow.h"

class CProgBar : public CBaseWindow, public IProgBar, public IProgress
{
public:
    static constexpr int Kind = KIND_PROGBAR;
    // Milliseconds between two repaints of the window, at least.
    static const DWORD kRepaintInterval = 50;

    CProgBar();
    ~CProgBar() override;

    bool Create() override;
    void RestoreWindowProc() override;

    LRESULT SetRange(int minimum, int maximum, int ignored = 0) override;
    LRESULT SetPos(int position) override;
    LRESULT Step() override;
    // The same final state as `steps` calls of Step() (counter, shown position,
    // the window's position), with at most one message. A class that overrides
    // Step() overrides this too, so that both count alike.
    LRESULT StepBy(int steps) override;

    // Gives a window-less bar a window made elsewhere (null: none).
    void SetWindow(HWND window);
    void SetRedrawDivisor(int divisor) { m_divisor = divisor > 0 ? divisor : 1; }
    int  GetRedrawDivisor() const { return m_divisor; }

    int  GetCounter() const { return m_counter; }
    int  GetMaximum() const { return m_maximum; }
    // The position last shown by the step rule, SetPos or SetRange's caller
    // (kept with or without a window; the window may get it a little later).
    int  GetShownPos() const { return m_shown; }
    // Gives the window the shown position if it does not hold it yet.
    void Flush();

    // The millisecond clock of the repaint interval (null: GetTickCount).
    static void SetClock(DWORD (WINAPI* clock)());

private:
    LRESULT ShowPos(int position, bool now);
    LRESULT Send(int position);
    void    Subclass(HWND window);
    void    Unsubclass();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    int   m_counter;
    int   m_maximum;
    int   m_divisor;
    int   m_shown;     // what the step rule shows
    int   m_sent;      // what the window was given
    DWORD m_sentAt;    // clock of the last position given
    bool  m_timer;     // a timer will give the window what it lacks
};

#endif
