// CAppFrame's control factory and object table: making objects from type
// names, identifiers, the sweep of destroyed objects, the three ways an object
// enters the table and the lookups the router uses.
#include "cwin/frame/AppFrame.h"
#include "cwin/composite/Bars.h"
#include "cwin/controls/BasicControls.h"
#include "cwin/controls/Custom.h"
#include "cwin/controls/Graph.h"
#include "cwin/composite/ListView.h"
#include "cwin/composite/MDIChild.h"
#include "cwin/controls/RangeControls.h"
#include "cwin/composite/TControl.h"
#include "cwin/composite/TreeView.h"

#include <new>
#include <string.h>

namespace {

typedef CBaseWindow* (*MakeFn)();

template <class T> CBaseWindow* MakeOf() { return MakeControlOf<T>(); }

struct KindEntry
{
    const char* name;
    MakeFn make;   // null: no class for this kind yet (SetControlMaker gives one)
};

// In the order the names are tried; the index is the control kind.
KindEntry g_kinds[KIND_COUNT] = {
    {"ComboBox",   MakeOf<CComboBox>},
    {"Static",     MakeOf<CStatic>},
    {"EditBox",    MakeOf<CEditBox>},
    {"Button",     MakeOf<CButton>},
    {"ListBox",    MakeOf<CListBox>},
    {"ListView",   MakeOf<CListView>},
    {"TreeView",   MakeOf<CTreeView>},
    {"TrackBar",   MakeOf<CTrackBar>},
    {"ProgBar",    MakeOf<CProgBar>},
    {"TControl",   MakeOf<CTControl>},
    {"UpDown",     MakeOf<CUpDown>},
    {"ScrollBar",  MakeOf<CScrollBar>},
    {"Dialog",     MakeOf<CDialog>},
    {"Custom",     MakeOf<CCustom>},
    {"ReSizeBar",  MakeOf<CReSizeBar>},
    {"ReBar",      MakeOf<CReBar>},
    {"ToolBar",    MakeOf<CToolBar>},
    {"Graph",      MakeOf<CGraph>},
    {"DTPControl", MakeOf<CDTPControl>},
    {"MDI",        MakeOf<CMDI_Child>},
};

}  // namespace

bool CAppFrame::SetControlMaker(int kind, ControlMaker maker)
{
    if (kind < 0 || kind >= KIND_COUNT)
        return false;
    g_kinds[kind].make = maker;
    return true;
}

ControlMaker CAppFrame::GetControlMaker(int kind)
{
    return kind >= 0 && kind < KIND_COUNT ? g_kinds[kind].make : NULL;
}

const char* CAppFrame::TypeName(int kind)
{
    return kind >= 0 && kind < KIND_COUNT ? g_kinds[kind].name : NULL;
}

CBaseWindow* CAppFrame::MakeControl(const char* typeName)
{
    if (!typeName)
        return NULL;
    for (int kind = 0; kind < KIND_COUNT; ++kind) {
        if (strcmp(g_kinds[kind].name, typeName) != 0)
            continue;
        if (!g_kinds[kind].make)
            return NULL;
        CBaseWindow* object = g_kinds[kind].make();
        if (!object)
            return NULL;
        controls[controlCount] = object;
        object->kind = kind;
        object->id = FindFreeControlId();
        return object;
    }
    return NULL;
}

int CAppFrame::FindFreeControlId()
{
    for (int candidate = 1; candidate <= 0x6FFFFFFF; ++candidate) {
        bool used = false;
        for (int i = 0; i < controlCount && !used; ++i)
            used = controls[i]->id == candidate;
        if (!used)
            return candidate;
    }
    return 0;
}

// Anchors that measure from an edge of this object fall back to the parent's edge.
void CAppFrame::ForgetReferencesTo(CBaseWindow* object)
{
    UINT_PTR first = (UINT_PTR)&object->rect, last = (UINT_PTR)(&object->rect + 1);
    UINT_PTR clientFirst = (UINT_PTR)&object->clientRect, clientLast = (UINT_PTR)(&object->clientRect + 1);
    for (int i = 0; i < controlCount; ++i) {
        CBaseWindow* c = controls[i];
        if (!c)
            continue;   // slots a modal page is emptying
        LONG** refs[4] = {&c->refLeft, &c->refTop, &c->refRight, &c->refBottom};
        for (int r = 0; r < 4; ++r) {
            UINT_PTR p = (UINT_PTR)*refs[r];
            if ((p >= first && p < last) || (p >= clientFirst && p < clientLast))
                *refs[r] = NULL;
        }
    }
}

void CAppFrame::FreeObject(CBaseWindow* object, bool release)
{
    if (!object)
        return;
    ForgetReferencesTo(object);
    if (release)
        object->Release();
    if (object->freeStorage)
        object->freeStorage(object);
}

bool CAppFrame::RemoveControl(int index)
{
    if (index < 0 || index >= controlCount)
        return false;
    CBaseWindow* object = controls[index];
    if (m_dragSource == index)
        m_dragSource = -1;
    else if (m_dragSource > index)
        --m_dragSource;
    FreeObject(object, true);
    memmove(&controls[index], &controls[index + 1], sizeof(controls[0]) * (controlCount - index - 1));
    controls[--controlCount] = NULL;
    return true;
}

// The modal page stands in the scratch slot, entered for the time it runs so
// that the items attached to it get the slots behind it; the sweep waits.
void CAppFrame::EnterModalPage()
{
    ++controlCount;
    EnterDispatch();
}

