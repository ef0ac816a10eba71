// CControlFactory: the table of kinds, and the ways an object enters the table.
#include "cwin/frame/ControlFactory.h"
#include "cwin/composite/Bars.h"
#include "cwin/controls/BasicControls.h"
#include "cwin/controls/Custom.h"
#include "cwin/controls/Graph.h"
#include "cwin/composite/ListView.h"
#include "cwin/composite/MDIChild.h"
#include "cwin/controls/ProgBar.h"
#include "cwin/controls/RangeControls.h"
#include "cwin/composite/TControl.h"
#include "cwin/composite/TreeView.h"

#include <string.h>
#include <utility>

namespace {

struct KindEntry
{
    const char*  name;
    ControlMaker make;   // null: no class for this kind (SetControlMaker gives one)
};

template <class T> constexpr KindEntry Entry(const char* name)
{
    return KindEntry{name, MakeControlOf<T>};
}

// In the order the names are tried; the index is the control kind.
KindEntry g_kinds[KIND_COUNT] = {
    Entry<CComboBox>("ComboBox"),
    Entry<CStatic>("Static"),
    Entry<CEditBox>("EditBox"),
    Entry<CButton>("Button"),
    Entry<CListBox>("ListBox"),
    Entry<CListView>("ListView"),
    Entry<CTreeView>("TreeView"),
    Entry<CTrackBar>("TrackBar"),
    Entry<CProgBar>("ProgBar"),
    Entry<CTControl>("TControl"),
    Entry<CUpDown>("UpDown"),
    Entry<CScrollBar>("ScrollBar"),
    Entry<CDialog>("Dialog"),
    Entry<CCustom>("Custom"),
    Entry<CReSizeBar>("ReSizeBar"),
    Entry<CReBar>("ReBar"),
    Entry<CToolBar>("ToolBar"),
    Entry<CGraph>("Graph"),
    Entry<CDTPControl>("DTPControl"),
    Entry<CMDI_Child>("MDI"),
};

// Each class names the kind it is listed under.
static_assert(CComboBox::Kind == 0 && CStatic::Kind == 1 && CEditBox::Kind == 2 && CButton::Kind == 3
                  && CListBox::Kind == 4 && CListView::Kind == 5 && CTreeView::Kind == 6 && CTrackBar::Kind == 7
                  && CProgBar::Kind == 8 && CTControl::Kind == 9 && CUpDown::Kind == 10 && CScrollBar::Kind == 11
                  && CDialog::Kind == 12 && CCustom::Kind == 13 && CReSizeBar::Kind == 14 && CReBar::Kind == 15
                  && CToolBar::Kind == 16 && CGraph::Kind == 17 && CDTPControl::Kind == 18 && CMDI_Child::Kind == 19,
              "the kinds' table and the classes' kinds differ");

}  // namespace

CControlFactory::CControlFactory(CControlTable& table, IWindowOwner& owner) : m_table(table), m_owner(owner) {}

const char* CControlFactory::TypeName(int kind)
{
    return kind >= 0 && kind < KIND_COUNT ? g_kinds[kind].name : NULL;
}

int CControlFactory::KindOf(const char* typeName)
{
    for (int kind = 0; typeName && kind < KIND_COUNT; ++kind)
        if (strcmp(g_kinds[kind].name, typeName) == 0)
            return kind;
    return -1;
}

bool CControlFactory::SetControlMaker(int kind, ControlMaker maker)
{
    if (kind < 0 || kind >= KIND_COUNT)
        return false;
    g_kinds[kind].make = maker;
    return true;
}

ControlMaker CControlFactory::GetControlMaker(int kind)
{
    return kind >= 0 && kind < KIND_COUNT ? g_kinds[kind].make : NULL;
}

CBaseWindow* CControlFactory::Make(int kind, ClassCheck accepts)
{
    m_table.Sweep();
    if (m_table.IsFull())
        return NULL;
    ControlMaker make = GetControlMaker(kind);
    std::unique_ptr<CBaseWindow> made = make ? make() : nullptr;
    if (!made || (accepts && !accepts(made.get())))
        return NULL;
    return m_table.Stage(std::move(made));
}

CBaseWindow* CControlFactory::Place(CBaseWindow* object, int kind, const ControlArgs& args)
{
    object->SetUp(kind, &m_owner, args);
    if (!object->Create()) {
        m_table.Discard(object);
        return NULL;
    }
    // The text is shown as it is: a percent sign in it is no format.
    if (args.text)
        object->SetText("%s", args.text);
    return m_table.Enter(object);
}

