// The thin controls: button, static, edit box, combo box, list box, date-time picker, dialog page.
#include "cwin/controls/BasicControls.h"
#include "cwin/window/ImageLists.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

// Turns the window's screen rectangle into the parent's client coordinates.
static bool RectInParent(HWND window, HWND parent, RECT* r)
{
    if (!GetWindowRect(window, r))
        return false;
    if (parent)
        MapWindowPoints(NULL, parent, reinterpret_cast<POINT*>(r), 2);
    return true;
}

// The icon of an image of the frame's registry, asked for on behalf of w.
static HICON RegistryIcon(CBaseWindow* w, int list, int image)
{
    if (!w->Owner())
        return NULL;
    IconEntry* entry = w->Owner()->Resources().GetImageLists()->GetIcon(list, image, ILD_NORMAL, w->GetId());
    return entry ? entry->icon : NULL;
}

// ---- CButton

CButton::CButton() { images[0] = images[1] = NULL; }

// A button or edit box given handlers before it existed also reports its
// commands through entry 0. An entry that wants everything (mask 0) keeps
// wanting everything.
bool CButton::Create()
{
    AddToFirstHandler(EV_COMMAND);
    return CreateWindowOf("BUTTON");
}

bool CButton::Destroy()
{
    for (int i = 0; i < 2; ++i)
        if (images[i]) {
            DeleteObject(images[i]);
            images[i] = NULL;
        }
    return CBaseWindow::Destroy();
}

bool CButton::GetCheck()
{
    return (SendMessageA(hwnd, BM_GETSTATE, 0, 0) & BST_CHECKED) != 0;
}

LRESULT CButton::SetCheck(bool checked)
{
    return SendMessageA(hwnd, BM_SETCHECK, checked ? 1 : 0, 0);
}

// BM_SETIMAGE answers the previous image, null the first time: whether the
// icon is now the button's is read back instead.
bool CButton::SetImage(int list, int image)
{
    HICON icon = RegistryIcon(this, list, image);
    if (!icon)
        return false;
    SendMessageA(hwnd, BM_SETIMAGE, IMAGE_ICON, (LPARAM)icon);
    return (HICON)SendMessageA(hwnd, BM_GETIMAGE, IMAGE_ICON, 0) == icon;
}

// ---- CStatic

bool CStatic::Create()
{
    DropFirstCallback();
    return CreateWindowOf("STATIC");
}

bool CStatic::SetImage(int list, int image)
{
    HICON icon = RegistryIcon(this, list, image);
    if (!icon)
        return false;
    SendMessageA(hwnd, STM_SETIMAGE, IMAGE_ICON, (LPARAM)icon);
    return (HICON)SendMessageA(hwnd, STM_GETIMAGE, IMAGE_ICON, 0) == icon;
}

// ---- CEditBox

CEditBox::CEditBox() : previousProc(NULL) {}

bool CEditBox::Create()
{
    if (!CreateWindowOf("EDIT"))
        return false;
    AddToFirstHandler(EV_COMMAND);
    return SubclassEdit();
}

bool CEditBox::SubclassEdit()
{
    previousProc = (WNDPROC)GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, (LONG_PTR)static_cast<CBaseWindow*>(this));
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)SubclassProc);
    return true;
}

LRESULT CEditBox::AppendText(const char* format, ...)
{
    if (!format)
        return 0;
    va_list args;
    va_start(args, format);
    FormatText(format, args);
    va_end(args);
    return SendMessageA(hwnd, EM_REPLACESEL, FALSE, (LPARAM)text);
}

LRESULT CALLBACK CEditBox::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CBaseWindow* object = WindowObjectOf(window);
    CEditBox* edit = object && object->GetKind() == KIND_EDITBOX ? static_cast<CEditBox*>(object) : NULL;
    if (!edit || !edit->previousProc)
        return DefWindowProcA(window, message, wParam, lParam);
    DispatchScope scope(edit->owner);   // OnMessage still uses the object after its events
    return edit->OnMessage(message, wParam, lParam);
}

