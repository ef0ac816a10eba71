// CControlFactory: makes control objects of the twenty kinds and enters them
// into the frame's object table, in the three ways an object can enter it: a
// new window (typed Create<T>, by kind, or by type name), an item of an
// existing dialog (AttachItem<T>, AttachControl), or an object the caller made
// (Adopt, CreateCustom). Dialog pages have calls of their own.
#ifndef CWIN_CONTROLFACTORY_H
#define CWIN_CONTROLFACTORY_H

#include "cwin/frame/ControlTable.h"

class CCustom;
class CDialog;

class CControlFactory : public IControlFactory
{
public:
    CControlFactory(CControlTable& table, IWindowOwner& owner);
    CControlFactory(const CControlFactory&) = delete;
    CControlFactory& operator=(const CControlFactory&) = delete;

    // The kinds: their type names and the classes made for them.
    static const char* TypeName(int kind);
    // The kind of a type name (exact, with case), or -1.
    static int KindOf(const char* typeName);
    // Replaces the class the table gives a kind (a test seam: stand-in classes
    // over the real common controls); null takes the class away.
    static bool SetControlMaker(int kind, ControlMaker maker);
    // The class a kind has now (null: none), e.g. to put it back after SetControlMaker.
    static ControlMaker GetControlMaker(int kind);

    // A new window; not for dialog pages (below).
    CBaseWindow* CreateOfKind(int kind, const ControlArgs& args, ClassCheck accepts) override;
    CBaseWindow* Adopt(CBaseWindow* object, const ControlArgs& args) override;

    // An item of an existing dialog; callback or listener, when given, gets a
    // handler entry whose user value is the item id.
    CBaseWindow* AttachOfKind(int kind, HWND dialog, int item, EventCallback callback, int mask,
                              IEventSink* listener, ClassCheck accepts);
    template <class T>
    T* AttachItem(HWND dialog, int item, EventCallback callback = NULL, int mask = 0, IEventSink* listener = NULL)
    {
        return static_cast<T*>(AttachOfKind(T::Kind, dialog, item, callback, mask, listener, IsObjectOf<T>));
    }

    // A modeless page from a template of the module's resources (a name, or
    // MAKEINTRESOURCEA of its id), a child of args.parent placed by args (its
    // text and extended style are not used).
    CDialog* CreatePage(const char* dialogTemplate, const ControlArgs& args);
    // A modal page: onInit fills it at EV_DIALOG_INIT (its items are attached
    // there). Returns when its dialog is closed, with EndDialog's value (-1 when
    // it could not be shown); the page and its items are gone by then.
    INT_PTR RunModalPage(const char* dialogTemplate, HWND parent, EventCallback onInit);

    // The forms by type name. For "Dialog", exStyle carries the page's init
    // callback, text its template, and WS_CHILD in style makes it modeless
    // (a modal page answers null).
    CBaseWindow* CreateControl(const char* typeName, int left, int top, int right, int bottom, ULONG_PTR exStyle,
                               DWORD style, const char* text, HWND parent);
    CBaseWindow* AttachControl(const char* typeName, HWND dialog, int item, EventCallback callback, int mask,
                               IEventSink* listener);

private:
    // Sweeps, then makes an object of the kind into the staging slot; null
    // when the table is full, the kind has no class or accepts refuses it.
    CBaseWindow* Make(int kind, ClassCheck accepts);
    // Places the staged object, creates its window and enters it.
    CBaseWindow* Place(CBaseWindow* object, int kind, const ControlArgs& args);
    CDialog* MakePage(const char* dialogTemplate, EventCallback onInit);
    // Runs a made page modally and frees it; args place it while it runs.
    INT_PTR RunModal(CDialog* page, const ControlArgs& args);

    CControlTable& m_table;
    IWindowOwner&  m_owner;
};

#endif
