// Bars made by the factory:
//
//   IToolBar, CToolBar      "ToolBar": a common-controls tool bar filled with
//                           buttons from one bitmap and a '|'-separated label list
//   CReBar                  "ReBar": a bare rebar window (bands are the owner's)
//   IReSizeBar, CReSizeBar  "ReSizeBar": the framework's splitter, a thin bar the
//                           user drags to move the border between the controls
//                           laid out before and after it
//
// Tool bars and rebars dock to the frame's edges by their CCS_ style; the
// frame's layout takes their height or width off the controls' area.
#ifndef CWIN_BARS_H
#define CWIN_BARS_H

#include "cwin/window/BaseWindow.h"

#define CWIN_RESIZEBAR_CLASS  "CWin_CReSizeBar_Class"
// One TB_ADDBUTTONSA call, and one AddButtons, adds at most this many buttons.
#define CWIN_MAX_TOOLBAR_BUTTONS 100

class IToolBar : public virtual IWindow
{
public:
    // Buttons firstId .. firstId + count - 1 with the images of bitmap resource
    // firstId (buttonWidth x buttonHeight each); labels: null for none, or
    // '|'-separated texts, one button per label.
    virtual bool AddButtons(int firstId, int buttonWidth, int buttonHeight, int count, const char* labels) = 0;
};

class CToolBar : public CBaseWindow, public IToolBar
{
public:
    static constexpr int Kind = KIND_TOOLBAR;
    CToolBar();

    // IToolBar
    bool AddButtons(int firstId, int buttonWidth, int buttonHeight, int count, const char* labels) override;

    // CBaseWindow
    bool Create() override;
    // The tool bar sizes itself to its parent (TB_AUTOSIZE); the size given is ignored.
    bool Layout(int parentWidth, int parentHeight) override;
};

class CReBar : public CBaseWindow
{
public:
    static constexpr int Kind = KIND_REBAR;
    CReBar();
    bool Create() override;
};

class IReSizeBar : public virtual IWindow
{
public:
    // percent: position is a percentage of the area's extent less the bar's thickness.
    virtual bool SetSplitPosition(int position, bool percent) = 0;
    // Take effect from the next move or layout.
    virtual bool SetLimits(int minimumBefore, int minimumAfter) = 0;
    virtual bool SetLimitsAndRefit(int minimumBefore, int minimumAfter) = 0;
};

// The bar's area is the rectangle its anchors give (kept in clientRect); the
// bar itself lies across it at the split position, and the controls on either
// side anchor to the bar's rect.
class CReSizeBar : public CBaseWindow, public IReSizeBar
{
public:
    static constexpr int Kind = KIND_RESIZEBAR;
    CReSizeBar();
    ~CReSizeBar() override;

    // IReSizeBar
    bool SetSplitPosition(int position, bool percent) override;
    bool SetLimits(int minimumBefore, int minimumAfter) override;
    bool SetLimitsAndRefit(int minimumBefore, int minimumAfter) override;

    // CBaseWindow
    bool Create() override;
    bool Release() override;
    bool Layout(int parentWidth, int parentHeight) override;

    // The position p as the area allows it.
    int Clamp(int p) const;

    int   splitPosition;
    int   thickness;
    HDC   parentDC;
    int   trackWidth, trackHeight;
    bool  vertical;
    int   minimumBefore;
    int   minimumAfter;
    bool  firstMessage;
    bool  dragging;
    bool  trackingShown;
    POINT lastTrack;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    int  Extent() const;
    POINT ToParent(LPARAM point) const;
    void MoveTracking(POINT inParent);
    void InvertAt(POINT at);
    void HideTracking();
    void EndDrag();
    void ReleaseParentDC();

    HWND dcWindow;   // the window parentDC belongs to
};

#endif