CBaseWindow* CControlFactory::CreateOfKind(int kind, const ControlArgs& args, ClassCheck accepts)
{
    if (kind == KIND_DIALOG)
        return NULL;   // CreatePage, RunModalPage
    CBaseWindow* object = Make(kind, accepts);
    return object ? Place(object, kind, args) : NULL;
}

CBaseWindow* CControlFactory::Adopt(CBaseWindow* object, const ControlArgs& args)
{
    if (!object)
        return NULL;
    m_table.Sweep();
    if (m_table.IsFull())
        return NULL;
    m_table.Stage(object);
    object->MarkDeleted(false);
    return Place(object, object->GetKind(), args);
}

CDialog* CControlFactory::MakePage(const char* dialogTemplate, EventCallback onInit)
{
    CDialog* page = static_cast<CDialog*>(Make(KIND_DIALOG, IsObjectOf<CDialog>));
    if (!page)
        return NULL;
    page->dialogTemplate = dialogTemplate;
    if (onInit)
        page->AddHandler(onInit, EV_DIALOG_INIT, 0, NULL);
    return page;
}

CDialog* CControlFactory::CreatePage(const char* dialogTemplate, const ControlArgs& args)
{
    CDialog* page = MakePage(dialogTemplate, NULL);
    if (!page)
        return NULL;
    return static_cast<CDialog*>(
        Place(page, KIND_DIALOG, ControlArgs(args).Style(args.style | WS_CHILD).ExStyle(0).Text(NULL)));
}

INT_PTR CControlFactory::RunModalPage(const char* dialogTemplate, HWND parent, EventCallback onInit)
{
    CDialog* page = MakePage(dialogTemplate, onInit);
    return page ? RunModal(page, ControlArgs().Parent(parent)) : -1;
}

// The page runs inside its Create, which answers false: it is never counted.
INT_PTR CControlFactory::RunModal(CDialog* page, const ControlArgs& args)
{
    page->SetUp(KIND_DIALOG, &m_owner, ControlArgs(args).Style(args.style & ~WS_CHILD).ExStyle(0));
    page->Create();
    INT_PTR result = page->ModalResult();
    m_table.Discard(page);
    return result;
}

CBaseWindow* CControlFactory::AttachOfKind(int kind, HWND dialog, int item, EventCallback callback, int mask,
                                           IEventSink* listener, ClassCheck accepts)
{
    CBaseWindow* object = Make(kind, accepts);
    if (!object)
        return NULL;
    HWND window = GetDlgItem(dialog, item);
    RECT itemRect, dialogRect;
    if (!window || !GetWindowRect(window, &itemRect) || !GetWindowRect(dialog, &dialogRect)) {
        m_table.Discard(object);
        return NULL;
    }
    RECT place = {itemRect.left - dialogRect.left, itemRect.top - dialogRect.top, itemRect.right - dialogRect.left,
                  itemRect.bottom - dialogRect.top};
    object->SetUpItem(kind, &m_owner, window, item, place);
    if (kind == KIND_EDITBOX)
        static_cast<CEditBox*>(object)->SubclassEdit();
    if (callback || listener)
        object->AddHandler(callback, mask, item, listener);
    return m_table.Enter(object);
}

CBaseWindow* CControlFactory::CreateControl(const char* typeName, int left, int top, int right, int bottom,
                                            ULONG_PTR exStyle, DWORD style, const char* text, HWND parent)
{
    const int kind = KindOf(typeName);
    const ControlArgs args = ControlArgs().Parent(parent).Place(left, top, right, bottom).Style(style);
    if (kind != KIND_DIALOG)
        return CreateOfKind(kind, ControlArgs(args).ExStyle((DWORD)exStyle).Text(text), NULL);
    CDialog* page = MakePage(text, reinterpret_cast<EventCallback>(exStyle));
    if (!page)
        return NULL;
    if (style & WS_CHILD)
        return Place(page, KIND_DIALOG, args);
    RunModal(page, args);
    return NULL;
}

CBaseWindow* CControlFactory::AttachControl(const char* typeName, HWND dialog, int item, EventCallback callback,
                                            int mask, IEventSink* listener)
{
    return AttachOfKind(KindOf(typeName), dialog, item, callback, mask, listener, NULL);
}
