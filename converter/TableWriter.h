// CTableWriter: the exports' output file. Each piece is formatted and cut at
// 1023 bytes exactly as WriteFormatted does, but pieces are gathered and written
// in large blocks: a move table has millions of pieces, and one system call per
// piece would dominate the whole conversion.
#ifndef CONVERTER_TABLEWRITER_H
#define CONVERTER_TABLEWRITER_H

#include <windows.h>

class CTableWriter
{
public:
    explicit CTableWriter(const char* fileName);   // created anew; writes do nothing if it cannot be
    ~CTableWriter();
    void Write(const char* format, ...);
    void Close();

private:
    void Flush();

    HANDLE m_file;
    char*  m_buffer;
    size_t m_used;
};

#endif
