// CTableWriter: the exports' output file. Each piece is formatted and cut at
// 1023 bytes exactly as WriteFormatted does, but pieces are gathered and written
// in large blocks: a move table has millions of pieces, and one system call per
// piece would dominate the whole conversion.
//
// A piece is either one Write (printf-formatted) or the parts between
// BeginPiece and EndPiece, which put texts and numbers as "%s", "%d", "%.2d"
// and "%.5f" put them, without a format string to interpret.
#ifndef CONVERTER_TABLEWRITER_H
#define CONVERTER_TABLEWRITER_H

#include <windows.h>

#include "cwin/system/FileOps.h"

class CTableWriter
{
public:
    // The table is written under a temporary name and takes the file's name
    // on Close, only when every byte was written: a failed table never leaves
    // a cut file behind, and writes do nothing once one failed. With
    // `buffer`, the writer uses the registry block held there (made on first
    // use) and leaves it to the holder: fresh pages for each table cost more
    // than the small tables' writing. With a `set` that names the file, the
    // table is one of the set's: Close leaves it whole beside the file, and
    // the set's Commit puts it in place together with the others.
    explicit CTableWriter(const char* fileName, char** buffer = NULL, CReplacingFileSet* set = NULL);
    ~CTableWriter();
    void Write(const char* format, ...);
    // True when the whole table is in place under its name, or whole and
    // waiting for its set (answered again on later calls); false when the
    // file could not be made or written whole.
    bool Close();

    void BeginPiece() { m_pieceStart = m_used; }
    void Text(const char* text);
    void Text(const char* text, size_t length);
    void Int(int value);
    void TwoDigits(int value);
    void Fixed5(double value);
    void EndPiece();

    // Whole lines put straight into the buffer: Reserve gives room for `bytes`
    // (at most kRoom) more bytes, null when the file is not open; Advance takes
    // what was put up to `end`. The caller cuts its pieces itself.
    static const size_t kRoom = 8192;
    char* Reserve(size_t bytes);
    void  Advance(const char* end);

private:
    void Flush();

    CReplacingFile  m_own;
    CReplacingFile* m_file;   // m_own, or the set's file
    bool   m_inSet;
    char*  m_buffer;
    char** m_holder;   // the caller's variable holding the buffer, or null
    size_t m_used;
    size_t m_pieceStart;
    bool   m_closed;
    bool   m_written;
};

#endif
