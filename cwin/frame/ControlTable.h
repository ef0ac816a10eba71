// CControlTable: the frame's object table, which owns the control objects the
// factory made for it (an adopted object stays the application's). Used slots
// 0 .. count - 1 hold the objects in order of entry, without gaps; the slot at
// count is where the factory stages the object it is making. Objects enter
// through Enter (or a modal page's EnterModalPage) and leave through
// FreeObject, the one place an owned object is deleted.
//   ITableWatcher  told when an object is about to be freed
#ifndef CWIN_CONTROLTABLE_H
#define CWIN_CONTROLTABLE_H

#include "cwin/window/BaseWindow.h"

#include <memory>

class CEventGate;

#define CWIN_MAX_CONTROLS 256

class ITableWatcher
{
public:
    virtual void OnLeaving(CBaseWindow* object) = 0;

protected:
    ~ITableWatcher() {}
};

class CControlTable : public IControlLookup
{
public:
    explicit CControlTable(CEventGate& events);
    // The objects still counted outlive the table (see ~CAppFrame).
    ~CControlTable();
    CControlTable(const CControlTable&) = delete;
    CControlTable& operator=(const CControlTable&) = delete;

    int  GetControlCount() const { return m_count; }
    CBaseWindow* GetControl(int index) const override
    {
        return index >= 0 && index < m_count ? m_slots[index].object : NULL;
    }
    bool IsFull() const { return m_count >= CWIN_MAX_CONTROLS; }
    int  IndexOf(const CBaseWindow* object) const;

    // Lookups.
    int  FindControlIndex(int id) override;
    bool FindControlByWindow(HWND window, CBaseWindow** control) override;
    // The counted object of a window, or null.
    CBaseWindow* ObjectOf(HWND window) const;
    // The object of the deepest visible, enabled child of window under the
    // point (window's client coordinates).
    CBaseWindow* ControlFromPoint(HWND window, int x, int y) const;
    bool RefreshFrom(int id) override;

    // Entering: the factory stages the object it makes (which gives it the
    // smallest free id), then enters it or discards it (no Release; freed
    // when the table owns it). An adopted object is staged without ownership.
    CBaseWindow* Stage(std::unique_ptr<CBaseWindow> made);
    void Stage(CBaseWindow* adopted);
    CBaseWindow* Enter(CBaseWindow* object);
    void Discard(CBaseWindow* object);

    // Leaving: the objects Destroy marked go at the sweep, which waits while a
    // dispatch runs.
    void Sweep();

    // A modal page stands in the staging slot, counted for the time it runs so
    // that the items attached to it get the slots behind it.
    void EnterModalPage();
    void LeaveModalPage(CBaseWindow* page);

    void SetWatcher(ITableWatcher* watcher) { m_watcher = watcher; }

private:
    struct Slot
    {
        CBaseWindow* object = nullptr;
        std::unique_ptr<CBaseWindow> owned;   // empty for an adopted object
    };

    int  FindFreeControlId() const;
    bool RemoveControl(int index);
    // Tells the watcher, drops anchors to the object and releases it when asked.
    void Leave(CBaseWindow* object, bool release);
    // Leave, then the object is deleted when the table owns it; the slot is emptied.
    void FreeObject(Slot& slot, bool release);
    // Anchors measured from the object's edges fall back to their parent's edges.
    void ForgetReferencesTo(CBaseWindow* object);
    // The counted objects by address, in order: a window's user data is taken
    // for its object only when it names one of them.
    int  MemberAt(const CBaseWindow* object) const;   // where it is or would go
    bool IsMember(const CBaseWindow* object) const;
    void AddMember(const CBaseWindow* object);
    void RemoveMember(const CBaseWindow* object);

    CEventGate&    m_events;
    ITableWatcher* m_watcher;
    Slot           m_slots[CWIN_MAX_CONTROLS + 1];
    int            m_count;
    const CBaseWindow* m_members[CWIN_MAX_CONTROLS + 1];
    int                m_memberCount;
};

#endif