void CEditBox::Raise(int code, INT_PTR param, WPARAM wParam, LPARAM lParam)
{
    PrepareEvent(param, wParam, lParam);
    Dispatch(code);
}

LRESULT CEditBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = hwnd;
    WNDPROC previous = previousProc;
    switch (message) {
    case WM_SETFOCUS:
        Raise(EV_EDIT_BEGIN, 0, wParam, lParam);
        GetWindowTextA(window, text, sizeof(text));
        if (HasHandlerFor(EV_CANCEL))
            SetCapture(window);
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            GetWindowTextA(window, text, sizeof(text));
            Raise(EV_COMMAND, 0, wParam, lParam);
            if (!HasHandlerFor(EV_CANCEL))
                ReleaseCapture();
            return 0;
        }
        if (wParam == VK_ESCAPE) {
            SetWindowTextA(window, text);
            Raise(EV_CANCEL, 0, wParam, lParam);
            return 0;
        }
        Raise(EV_KEY_DOWN, (INT_PTR)wParam, wParam, lParam);
        break;
    case WM_KEYUP:
        Raise(EV_KEY_UP, (INT_PTR)wParam, wParam, lParam);
        break;
    case WM_LBUTTONDOWN: {
        int x = (short)LOWORD(lParam), y = (short)HIWORD(lParam);
        bool inside = x > 0 && x < rect.right - rect.left && y > 0 && y < rect.bottom - rect.top;
        if (!inside) {
            ReleaseCapture();
            Raise(EV_CANCEL, 0, wParam, lParam);
        }
        break;
    }
    case WM_KILLFOCUS:
        Raise(EV_CANCEL, 0, wParam, lParam);
        break;
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

// ---- CComboBox

CComboBox::CComboBox() : dropRows(3) {}

bool CComboBox::Create()
{
    if (!CreateWindowOf("COMBOBOX"))
        return false;
    RECT r;
    if (RectInParent(hwnd, parent, &r))
        rect = r;
    return true;
}

bool CComboBox::Layout(int w, int h)
{
    if (!CBaseWindow::Layout(w, h))
        return false;
    RECT now;
    GetWindowRect(hwnd, &now);
    int closed = now.bottom - now.top;
    if (AnchorMargin(ANCHOR_TOP))
        rect.bottom = rect.top + closed;
    else if (AnchorMargin(ANCHOR_BOTTOM))
        rect.top = rect.bottom - closed;
    // SWP_NOZORDER: the z-order must not change on every layout.
    SetWindowPos(hwnd, NULL, rect.left, rect.top, rect.right - rect.left,
                 (rect.bottom - rect.top) * (dropRows + 1), SWP_NOZORDER);
    return true;
}

LRESULT CComboBox::InsertString(int index, const char* item)
{
    return SendMessageA(hwnd, CB_INSERTSTRING, (WPARAM)index, (LPARAM)item);
}

LRESULT CComboBox::DeleteString(int index)
{
    if (index == -1) {
        SendMessageA(hwnd, CB_RESETCONTENT, 0, 0);
        return 0;
    }
    return SendMessageA(hwnd, CB_DELETESTRING, (WPARAM)index, 0);
}

LRESULT CComboBox::GetCurSel() { return SendMessageA(hwnd, CB_GETCURSEL, 0, 0); }
LRESULT CComboBox::SetCurSel(int index) { return SendMessageA(hwnd, CB_SETCURSEL, (WPARAM)index, 0); }

// ---- CListBox

bool CListBox::Create() { return CreateWindowOf("LISTBOX"); }

LRESULT CListBox::InsertString(int index, const char* item)
{
    return SendMessageA(hwnd, LB_INSERTSTRING, (WPARAM)index, (LPARAM)item);
}

LRESULT CListBox::DeleteString(int index) { return SendMessageA(hwnd, LB_DELETESTRING, (WPARAM)index, 0); }
LRESULT CListBox::GetCurSel() { return SendMessageA(hwnd, LB_GETCURSEL, 0, 0); }
LRESULT CListBox::SetCurSel(int index) { return SendMessageA(hwnd, LB_SETCURSEL, (WPARAM)index, 0); }

