// AskText: the one-line text prompt, a dialog from a template built in memory.
#include "cwin/controls/TextPrompt.h"

#include <string.h>

namespace {

const UINT kCodePage = 1251;

// The template, word by word: the header, then each item on a DWORD boundary.
class CTemplate
{
public:
    CTemplate() : m_used(0), m_failed(false) {}

    void Word(WORD w)
    {
        if (m_used >= kWords) {
            m_failed = true;
            return;
        }
        m_words[m_used++] = w;
    }
    void Dword(DWORD d)
    {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    // A text in code page 1251 as the template's UTF-16 string.
    void Text(const char* text)
    {
        int room = kWords - m_used;
        int n = room > 0 ? MultiByteToWideChar(kCodePage, 0, text ? text : "", -1,
                                                reinterpret_cast<WCHAR*>(m_words + m_used), room)
                         : 0;
        if (n <= 0)
            m_failed = true;
        else
            m_used += n;
    }
    void AlignToDword()
    {
        if (m_used % 2)
            Word(0);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom, const char* text)
    {
        AlignToDword();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);   // extended style
        Word((WORD)x);
        Word((WORD)y);
        Word((WORD)cx);
        Word((WORD)cy);
        Word(id);
        Word(0xFFFF);
        Word(classAtom);
        Text(text);
        Word(0);    // no creation data
    }
    const DLGTEMPLATE* Get() const
    {
        return m_failed ? NULL : reinterpret_cast<const DLGTEMPLATE*>(m_words);
    }

private:
    static const int kWords = 1024;
    // DLGTEMPLATE wants DWORD alignment.
    union {
        WORD  m_words[kWords];
        DWORD m_align;
    };
    int  m_used;
    bool m_failed;
};

struct PromptState
{
    char* text;
    int   size;
};

INT_PTR CALLBACK PromptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        PromptState* state = reinterpret_cast<PromptState*>(lParam);
        WCHAR wide[1024];
        if (!MultiByteToWideChar(kCodePage, 0, state->text, -1, wide, 1024))
            wide[0] = 0;
        HWND edit = GetDlgItem(dialog, TEXT_PROMPT_EDIT);
        SetWindowTextW(edit, wide);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SetFocus(edit);
        return FALSE;   // the focus is set
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            PromptState* state = reinterpret_cast<PromptState*>(GetWindowLongPtrA(dialog, DWLP_USER));
            WCHAR wide[1024];
            GetDlgItemTextW(dialog, TEXT_PROMPT_EDIT, wide, 1024);
            char narrow[2048];
            int n = WideCharToMultiByte(kCodePage, 0, wide, -1, narrow, sizeof(narrow), NULL, NULL);
            if (n <= 0)
                narrow[0] = 0;
            if (state && state->size > 0) {
                size_t length = strnlen(narrow, (size_t)state->size - 1);
                memcpy(state->text, narrow, length);
                state->text[length] = 0;
            }
            EndDialog(dialog, 1);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

bool AskText(HWND owner, const TextPromptTexts& texts, char* text, int size)
{
    if (!text || size <= 0)
        return false;
    CTemplate t;
    // Header: style, extended style, item count, position and size (dialog
    // units), no menu, the default class, the caption, the font.
    t.Dword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    t.Dword(0);
    t.Word(4);
    t.Word(0);
    t.Word(0);
    t.Word(220);
    t.Word(62);
    t.Word(0);
    t.Word(0);
    t.Text(texts.caption);
    t.Word(8);
    t.Text("MS Shell Dlg");
    t.Item(SS_LEFT, 7, 7, 206, 9, TEXT_PROMPT_LABEL, 0x0082, texts.label);
    t.Item(WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 18, 206, 13, TEXT_PROMPT_EDIT, 0x0081, "");
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 109, 40, 50, 14, IDOK, 0x0080, texts.accept);
    t.Item(BS_PUSHBUTTON | WS_TABSTOP, 163, 40, 50, 14, IDCANCEL, 0x0080, texts.cancel);
    const DLGTEMPLATE* made = t.Get();
    if (!made)
        return false;
    PromptState state = {text, size};
    INT_PTR answer = DialogBoxIndirectParamW(GetModuleHandleA(NULL), made, owner, PromptProc, (LPARAM)&state);
    return answer == 1;
}
