#include "AppFrame.h"
#include "HeapRegistry.h"

#include <string.h>

CAppFrame::CAppFrame()
    : m_mainWindow(NULL), m_oldStyleClipboard(false), m_progressBar(NULL), m_workerCount(0)
{
    memset(m_workers, 0, sizeof(m_workers));
}

bool CAppFrame::RegisterWorker(CMathFlow* worker, int interval)
{
    if (!worker || m_workerCount >= MaxWorkers)
        return false;
    m_workers[m_workerCount++] = worker;
    worker->mainWindow = m_mainWindow;
    worker->StartThread(interval);
    return true;
}

CAppFrame::~CAppFrame() {}

bool CAppFrame::MemAlloc(void** variable, SIZE_T size)
{
    return g_heapRegistry.Alloc(variable, size);
}

bool CAppFrame::MemRealloc(void** variable, SIZE_T size)
{
    return g_heapRegistry.Alloc(variable, size);
}

bool CAppFrame::MemFree(void** variable)
{
    return g_heapRegistry.Free(variable);
}

SIZE_T CAppFrame::MemSize(const void* block)
{
    return g_heapRegistry.Size(block);
}

bool CAppFrame::MemZero(void* block)
{
    return g_heapRegistry.Zero(block);
}

int CAppFrame::GetClipboardText(char** out)
{
    if (!out || !OpenClipboard(m_mainWindow))
        return 0;
    int length = 0;
    if (m_oldStyleClipboard) {
        HANDLE data = GetClipboardData(CF_TEXT);
        const char* text = data ? static_cast<const char*>(GlobalLock(data)) : NULL;
        if (text) {
            length = (int)strlen(text);
            *out = NULL;
            if (g_heapRegistry.Alloc(out, (SIZE_T)length + 1))
                memcpy(*out, text, (size_t)length + 1);
            else
                length = 0;
            GlobalUnlock(data);
        }
    } else {
        HANDLE data = GetClipboardData(CF_UNICODETEXT);
        const wchar_t* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : NULL;
        if (text) {
            int wide = (int)wcslen(text);
            int bytes = wide ? WideCharToMultiByte(CP_ACP, 0, text, wide, NULL, 0, NULL, NULL) : 0;
            *out = NULL;
            if (g_heapRegistry.Alloc(out, (SIZE_T)bytes + 1)) {
                length = bytes ? WideCharToMultiByte(CP_ACP, 0, text, wide, *out, bytes, NULL, NULL) : 0;
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return length;
}

bool CAppFrame::ReadDelimitedText(char* text, int length, char fieldSeparator, char lineSeparator,
                                  ITableReceiver* receiver)
{
    char* obtained = NULL;
    if (length == 0) {
        if (text && strcmp(text, "Clipboard") == 0)
            length = GetClipboardText(&obtained);
        else
            length = text ? m_fileDialog.ReadWholeFile(text, &obtained, -1) : -1;
        text = obtained;
        // Nothing obtained (unreadable source, empty clipboard or file): nothing to split.
        if (!text || length == 0)
            length = -1;
    }
    CProgBar* progress = m_progressBar;
    if (progress)
        progress->SetRange(0, length, 0);

    const unsigned char field = (unsigned char)fieldSeparator;
    const unsigned char line = lineSeparator ? (unsigned char)lineSeparator : 13;
    bool result = false;
    int cellStart = 0, row = 0, column = 0;
    for (int off = 0; receiver && off <= length;) {
        const unsigned char c = (unsigned char)text[off];
        const bool atEnd = off == length;
        if (atEnd || c == field || c == line) {
            const bool endOfRow = atEnd || c == line;
            int end = off;
            while (end > cellStart && text[end - 1] == ' ')
                --end;
            text[end] = 0;
            result = receiver->OnTableCell(text + cellStart, off - cellStart, row, column, endOfRow);
            if (!result) {
                g_heapRegistry.Free(&obtained);
                return false;
            }
            ++column;
            if (endOfRow) {
                // LF after CR, empty lines and leading control bytes; the
                // terminator too, so a final line end opens no empty row.
                int next = off + 1;
                while (next <= length && (unsigned char)text[next] < 0x20)
                    ++next;
                if (progress)
                    progress->Step();
                cellStart = next;
                ++row;
                column = 0;
                off = next;
                continue;
            }
            cellStart = off + 1;
        }
        if (progress)
            progress->Step();
        ++off;
    }
    if (progress)
        progress->SetPos(0);
    g_heapRegistry.Free(&obtained);
    return result;
}
