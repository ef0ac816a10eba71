// CListView: select all, the selected rows to the clipboard as tab-separated
// text, the whole list to a ';'-separated CSV file. Cells are asked of the
// owner directly, as for drawing, never through the control's messages.
#include "cwin/composite/ListView.h"
#include "cwin/system/FileOps.h"
#include "cwin/system/HeapRegistry.h"

#include <stdio.h>
#include <string.h>

namespace {

const UINT kCodePage = 1251;
// A CSV file is written in pieces of about this size.
const size_t kFlushSize = 1 << 20;
const int kMaxColumns = 256;

}  // namespace

// The text of rows, cell by cell: tab-separated for the clipboard (a tab or a
// line break inside a cell becomes a blank, so that the rows keep their
// shape), or ';'-separated CSV (such a cell is quoted, quotes doubled). In
// number columns the decimal point becomes a comma.
class CGridTextSink
{
public:
    CGridTextSink(bool csv, CReplacingFile* file)
        : m_csv(csv), m_file(file), m_data(NULL), m_size(0), m_capacity(0), m_failed(false), m_rows(0)
    {
    }
    ~CGridTextSink()
    {
        if (m_data)
            g_heapRegistry.Free(&m_data);
    }

    void Cell(const char* text, bool number, bool first)
    {
        size_t length = strlen(text);
        if (!Reserve(2 * length + 3))
            return;
        char* out = m_data + m_size;
        if (!first)
            *out++ = m_csv ? ';' : '\t';
        bool quoted = m_csv && strpbrk(text, ";\"\r\n") != NULL;
        if (quoted)
            *out++ = '"';
        for (const char* c = text; *c; ++c) {
            char ch = *c;
            if (number && ch == '.')
                ch = ',';
            else if (!m_csv && (ch == '\t' || ch == '\r' || ch == '\n'))
                ch = ' ';
            else if (quoted && ch == '"')
                *out++ = '"';
            *out++ = ch;
        }
        if (quoted)
            *out++ = '"';
        m_size = (size_t)(out - m_data);
    }
    void EndLine(bool dataRow)
    {
        if (!Reserve(2))
            return;
        m_data[m_size++] = '\r';
        m_data[m_size++] = '\n';
        if (dataRow)
            ++m_rows;
        if (m_file && m_size >= kFlushSize)
            Flush();
    }
    // Writes what is gathered to the file, if there is one.
    bool Flush()
    {
        if (!m_file || m_failed)
            return !m_failed;
        if (m_size > 0 && !m_file->Write(m_data, (DWORD)m_size))
            m_failed = true;
        m_size = 0;
        return !m_failed;
    }

    bool Failed() const { return m_failed; }
    const char* Data() const { return m_data; }
    size_t Size() const { return m_size; }
    int DataRows() const { return m_rows; }

private:
    bool Reserve(size_t more)
    {
        if (m_failed)
            return false;
        if (m_size + more <= m_capacity)
            return true;
        size_t capacity = m_capacity ? m_capacity : 64 * 1024;
        while (capacity < m_size + more)
            capacity *= 2;
        if (capacity > 0x7FFFFFF0u || !g_heapRegistry.Alloc(&m_data, capacity)) {
            m_failed = true;
            return false;
        }
        m_capacity = capacity;
        return true;
    }

    bool            m_csv;
    CReplacingFile* m_file;
    char*           m_data;
    size_t          m_size;
    size_t          m_capacity;
    bool            m_failed;
    int             m_rows;
};

