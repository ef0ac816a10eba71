// CCustom ("Custom"): the framework's window for drawing of one's own.
//
// Own window class "CWin_CCustom_Class"; optional back buffer; mouse positions
// in world coordinates with an optional snap grid; mouse, keyboard, scroll,
// size and timer messages become virtual operations for derived classes
// (the chart and the frame's splash window derive from it).
#ifndef CWIN_CUSTOM_H
#define CWIN_CUSTOM_H

#include "cwin/window/BaseWindow.h"

#define CWIN_CUSTOM_CLASS   "CWin_CCustom_Class"
#define CWIN_MEASURE_TIMER  1911

// ICustom is a virtual base so that the chart's IGraph, which extends it,
// shares the one ICustom of the surface.
class CCustom : public CBaseWindow, public virtual ICustom
{
public:
    static constexpr int Kind = KIND_CUSTOM;
    CCustom();
    // Frees what the surface made.
    ~CCustom() override;

    bool SetEraseBackground(bool erase) override;
    bool Create() override;

    // What a derived surface overrides: the window's messages, one operation each.
    virtual bool OnInit();
    virtual bool OnPaint(HDC dc, bool toBackBuffer);
    virtual bool OnMouseMove();
    virtual bool OnSetCursor();
    virtual bool OnMouseButton(bool down);
    virtual bool OnMouseLeave();
    virtual bool OnMouseWheel(int delta);
    virtual bool OnDoubleClick();
    virtual bool OnSize(int width, int height);
    virtual bool OnKey(int virtualKey, bool down);
    virtual bool OnScrollEnd(bool vertical, SCROLLINFO* info);
    virtual bool OnScroll(bool vertical, SCROLLINFO* info);
    virtual bool OnTimer(double seconds);

    bool Invalidate(bool makeDirty);
    void MouseToWorld(int x, int y);
    bool Scroll(WPARAM request, int bar);
    void Resize(int width, int height);

    // The memory DC and the back bitmap selected into it: they serve the
    // window only, and go when it does. Each is freed once (fields nulled).
    void FreeBackBuffer();
    void FreeOwnObjects() override;

    HDC         memDC;
    bool        eraseSuppressed;
    bool        dirty;
    int         snappedX, snappedY;
    double      worldX, worldY;
    DWORD       mouseKeys;
    double      scale;
    int         originX, originY;
    int         gridStep;
    bool        snapEnabled;
    bool        gridInPixels;
    double      worldGrid;
    bool        doubleBuffered;
    HBITMAP     oldBitmap, backBitmap;
    bool        initPending;
    bool        trackingLeave;
    PAINTSTRUCT paint;
    bool        timerEnabled;
    int         timerInterval;
    bool        timerRunning;

    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void MeasurementLoop();
};

#endif
