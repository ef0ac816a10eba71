// CDragTracker: drag and drop between the frame's controls. A list view or
// tree view that reports the start of a drag becomes the source when its owner
// agrees (EV_DRAG answered non-zero); the mouse is captured, and each move and
// the drop are EV_DRAG events at the source with the id of the control under
// the pointer.
#ifndef CWIN_DRAGTRACKER_H
#define CWIN_DRAGTRACKER_H

#include "cwin/frame/ControlTable.h"

class CDragTracker : public ITableWatcher
{
public:
    CDragTracker(IWindowResources& frame, CControlTable& table);
    CDragTracker(const CDragTracker&) = delete;
    CDragTracker& operator=(const CDragTracker&) = delete;

    // wParam: the notification's WPARAM (the source's child id), the start
    // event's aux. inDialog: the source lies on a dialog page, whose window
    // captures the mouse (otherwise the main window does).
    bool Start(CBaseWindow* source, NMHDR* header, WPARAM wParam, bool inDialog);
    // WM_MOUSEMOVE (code 512) or WM_LBUTTONUP (514, the drop) of the capturing window.
    void OnMove(UINT message, WPARAM wParam, LPARAM lParam);
    bool IsDragging() const { return m_source != NULL; }
    // The source's index in the table, -1 when no drag runs.
    int  GetSource() const { return m_source ? m_table.IndexOf(m_source) : -1; }

    void OnLeaving(CBaseWindow* object) override;

private:
    IWindowResources& m_frame;
    CControlTable&    m_table;
    CBaseWindow* m_source;
    HWND         m_capture;
};

#endif