// ---- CDTPControl

bool CDTPControl::Create()
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_DATE_CLASSES};
    InitCommonControlsEx(&init);
    return CreateWindowOf(DATETIMEPICK_CLASSA);
}

// ---- CDialog

CDialog* CDialog::currentModal = NULL;

CDialog::CDialog() : previousProc(NULL), dialogTemplate(NULL), m_modalResult(-1) {}

bool CDialog::SetItemText(int item, const char* format, ...)
{
    if (!format)
        return false;
    va_list args;
    va_start(args, format);
    FormatText(format, args);
    va_end(args);
    return SetDlgItemTextA(hwnd, item, text) != FALSE;
}

bool CDialog::Create()
{
    return (style & WS_CHILD) ? CreateModeless() : RunModal();
}

bool CDialog::CreateModeless()
{
    HINSTANCE instance = owner ? owner->Resources().GetInstance() : GetModuleHandleA(NULL);
    hwnd = CreateDialogParamA(instance, dialogTemplate, parent, NULL, 0);
    if (!hwnd)
        return false;
    ShowWindow(hwnd, (style & WS_VISIBLE) ? SW_SHOW : SW_HIDE);
    UpdateWindow(hwnd);
    previousProc = (WNDPROC)GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, (LONG_PTR)static_cast<CBaseWindow*>(this));
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)ModelessProc);
    return true;
}

// The page does all its work here; the factory then frees it (a modal page is
// never counted). The frame keeps the page's slot and its items' slots while
// the dialog runs.
bool CDialog::RunModal()
{
    if (!owner)
        return false;
    IPageRouter& pages = owner->Router();
    pages.EnterModalPage();
    CDialog* outer = currentModal;
    currentModal = this;
    m_modalResult = DialogBoxParamA(owner->Resources().GetInstance(), dialogTemplate, parent, ModalProc, 0);
    currentModal = outer;
    pages.LeaveModalPage(this);
    return false;
}

LRESULT CALLBACK CDialog::ModelessProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CBaseWindow* object = WindowObjectOf(window);
    CDialog* page = object && object->GetKind() == KIND_DIALOG ? static_cast<CDialog*>(object) : NULL;
    if (!page || !page->previousProc)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_SIZE && (page->style & WS_CHILD))
        return 0;
    WNDPROC previous = page->previousProc;
    IWindowOwner* frame = page->owner;
    if (!frame)
        return CallWindowProcA(previous, window, message, wParam, lParam);
    bool passOn = false;
    LRESULT result = frame->Router().RouteForPage(window, message, wParam, lParam, &passOn);
    if (passOn)
        return CallWindowProcA(previous, window, message, wParam, lParam);
    return result;
}

INT_PTR CALLBACK CDialog::ModalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* page = currentModal;
    if (!page || !page->owner)
        return FALSE;
    if (message == WM_INITDIALOG) {
        page->hwnd = window;
        memset(&page->event, 0, sizeof(page->event));
        page->Dispatch(EV_DIALOG_INIT);
        return FALSE;
    }
    bool passOn = false;
    LRESULT result = page->owner->Router().RouteForPage(window, message, wParam, lParam, &passOn);
    if (passOn)
        return FALSE;
    // A dialog procedure answers the colour messages with the brush itself and
    // every other handled message through DWLP_MSGRESULT.
    switch (message) {
    case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN: case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR:
        return (INT_PTR)result;
    }
    SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
}

// The edit box and the dialog page put back the procedure they replaced.
static void PutBackProc(HWND window, WNDPROC previous)
{
    if (previous && window && IsWindow(window))
        SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)previous);
}

void CEditBox::RestoreWindowProc()
{
    PutBackProc(hwnd, previousProc);
}

void CDialog::RestoreWindowProc()
{
    PutBackProc(hwnd, previousProc);
}
