// CProgBar: the progress bar wrapper ("ProgBar").
//
// It counts steps itself and redraws only every n-th step, so a caller can step
// once per byte or per record without flooding the window with messages. Without
// a window it only counts, which is how the console converter uses it.
#ifndef CWIN_PROGBAR_H
#define CWIN_PROGBAR_H

#include <windows.h>

class CProgBar
{
public:
    CProgBar();

    // Slot order of the operation table.
    virtual LRESULT SetRange(int minimum, int maximum, int ignored = 0);
    virtual LRESULT SetPos(int position);
    virtual LRESULT Step();

    void SetWindow(HWND window) { m_hwnd = window; }
    HWND GetHandle() const { return m_hwnd; }
    void SetRedrawDivisor(int divisor) { m_divisor = divisor > 0 ? divisor : 1; }

    int  GetCounter() const { return m_counter; }
    int  GetMaximum() const { return m_maximum; }
    // The position last put on the bar (kept with or without a window).
    int  GetShownPos() const { return m_shown; }

private:
    LRESULT Show(int position);

    HWND m_hwnd;
    int  m_counter;
    int  m_maximum;
    int  m_divisor;
    int  m_shown;
};

#endif
