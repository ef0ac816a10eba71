// CTControl: the tab control with a page table. Any windows, framework
// controls or foreign ones, are tied to tabs; selecting a tab shows exactly the
// windows tied to it. The control keeps its page rectangle (clientRect, in the
// parent's coordinates) up to date for the pages' anchors.
#ifndef CWIN_TCONTROL_H
#define CWIN_TCONTROL_H

#include "cwin/window/BaseWindow.h"

#define CWIN_MAX_TAB_PAGES 256

class ITControl : public virtual IWindow
{
public:
    virtual bool AddPage(HWND window, int tab) = 0;
    virtual bool RemovePage(HWND window) = 0;
    virtual int  SelectTab(int tab) = 0;
    virtual int  GetSelectedTab(LPARAM* userValue) = 0;
    virtual int  InsertTab(int index, const char* text, int image) = 0;
    virtual int  InsertTabItem(int index, const char* text, int image) = 0;
    virtual const char* GetTabText(int tab) = 0;
    virtual bool SetImageList(HIMAGELIST* list) = 0;
    virtual bool ResetShownTab() = 0;
};

class CTControl : public CBaseWindow, public ITControl, public INotifyHandler
{
public:
    static constexpr int Kind = KIND_TCONTROL;
    CTControl();

    // ITControl
    bool AddPage(HWND window, int tab) override;
    bool RemovePage(HWND window) override;
    int  SelectTab(int tab) override;
    int  GetSelectedTab(LPARAM* userValue) override;
    int  InsertTab(int index, const char* text, int image) override;
    int  InsertTabItem(int index, const char* text, int image) override;
    const char* GetTabText(int tab) override;
    bool SetImageList(HIMAGELIST* list) override;
    bool ResetShownTab() override;

    // IWindow
    bool Show(bool show) override;

    // CBaseWindow
    bool Create() override;
    bool Layout(int parentWidth, int parentHeight) override;

    // INotifyHandler: a new selection switches the pages (after the owner's event).
    bool HandleNotify(NMHDR* header, WPARAM wParam, LRESULT* result, bool* passOn) override;

    int  GetPageCount() const { return pageCount; }
    int  GetShownTab() const { return shownTab; }

    int  pageTab[CWIN_MAX_TAB_PAGES];
    HWND pageWindow[CWIN_MAX_TAB_PAGES];
    int  pageCount;
    int  shownTab;

private:
    void ShowTab(int tab);
    void ShowPageWindow(HWND window, bool show);
    int  InsertItem(int index, const char* text, int image, bool textAlways);
};

#endif