// The page is looked up rather than trusted to be where it was entered (objects
// below it may have been swept); its items go with it, storage included, as
// nothing else holds them.
void CAppFrame::LeaveModalPage(CBaseWindow* page)
{
    LeaveDispatch();
    int at = controlCount - 1;
    for (int i = controlCount - 1; i >= 0; --i)
        if (controls[i] == page) {
            at = i;
            break;
        }
    for (int i = at + 1; i < controlCount; ++i) {
        controls[i]->Destroy();
        FreeObject(controls[i], true);
        controls[i] = NULL;
    }
    controlCount = at;
}

void CAppFrame::Sweep()
{
    if (m_dispatchDepth > 0)
        return;   // the next creation outside any dispatch frees them
    for (int i = controlCount - 1; i >= 0; --i)
        if (controls[i]->deleted)
            RemoveControl(i);
}

CBaseWindow* CAppFrame::CreateControl(const char* typeName, int left, int top, int right, int bottom,
                                      ULONG_PTR extStyle, DWORD windowStyle, const char* text, HWND parentWindow)
{
    Sweep();
    if (controlCount >= CWIN_MAX_CONTROLS)
        return NULL;
    CBaseWindow* object;
    if (m_adopt) {
        object = m_adopt;
        m_adopt = NULL;
        controls[controlCount] = object;
        object->id = FindFreeControlId();
        object->deleted = 0;
    } else {
        object = MakeControl(typeName);
        if (!object)
            return NULL;
    }
    object->rect.left = left;
    object->rect.top = top;
    object->rect.right = right;
    object->rect.bottom = bottom;
    object->exStyle = (DWORD)extStyle;
    object->style = windowStyle;
    object->parent = parentWindow;
    object->owner = this;
    if (object->kind == KIND_DIALOG) {
        CDialog* page = static_cast<CDialog*>(object);
        page->exStyle = 0;
        page->dialogTemplate = text;
        if (extStyle)
            page->AddHandler(reinterpret_cast<EventCallback>(extStyle), EV_DIALOG_INIT, 0, NULL);
    }
    if (!object->Create()) {
        controls[controlCount] = NULL;
        FreeObject(object, false);
        return NULL;
    }
    // The text is shown as it is: a percent sign in it is no format.
    if (object->kind != KIND_DIALOG && text)
        object->SetText("%s", text);
    controls[controlCount++] = object;
    return object;
}

ICustom* CAppFrame::CreateCustom(CCustom* object, int left, int top, int right, int bottom,
                                 ULONG_PTR extStyle, DWORD windowStyle, const char* text, HWND parentWindow)
{
    if (!object)
        return NULL;
    m_adopt = object;
    CBaseWindow* made = CreateControl("Custom", left, top, right, bottom, extStyle, windowStyle, text,
                                      parentWindow);
    m_adopt = NULL;   // a refused creation must not leave the object for the next one
    return made ? object : NULL;
}

CBaseWindow* CAppFrame::AttachControl(const char* typeName, HWND dialog, int item, EventCallback callback,
                                      int mask, IEventSink* listener)
{
    Sweep();
    if (controlCount >= CWIN_MAX_CONTROLS)
        return NULL;
    CBaseWindow* object = MakeControl(typeName);
    if (!object)
        return NULL;
    HWND window = GetDlgItem(dialog, item);
    RECT itemRect, dialogRect;
    if (!window || !GetWindowRect(window, &itemRect) || !GetWindowRect(dialog, &dialogRect)) {
        controls[controlCount] = NULL;
        FreeObject(object, false);
        return NULL;
    }
    object->hwnd = window;
    object->rect.left = itemRect.left - dialogRect.left;
    object->rect.top = itemRect.top - dialogRect.top;
    object->rect.right = itemRect.right - dialogRect.left;
    object->rect.bottom = itemRect.bottom - dialogRect.top;
    object->style = (DWORD)GetWindowLongA(window, GWL_STYLE);
    object->exStyle = (DWORD)GetWindowLongA(window, GWL_EXSTYLE);
    object->parent = GetParent(window);
    object->owner = this;
    object->itemId = (WORD)item;
    if (object->kind == KIND_EDITBOX)
        static_cast<CEditBox*>(object)->SubclassEdit();
    if (callback || listener)
        object->AddHandler(callback, mask, item, listener);
    controls[controlCount++] = object;
    return object;
}

int CAppFrame::FindControlIndex(int controlId)
{
    for (int i = 0; i < controlCount; ++i)
        if (controls[i]->id == controlId)
            return i;
    return -1;
}

bool CAppFrame::FindControlByWindow(HWND window, CBaseWindow** control)
{
    for (int i = 0; window && i < controlCount; ++i)
        if (controls[i]->hwnd == window) {
            if (control)
                *control = controls[i];
            return true;
        }
    if (control)
        *control = NULL;
    return false;
}

CBaseWindow* CAppFrame::ControlFromPoint(HWND window, int x, int y)
{
    HWND current = window ? window : m_mainWindow;
    if (!current)
        return NULL;
    POINT p = {x, y};
    for (;;) {
        HWND child = ChildWindowFromPointEx(current, p, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
        if (!child || child == current)
            break;
        MapWindowPoints(current, child, &p, 1);
        current = child;
    }
    CBaseWindow* found = NULL;
    FindControlByWindow(current, &found);
    return found;
}

bool CAppFrame::RefreshFrom(int controlId)
{
    int index = FindControlIndex(controlId);
    if (index < 0)
        return false;
    for (int i = index; i < controlCount; ++i)
        controls[i]->FitToParent();
    return true;
}