int CListView::ColumnCount()
{
    HWND header = hwnd ? (HWND)SendMessageA(hwnd, LVM_GETHEADER, 0, 0) : NULL;
    return header ? (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : 0;
}

const char* CListView::ShownCell(void* record, int row, int column, char* buffer, int size)
{
    buffer[0] = 0;
    if (idColumn && column == 0) {
        if (record)
            snprintf(buffer, (size_t)size, "%d", *static_cast<int*>(record));
        return buffer;
    }
    NMLVDISPINFOA request;
    memset(&request, 0, sizeof(request));
    request.hdr.hwndFrom = hwnd;
    request.hdr.code = LVN_GETDISPINFOA;
    request.item.mask = LVIF_TEXT;
    request.item.iItem = row;
    request.item.iSubItem = idColumn ? column - 1 : column;
    request.item.pszText = buffer;
    request.item.cchTextMax = size;
    AskCell(record, &request);
    // The owner may point the item at a text of its own instead of copying.
    return request.item.pszText ? request.item.pszText : "";
}

// The column titles, then the rows: every data row in the shown order, or the
// selected ones. Footer rows are no data and are left out.
bool CListView::WriteRows(CGridTextSink& sink, bool selectedOnly)
{
    int columns = ColumnCount();
    if (columns > kMaxColumns)
        columns = kMaxColumns;
    bool numbers[kMaxColumns];
    HWND header = (HWND)SendMessageA(hwnd, LVM_GETHEADER, 0, 0);
    char title[CWIN_TEXT_SIZE];
    for (int c = 0; c < columns; ++c) {
        HDITEMA item;
        memset(&item, 0, sizeof(item));
        item.mask = HDI_LPARAM;
        numbers[c] = SendMessageA(header, HDM_GETITEMA, (WPARAM)c, (LPARAM)&item)
                     && (item.lParam & CWIN_COLUMN_NUMBERS) != 0;
        LVCOLUMNA column;
        memset(&column, 0, sizeof(column));
        column.mask = LVCF_TEXT;
        column.pszText = title;
        column.cchTextMax = sizeof(title);
        title[0] = 0;
        SendMessageA(hwnd, LVM_GETCOLUMNA, (WPARAM)c, (LPARAM)&column);
        sink.Cell(title, false, c == 0);
    }
    if (columns > 0)
        sink.EndLine(false);

    int rows = unbound ? 0 : store->ViewCount();
    int items = (int)SendMessageA(hwnd, LVM_GETITEMCOUNT, 0, 0);
    int selected = selectedOnly ? (int)SendMessageA(hwnd, LVM_GETSELECTEDCOUNT, 0, 0) : rows;
    bool every = !selectedOnly || selected >= items;
    int total = every ? rows : (selected < rows ? selected : rows);
    IProgress* bar = owner ? owner->Resources().GetProgress() : NULL;
    if (bar)
        bar->SetRange(0, total);
    int step = total / 256 > 0 ? total / 256 : 1;
    int done = 0;
    char cell[CWIN_TEXT_SIZE];
    for (int row = every ? 0 : -1; columns > 0 && !sink.Failed();) {
        if (!every)
            row = (int)SendMessageA(hwnd, LVM_GETNEXTITEM, (WPARAM)row, LVNI_SELECTED);
        if (row < 0 || row >= rows)
            break;
        store->Lock();
        void* record = store->GetByView(row);
        if (record) {
            for (int c = 0; c < columns; ++c)
                sink.Cell(ShownCell(record, row, c, cell, sizeof(cell)), numbers[c], c == 0);
            sink.EndLine(true);
        }
        store->Unlock();
        if (bar && ++done % step == 0)
            bar->SetPos(done);
        if (every)
            ++row;
    }
    if (bar)
        bar->SetPos(0);
    return !sink.Failed();
}

bool CListView::SelectAllRows()
{
    if (!hwnd)
        return false;
    // A single-selection grid holds one selected row at most.
    if (GetWindowLongA(hwnd, GWL_STYLE) & LVS_SINGLESEL)
        return true;
    SetStateOfAllRows(LVIS_SELECTED);
    return true;
}

bool CListView::CopySelection()
{
    if (!hwnd || SendMessageA(hwnd, LVM_GETSELECTEDCOUNT, 0, 0) <= 0)
        return false;
    CGridTextSink sink(false, NULL);
    if (!WriteRows(sink, true) || sink.DataRows() == 0 || sink.Size() >= 0x7FFFFFF0u)
        return false;
    int length = (int)sink.Size();
    int wideLength = length > 0 ? MultiByteToWideChar(kCodePage, 0, sink.Data(), length, NULL, 0) : 0;
    HGLOBAL ansi = GlobalAlloc(GMEM_MOVEABLE, (SIZE_T)length + 1);
    HGLOBAL wide = GlobalAlloc(GMEM_MOVEABLE, ((SIZE_T)wideLength + 1) * sizeof(WCHAR));
    bool filled = false;
    if (ansi && wide) {
        char* a = static_cast<char*>(GlobalLock(ansi));
        WCHAR* w = static_cast<WCHAR*>(GlobalLock(wide));
        if (a && w) {
            memcpy(a, sink.Data(), (size_t)length);
            a[length] = 0;
            MultiByteToWideChar(kCodePage, 0, sink.Data(), length, w, wideLength);
            w[wideLength] = 0;
            filled = true;
        }
        if (a)
            GlobalUnlock(ansi);
        if (w)
            GlobalUnlock(wide);
    }
    // Another program may hold the clipboard for a moment.
    bool open = false;
    for (int attempt = 0; filled && attempt < 20 && !(open = OpenClipboard(hwnd) != FALSE); ++attempt)
        Sleep(10);
    bool copied = false;
    if (open) {
        EmptyClipboard();
        if (SetClipboardData(CF_UNICODETEXT, wide))
            wide = NULL;   // the clipboard owns it now
        if (SetClipboardData(CF_TEXT, ansi))
            ansi = NULL;
        copied = !wide && !ansi;
        CloseClipboard();
    }
    if (ansi)
        GlobalFree(ansi);
    if (wide)
        GlobalFree(wide);
    return copied;
}

bool CListView::SaveCsv(const char* path)
{
    if (!hwnd || !path || !path[0])
        return false;
    CReplacingFile file;
    if (!file.Open(path))
        return false;
    CGridTextSink sink(true, &file);
    if (!WriteRows(sink, false) || !sink.Flush()) {
        file.Abandon();
        return false;
    }
    return file.Commit();
}
