// CFrameLayout: the layout of the main window. The status bar and the docked
// bars take their room first; what they leave (the free area) is the area the
// controls of the main window are laid out in. Also the minimum size of the
// main window, whether it erases its own background, and hiding and showing
// all controls at once.
#ifndef CWIN_FRAMELAYOUT_H
#define CWIN_FRAMELAYOUT_H

#include "cwin/frame/ControlTable.h"

class CStatusBar;

class CFrameLayout : public IFrameLayout
{
public:
    CFrameLayout(IWindowResources& frame, CControlTable& table, const CStatusBar& statusBar);
    CFrameLayout(const CFrameLayout&) = delete;
    CFrameLayout& operator=(const CFrameLayout&) = delete;

    const RECT& GetFreeArea() const override { return m_freeArea; }
    // The main window's client area, until the first layout.
    void ReadClientArea();

    // WM_SIZE of the main window (nothing for a zero size: a minimised window
    // keeps its layout).
    void Arrange(int width, int height);
    void LayoutAll();

    // A minimum client size, kept as the outer size WM_SIZING enforces;
    // eraseFlag other than -1 also sets whether the background is erased.
    bool SetMinimumClientSize(int width, int height, int eraseFlag);
    int  GetMinimumWidth() const { return m_minWidth; }
    int  GetMinimumHeight() const { return m_minHeight; }
    // Whether the dragged rectangle had to grow.
    bool OnSizing(RECT* dragged) const;

    // Set: the main window answers WM_ERASEBKGND itself (its controls cover it).
    void SetEraseBackground(bool erase) { m_eraseBackground = erase; }
    bool ErasesBackground() const { return m_eraseBackground; }

    // false: every control's visibility is remembered and the control hidden;
    // true: the controls that were visible are shown again.
    bool ShowAllControls(bool show);

private:
    int  FirstControlToLayout() const;
    void TakeBarsOffFreeArea(int first);

    IWindowResources& m_frame;
    CControlTable&    m_table;
    const CStatusBar& m_statusBar;
    RECT m_freeArea;
    int  m_minWidth, m_minHeight;   // outer size; -1: none
    bool m_eraseBackground;
};

#endif
