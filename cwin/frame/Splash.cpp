// CSplash: the splash window shown while the owner's call-back runs.
#include "cwin/frame/Splash.h"

CSplash::CSplash()
    : m_bitmap(NULL), m_callback(NULL), m_displayMs(3000), m_finished(false), m_done(false), m_sourceDC(NULL)
{
}

bool CSplash::Start(IWindowOwner* frame, HBITMAP picture, EventCallback call, DWORD ms)
{
    if (!frame || hwnd)
        return false;
    m_bitmap = picture;
    m_callback = call;
    m_displayMs = ms;
    m_finished = m_done = false;
    initPending = true;
    timerRunning = true;
    timerEnabled = true;
    timerInterval = 10;
    int x = (GetSystemMetrics(SM_CXSCREEN) - CWIN_SPLASH_WIDTH) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - CWIN_SPLASH_HEIGHT) / 2;
    ControlArgs args;
    args.Place(x, y, x + CWIN_SPLASH_WIDTH, y + CWIN_SPLASH_HEIGHT).Style(WS_POPUP | WS_VISIBLE).ExStyle(WS_EX_TOPMOST);
    if (!frame->Factory().Adopt(this, args))
        return false;
    return SetTimer(hwnd, CWIN_MEASURE_TIMER, 10, NULL) != 0;
}

bool CSplash::OnTimer(double)
{
    if (m_finished || m_done)
        return true;
    DWORD start = GetTickCount();
    if (m_callback) {
        PrepareEvent(0, 0, 0);
        event.sender = this;
        m_callback(&event);
    }
    DWORD spent = GetTickCount() - start;
    if (spent < m_displayMs)
        Sleep(m_displayMs - spent);
    m_finished = true;
    Invalidate(false);
    return true;
}

bool CSplash::OnPaint(HDC dc, bool toBackBuffer)
{
    if (toBackBuffer)
        return true;
    if (!m_finished) {
        if (!m_bitmap)
            return true;
        if (!m_sourceDC)
            m_sourceDC = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(m_sourceDC, m_bitmap);
        RECT area;
        GetClientRect(hwnd, &area);
        StretchBlt(dc, 0, 0, area.right, area.bottom, m_sourceDC, 0, 0, CWIN_SPLASH_WIDTH,
                   CWIN_SPLASH_HEIGHT, SRCCOPY);
        SelectObject(m_sourceDC, previous);
        return true;
    }
    m_finished = false;
    m_done = true;
    Destroy();   // the sweep only takes it out of the table: the frame holds its storage
    HWND mainWindow = owner ? owner->Resources().GetMainWindow() : NULL;
    if (mainWindow)
        ShowWindow(mainWindow, SW_SHOW);
    return true;
}
