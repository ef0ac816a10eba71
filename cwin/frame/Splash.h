// CSplash: the frame's splash window, a drawing surface that shows a bitmap
// for a display time while the owner's call-back runs, then goes away and
// shows the frame's main window.
#ifndef CWIN_SPLASH_H
#define CWIN_SPLASH_H

#include "cwin/controls/Custom.h"

#define CWIN_SPLASH_WIDTH  377
#define CWIN_SPLASH_HEIGHT 223

class CSplash : public CCustom
{
public:
    CSplash();

    bool OnPaint(HDC dc, bool toBackBuffer) override;
    bool OnTimer(double seconds) override;

    // Shows the splash on the screen centre (the owner's frame must be
    // attached); the call-back runs once the measurement loop starts.
    bool Start(IWindowOwner* frame, HBITMAP bitmap, EventCallback callback, DWORD displayMs);
    // The splash has closed and shown the main window.
    bool IsDone() const { return m_done; }

private:
    HBITMAP       m_bitmap;
    EventCallback m_callback;
    DWORD         m_displayMs;
    bool          m_finished;
    bool          m_done;
    HDC           m_sourceDC;
};

#endif
