// CAppFrame's delimited text reader: splits a text, the clipboard or a file
// in place into rows and cells and hands each cell to a receiver.
#include "AppFrame.h"
#include "HeapRegistry.h"

#include <string.h>

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
