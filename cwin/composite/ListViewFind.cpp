// CListView: search down one column (the "find next" box, F3), search in every
// shown column with wrapping (Ctrl+F, F3, the find commands) and the prompt.
#include "cwin/composite/ListView.h"
#include "cwin/controls/TextPrompt.h"
#include "cwin/system/MessageBox.h"
#include "cwin/system/Text.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

namespace {

// The runtime's locale folds Cyrillic in code page 1251 too (the frame sets
// "Russian"); the cast keeps bytes above 0x7F out of the negative range.
void LowerInPlace(char* s)
{
    for (; *s; ++s)
        *s = (char)tolower((unsigned char)*s);
}

// Lower case in code page 1251 whatever the runtime's locale: Latin, Russian
// (Ё as ё) and the other Cyrillic letters of the code page.
class CFold1251
{
public:
    CFold1251()
    {
        for (int c = 0; c < 256; ++c)
            m_lower[c] = (unsigned char)c;
        for (int c = 'A'; c <= 'Z'; ++c)
            m_lower[c] = (unsigned char)(c + 32);
        for (int c = 0xC0; c <= 0xDF; ++c)
            m_lower[c] = (unsigned char)(c + 32);
        static const unsigned char pairs[][2] = {
            {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E}, {0x8F, 0x9F},
            {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3},
            {0xBD, 0xBE}};
        for (const auto& pair : pairs)
            m_lower[pair[0]] = pair[1];
    }
    // Folds `text` into `out` (size bytes, cut to fit).
    void Fold(const char* text, char* out, int size) const
    {
        int i = 0;
        for (; text[i] && i < size - 1; ++i)
            out[i] = (char)m_lower[(unsigned char)text[i]];
        out[i] = 0;
    }

private:
    unsigned char m_lower[256];
};

const CFold1251& Fold1251()
{
    static const CFold1251 fold;
    return fold;
}

}  // namespace


bool CListView::FindNext(const char* text, int column)
{
    char wanted[CWIN_TEXT_SIZE];
    if (!text && column == -1) {
        CopyText(wanted, sizeof(wanted), searchText);
        column = searchColumn;
    } else {
        CopyText(wanted, sizeof(wanted), text ? text : "");
    }
    if (!wanted[0] || !hwnd)
        return false;
    int focused = (int)SendMessageA(hwnd, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    if (focused < 0)
        return false;
    CopyText(searchText, sizeof(searchText), wanted);
    m_findAllColumns = false;
    searchColumn = column;
    LowerInPlace(searchText);
    int dataColumn = !unbound && idColumn ? column - 1 : column;
    if (dataColumn < 0)
        dataColumn = 0;

    char cell[CWIN_TEXT_SIZE];
    char folded[CWIN_TEXT_SIZE];
    NMLVDISPINFOA request;
    for (int row = focused + 1; row < store->ViewCount(); ++row) {
        store->Lock();
        void* record = store->GetByView(row);
        if (!record) {
            store->Unlock();
            return false;
        }
        memset(&request, 0, sizeof(request));
        request.hdr.hwndFrom = hwnd;
        request.hdr.idFrom = 0;
        request.hdr.code = LVN_GETDISPINFOA;
        request.item.mask = LVIF_TEXT;
        request.item.iItem = row;
        request.item.iSubItem = dataColumn;
        cell[0] = 0;
        request.item.pszText = cell;
        request.item.cchTextMax = sizeof(cell);
        AskCell(record, &request);
        // The owner may point the item at a text of its own instead of copying.
        CopyText(folded, sizeof(folded), request.item.pszText ? request.item.pszText : "");
        store->Unlock();
        LowerInPlace(folded);
        if (strstr(folded, searchText)) {
            SelectRow(row);
            return true;
        }
    }
    return true;
}

bool CListView::SearchAtCursor(int row)
{
    if (!owner || !hwnd)
        return false;
    POINT p = owner->Router().GetContextMenuPoint();
    ScreenToClient(hwnd, &p);
    LVHITTESTINFO hit;
    memset(&hit, 0, sizeof(hit));
    hit.pt = p;
    if (SendMessageA(hwnd, LVM_SUBITEMHITTEST, 0, (LPARAM)&hit) < 0 || hit.iItem < 0)
        return false;
    if (idColumn && hit.iSubItem == 0)
        return false;
    if (row == -1) {
        row = (int)SendMessageA(hwnd, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
        if (row < 0)
            row = 0;
    }
    searchMode = true;
    if (!EditCell(NULL, row, hit.iSubItem, searchText)) {
        searchMode = false;
        return false;
    }
    return true;
}


bool CListView::FindText(const char* text)
{
    if (!hwnd || !text || !text[0])
        return false;
    CopyText(searchText, sizeof(searchText), text);
    m_findAllColumns = true;
    return FindInAllColumns();
}

bool CListView::FindTextAgain()
{
    if (!hwnd || !searchText[0])
        return false;
    m_findAllColumns = true;
    return FindInAllColumns();
}

// Rows after the focused one to the end, then from the first row round to the
// focused one itself; every shown cell of a row, the identifier column too.
bool CListView::FindInAllColumns()
{
    int rows = store->ViewCount();
    if (unbound || rows <= 0)
        return false;
    const CFold1251& fold = Fold1251();
    char wanted[CWIN_TEXT_SIZE];
    fold.Fold(searchText, wanted, sizeof(wanted));
    int columns = ColumnCount();
    int focused = (int)SendMessageA(hwnd, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    int start = focused >= 0 && focused < rows ? focused + 1 : 0;
    char cell[CWIN_TEXT_SIZE];
    char folded[CWIN_TEXT_SIZE];
    for (int k = 0; k < rows; ++k) {
        int row = (start + k) % rows;
        bool found = false;
        store->Lock();
        void* record = store->GetByView(row);
        for (int column = 0; record && column < columns && !found; ++column) {
            fold.Fold(ShownCell(record, row, column, cell, sizeof(cell)), folded, sizeof(folded));
            found = strstr(folded, wanted) != NULL;
        }
        store->Unlock();
        if (found) {
            SelectRow(row);
            return true;
        }
    }
    return false;
}

void CListView::PromptFind()
{
    if (!hwnd)
        return;
    char text[CWIN_TEXT_SIZE];
    CopyText(text, sizeof(text), searchText);
    TextPromptTexts texts = {"Найти", "Текст для поиска:", "Найти", "Отмена"};
    bool asked = AskText(GetAncestor(hwnd, GA_ROOT), texts, text, sizeof(text));
    SetFocus(hwnd);
    if (!asked || !text[0])
        return;
    if (!FindText(text))
        TellNotFound();
}

void CListView::RepeatFind()
{
    if (!searchText[0]) {
        PromptFind();
        return;
    }
    if (!m_findAllColumns) {
        FindNext(NULL, -1);   // the column search of the "find next" box, as it always went
        return;
    }
    if (!FindTextAgain())
        TellNotFound();
}

void CListView::TellNotFound()
{
    char message[CWIN_TEXT_SIZE + 64];
    snprintf(message, sizeof(message), "Текст «%s» не найден.", searchText);
    ShowMessageBox(GetAncestor(hwnd, GA_ROOT), message, "Найти", MB_OK | MB_ICONINFORMATION);
}
