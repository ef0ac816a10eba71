// CProgBar ("ProgBar"): the progress bar wrapper.
//
// It counts steps itself and redraws only every n-th step, so a caller can step
// once per byte or per record without flooding the window with messages. Without
// a window it only counts.
#ifndef CWIN_PROGBAR_H
#define CWIN_PROGBAR_H

#include "cwin/system/Progress.h"
#include "cwin/window/BaseWindow.h"

class CProgBar : public CBaseWindow, public IProgBar, public IProgress
{
public:
    CProgBar();

    bool Create() override;

    LRESULT SetRange(int minimum, int maximum, int ignored = 0) override;
    LRESULT SetPos(int position) override;
    LRESULT Step() override;
    // The same final state as `steps` calls of Step() (counter, shown position,
    // the window's position), with at most one message. A class that overrides
    // Step() overrides this too, so that both count alike.
    LRESULT StepBy(int steps) override;

    // Gives a window-less bar a window made elsewhere.
    void SetWindow(HWND window) { hwnd = window; }
    // The least divisor; SetRange raises it for long ranges (see there).
    void SetRedrawDivisor(int divisor) { m_divisor = m_baseDivisor = divisor > 0 ? divisor : 1; }
    int  GetRedrawDivisor() const { return m_divisor; }

    int  GetCounter() const { return m_counter; }
    int  GetMaximum() const { return m_maximum; }
    // The position last put on the bar (kept with or without a window).
    int  GetShownPos() const { return m_shown; }

private:
    LRESULT ShowPos(int position);

    int  m_counter;
    int  m_maximum;
    int  m_divisor;
    int  m_baseDivisor;
    int  m_shown;
};

#endif
