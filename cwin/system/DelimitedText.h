// The delimited text reader, a service that needs no window:
//
//   ITableReceiver        receives the cells, one call per cell.
//   CDelimitedTextReader  splits a text (or a file it names) in place into
//                         rows and cells, advancing an IProgress as it goes.
//
// The application frame's ReadDelimitedText forwards here, after resolving the
// one source only it has, the clipboard.
#ifndef CWIN_DELIMITEDTEXT_H
#define CWIN_DELIMITEDTEXT_H

#include "cwin/system/FileFunctions.h"
#include "cwin/system/Progress.h"

// Receives the cells of ReadDelimitedText, one call per cell; false stops reading.
class ITableReceiver
{
public:
    virtual bool OnTableCell(char* cell, int length, int row, int column, bool endOfRow) = 0;

    // Asked once when reading starts: bit c (c below 31) stands for column c,
    // bit 31 for all columns from 31 on. A cell of a column whose bit is clear
    // is passed only when it ends its row; the others of such columns are
    // skipped, neither trimmed nor passed (the progress still steps over them).
    virtual unsigned CellColumns() { return ~0u; }
};

class CDelimitedTextReader
{
public:
    // Named sources are read with `files`; progress may be null (nothing shown).
    explicit CDelimitedTextReader(CFileFunctions& files, IProgress* progress = 0)
        : m_files(files), m_progress(progress)
    {
    }

    void       SetProgress(IProgress* progress) { m_progress = progress; }
    IProgress* GetProgress() const { return m_progress; }

    // Splits text in place into rows and cells. length 0: text names a file
    // that is read whole and released afterwards; length < 0: nothing to split.
    // lineSeparator 0 means CR. True when every call of the receiver returned
    // true and there was at least one.
    bool ReadDelimitedText(char* text, int length, char fieldSeparator, char lineSeparator,
                           ITableReceiver* receiver);

private:
    CFileFunctions& m_files;
    IProgress*      m_progress;
};

#endif
