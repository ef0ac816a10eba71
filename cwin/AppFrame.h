// CAppFrame: the application frame, one per top-level window.
//
// This is the part of the frame that works without a window: heap registry
// calls, the file dialog object, clipboard text, the progress bar and the
// delimited text reader (which the console converter uses for all its inputs).
#ifndef CWIN_APPFRAME_H
#define CWIN_APPFRAME_H

#include <windows.h>

#include "FileChooser.h"
#include "MathFlow.h"
#include "ProgBar.h"

// Receives the cells of ReadDelimitedText, one call per cell; false stops reading.
class ITableReceiver
{
public:
    virtual bool OnTableCell(char* cell, int length, int row, int column, bool endOfRow) = 0;
};

class CAppFrame
{
public:
    CAppFrame();
    ~CAppFrame();

    int  GetClipboardText(char** out);
    CFileChooser* GetFileDialog() { return &m_fileDialog; }

    bool   MemAlloc(void** variable, SIZE_T size);
    bool   MemRealloc(void** variable, SIZE_T size);
    bool   MemFree(void** variable);
    SIZE_T MemSize(const void* block);
    bool   MemZero(void* block);

    // The progress bar that long operations advance; may have no window.
    void      SetProgressBar(CProgBar* bar) { m_progressBar = bar; }
    CProgBar* GetProgressBar() const { return m_progressBar; }

    HWND GetMainWindow() const { return m_mainWindow; }

    // Background workers: at most 16; each one's thread starts on registration.
    enum { MaxWorkers = 16 };
    bool RegisterWorker(CMathFlow* worker, int interval);
    int  GetWorkerCount() const { return m_workerCount; }
    CMathFlow* GetWorker(int index) const
    {
        return index >= 0 && index < m_workerCount ? m_workers[index] : NULL;
    }

    // Splits text in place into rows and cells. length 0: text names a source
    // ("Clipboard" or a file). lineSeparator 0 means CR.
    bool ReadDelimitedText(char* text, int length, char fieldSeparator, char lineSeparator,
                           ITableReceiver* receiver);

private:
    HWND         m_mainWindow;
    bool         m_oldStyleClipboard;
    CFileChooser m_fileDialog;
    CProgBar*    m_progressBar;
    CMathFlow*   m_workers[MaxWorkers];
    int          m_workerCount;
};

#endif
