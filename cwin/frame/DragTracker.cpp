// CDragTracker: the drag source, its capture, the moves and the drop.
#include "cwin/frame/DragTracker.h"

CDragTracker::CDragTracker(IWindowResources& frame, CControlTable& table)
    : m_frame(frame), m_table(table), m_source(NULL), m_capture(NULL)
{
}

bool CDragTracker::Start(CBaseWindow* source, NMHDR* header, WPARAM wParam, bool inDialog)
{
    if (m_table.IndexOf(source) < 0)
        return false;
    source->PrepareEvent((INT_PTR)header, wParam, (LPARAM)header);
    if (!source->Dispatch(EV_DRAG))
        return false;
    m_source = source;
    m_capture = inDialog ? GetParent(source->GetHandle()) : m_frame.GetMainWindow();
    SetCapture(m_capture);
    return true;
}

void CDragTracker::OnMove(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_source)
        return;
    HWND over = m_capture ? m_capture : m_frame.GetMainWindow();
    CBaseWindow* under = m_table.ControlFromPoint(over, (short)LOWORD(lParam), (short)HIWORD(lParam));
    m_source->PrepareEvent(under ? under->GetId() : 0, wParam, lParam, message == WM_LBUTTONUP ? 514 : 512);
    m_source->Dispatch(EV_DRAG);
    if (message == WM_LBUTTONUP) {
        ReleaseCapture();
        m_source = NULL;
        m_capture = NULL;
    }
}

// A source freed during its drag ends it.
void CDragTracker::OnLeaving(CBaseWindow* object)
{
    if (object == m_source) {
        m_source = NULL;
        m_capture = NULL;
    }
}
