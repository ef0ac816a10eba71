// The thin controls over system window classes.
//
//   CButton      "Button"      BUTTON            IButton
//   CStatic      "Static"      STATIC            IStatic
//   CEditBox     "EditBox"     EDIT, subclassed  IEditBox  (keys and focus become events)
//   CComboBox    "ComboBox"    COMBOBOX          IComboBox (drop-down sized by dropRows)
//   CListBox     "ListBox"     LISTBOX           IListBox
//   CDTPControl  "DTPControl"  SysDateTimePick32
//   CDialog      "Dialog"      a dialog page from a template, modeless or modal
#ifndef CWIN_BASICCONTROLS_H
#define CWIN_BASICCONTROLS_H

#include "cwin/window/BaseWindow.h"

class CButton : public CBaseWindow, public IButton
{
public:
    static constexpr int Kind = KIND_BUTTON;
    CButton();
    bool Create() override;
    bool Destroy() override;
    bool    GetCheck() override;
    LRESULT SetCheck(bool checked) override;
    bool    SetImage(int list, int image) override;

    HGDIOBJ images[2];
};

class CStatic : public CBaseWindow, public IStatic
{
public:
    static constexpr int Kind = KIND_STATIC;
    bool Create() override;
    bool SetImage(int list, int image) override;
};

class CEditBox : public CBaseWindow, public IEditBox
{
public:
    static constexpr int Kind = KIND_EDITBOX;
    CEditBox();
    bool Create() override;
    LRESULT AppendText(const char* format, ...) override;
    // Installs the edit box's procedure in front of the edit window's own.
    bool SubclassEdit();
    void RestoreWindowProc() override;

    WNDPROC previousProc;

private:
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Raise(int code, INT_PTR param, WPARAM wParam, LPARAM lParam);
};

class CComboBox : public CBaseWindow, public IComboBox
{
public:
    static constexpr int Kind = KIND_COMBOBOX;
    CComboBox();
    bool Create() override;
    bool Layout(int parentWidth, int parentHeight) override;
    LRESULT InsertString(int index, const char* text) override;
    LRESULT DeleteString(int index) override;
    LRESULT GetCurSel() override;
    LRESULT SetCurSel(int index) override;

    int dropRows;
};

class CListBox : public CBaseWindow, public IListBox
{
public:
    static constexpr int Kind = KIND_LISTBOX;
    bool Create() override;
    LRESULT InsertString(int index, const char* text) override;
    LRESULT DeleteString(int index) override;
    LRESULT GetCurSel() override;
    LRESULT SetCurSel(int index) override;
};

class CDTPControl : public CBaseWindow
{
public:
    static constexpr int Kind = KIND_DTPCONTROL;
    bool Create() override;
};

class CDialog : public CBaseWindow, public IDialog
{
public:
    static constexpr int Kind = KIND_DIALOG;
    CDialog();
    bool Create() override;
    bool SetItemText(int item, const char* format, ...) override;
    void RestoreWindowProc() override;

    WNDPROC     previousProc;
    const char* dialogTemplate;   // name or resource id

    // The modal page being shown (one per process; a nested one replaces it).
    static CDialog* currentModal;
    // What the last modal run of this page ended with (EndDialog's value), -1
    // when its dialog could not be shown.
    INT_PTR ModalResult() const { return m_modalResult; }

private:
    bool CreateModeless();
    bool RunModal();
    INT_PTR m_modalResult;
    static LRESULT CALLBACK ModelessProc(HWND, UINT, WPARAM, LPARAM);
    static INT_PTR CALLBACK ModalProc(HWND, UINT, WPARAM, LPARAM);
};

#endif
