// CControlTable: slots, lookups, the sweep and the modal page's slots.
#include "cwin/frame/ControlTable.h"
#include "cwin/frame/EventGate.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <string.h>

CControlTable::CControlTable(CEventGate& events) : m_events(events), m_watcher(NULL), m_count(0), m_memberCount(0)
{
    memset(m_members, 0, sizeof(m_members));
}

// A frame goes while its windows may live on and name their objects, and what
// the objects would free goes into a heap registry that may be gone already:
// the objects are left as they are.
CControlTable::~CControlTable()
{
    for (Slot& slot : m_slots)
        (void)slot.owned.release();
}

int CControlTable::MemberAt(const CBaseWindow* object) const
{
    int low = 0, high = m_memberCount;
    while (low < high) {
        int middle = (low + high) / 2;
        if (std::less<const CBaseWindow*>()(m_members[middle], object))
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

bool CControlTable::IsMember(const CBaseWindow* object) const
{
    int at = MemberAt(object);
    return at < m_memberCount && m_members[at] == object;
}

void CControlTable::AddMember(const CBaseWindow* object)
{
    int at = MemberAt(object);
    if (!object || (at < m_memberCount && m_members[at] == object) || m_memberCount > CWIN_MAX_CONTROLS)
        return;
    memmove(&m_members[at + 1], &m_members[at], sizeof(m_members[0]) * (m_memberCount - at));
    m_members[at] = object;
    ++m_memberCount;
}

void CControlTable::RemoveMember(const CBaseWindow* object)
{
    int at = MemberAt(object);
    if (at >= m_memberCount || m_members[at] != object)
        return;
    memmove(&m_members[at], &m_members[at + 1], sizeof(m_members[0]) * (m_memberCount - at - 1));
    --m_memberCount;
}

int CControlTable::IndexOf(const CBaseWindow* object) const
{
    for (int i = 0; object && i < m_count; ++i)
        if (m_slots[i].object == object)
            return i;
    return -1;
}

int CControlTable::FindControlIndex(int id)
{
    for (int i = 0; i < m_count; ++i)
        if (m_slots[i].object->GetId() == id)
            return i;
    return -1;
}

bool CControlTable::FindControlByWindow(HWND window, CBaseWindow** control)
{
    CBaseWindow* found = ObjectOf(window);
    if (control)
        *control = found;
    return found != NULL;
}

// A window bound to its object names it in its user data; the user data counts
// only when it is one of this table's objects, so a window of another frame,
// an object still being made or one already freed, or whatever a foreign
// window keeps there is never taken (nor read through). Windows the framework
// does not bind (system controls, dialog items) are looked for slot by slot.
CBaseWindow* CControlTable::ObjectOf(HWND window) const
{
    if (!window)
        return NULL;
    const CBaseWindow* bound = reinterpret_cast<const CBaseWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (bound && IsMember(bound)) {
        CBaseWindow* object = const_cast<CBaseWindow*>(bound);
        if (object->GetHandle() == window && CBaseWindow::IsWindowObject(object))
            return object;
    }
    for (int i = 0; i < m_count; ++i)
        if (m_slots[i].object->GetHandle() == window)
            return m_slots[i].object;
    return NULL;
}

CBaseWindow* CControlTable::ControlFromPoint(HWND window, int x, int y) const
{
    if (!window)
        return NULL;
    HWND current = window;
    POINT p = {x, y};
    for (;;) {
        HWND child = ChildWindowFromPointEx(current, p, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
        if (!child || child == current)
            break;
        MapWindowPoints(current, child, &p, 1);
        current = child;
    }
    return ObjectOf(current);
}

bool CControlTable::RefreshFrom(int id)
{
    int index = FindControlIndex(id);
    if (index < 0)
        return false;
    for (int i = index; i < m_count; ++i)
        m_slots[i].object->FitToParent();
    return true;
}

int CControlTable::FindFreeControlId() const
{
    for (int candidate = 1; candidate <= 0x6FFFFFFF; ++candidate) {
        bool used = false;
        for (int i = 0; i < m_count && !used; ++i)
            used = m_slots[i].object->GetId() == candidate;
        if (!used)
            return candidate;
    }
    return 0;
}

CBaseWindow* CControlTable::Stage(std::unique_ptr<CBaseWindow> made)
{
    CBaseWindow* object = made.get();
    Stage(object);
    m_slots[m_count].owned = std::move(made);
    return object;
}

void CControlTable::Stage(CBaseWindow* adopted)
{
    m_slots[m_count].owned.reset();
    m_slots[m_count].object = adopted;
    adopted->AssignId(FindFreeControlId());
}

// The object is the staged one (Stage came first), so its ownership stays with its slot.
CBaseWindow* CControlTable::Enter(CBaseWindow* object)
{
    m_slots[m_count++].object = object;
    AddMember(object);
    return object;
}

void CControlTable::Discard(CBaseWindow* object)
{
    if (object && m_slots[m_count].object == object)
        FreeObject(m_slots[m_count], false);
    else
        Leave(object, false);   // not staged here: not the table's to delete
}

void CControlTable::ForgetReferencesTo(CBaseWindow* object)
{
    for (int i = 0; i < m_count; ++i) {
        CBaseWindow* c = m_slots[i].object;
        if (c)   // else a slot a modal page is emptying
            c->ForgetAnchorsTo(*object);
    }
}

void CControlTable::Leave(CBaseWindow* object, bool release)
{
    if (!object)
        return;
    if (m_watcher)
        m_watcher->OnLeaving(object);
    ForgetReferencesTo(object);
    if (release)
        object->Release();
}

void CControlTable::FreeObject(Slot& slot, bool release)
{
    Leave(slot.object, release);
    slot.owned.reset();
    slot.object = NULL;
}

bool CControlTable::RemoveControl(int index)
{
    if (index < 0 || index >= m_count)
        return false;
    RemoveMember(m_slots[index].object);
    FreeObject(m_slots[index], true);
    std::move(&m_slots[index + 1], &m_slots[m_count], &m_slots[index]);
    m_slots[--m_count] = Slot();
    return true;
}

void CControlTable::Sweep()
{
    if (m_events.InDispatch())
        return;   // the next creation outside any dispatch frees them
    for (int i = m_count - 1; i >= 0; --i)
        if (m_slots[i].object->IsDeleted())
            RemoveControl(i);
}

void CControlTable::EnterModalPage()
{
    AddMember(m_slots[m_count].object);
    ++m_count;
    m_events.EnterDispatch();
}

// The page is looked up rather than trusted to be where it was entered (objects
// below it may have been swept); its items go with it, storage included, as
// nothing else holds them. The page itself is back in the staging slot, for
// the factory to free.
void CControlTable::LeaveModalPage(CBaseWindow* page)
{
    m_events.LeaveDispatch();
    int at = m_count - 1;
    for (int i = m_count - 1; i >= 0; --i)
        if (m_slots[i].object == page) {
            at = i;
            break;
        }
    for (int i = at + 1; i < m_count; ++i) {
        RemoveMember(m_slots[i].object);
        m_slots[i].object->Destroy();
        FreeObject(m_slots[i], true);
    }
    RemoveMember(m_slots[at].object);
    m_count = at;
}
