// CAppFrame::ReadDelimitedText: the clipboard source, then the reader of the system layer.
#include "cwin/frame/AppFrame.h"
#include "cwin/system/HeapRegistry.h"

#include <string.h>

bool CAppFrame::ReadDelimitedText(char* text, int length, char fieldSeparator, char lineSeparator,
                                  ITableReceiver* receiver)
{
    CDelimitedTextReader reader(m_fileDialog, m_progressBar);
    if (length != 0 || !text || strcmp(text, "Clipboard") != 0)
        return reader.ReadDelimitedText(text, length, fieldSeparator, lineSeparator, receiver);
    char* clipboard = NULL;
    length = GetClipboardText(&clipboard);
    // An empty clipboard is nothing to split, as an empty file is.
    if (!clipboard || length == 0)
        length = -1;
    const bool result = reader.ReadDelimitedText(clipboard, length, fieldSeparator, lineSeparator, receiver);
    g_heapRegistry.Free(&clipboard);
    return result;
}
