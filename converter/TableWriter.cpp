// CTableWriter: the exports' output file, written in large blocks.
#include "TableWriter.h"
#include "cwin/system/HeapRegistry.h"
#include "Numbers.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

static const size_t kBlock = 1 << 20;
static const size_t kPieceLimit = 1023;

CTableWriter::CTableWriter(const char* fileName, char** buffer, CReplacingFileSet* set)
    : m_file(&m_own), m_inSet(false), m_buffer(NULL), m_holder(buffer), m_used(0), m_pieceStart(0),
      m_closed(false), m_written(false)
{
    const int entry = set ? set->IndexOf(fileName) : -1;
    if (entry >= 0) {
        m_file = &set->File(entry);
        m_inSet = true;
    }
    if (!m_file->Open(fileName))
        return;
    if (m_holder && *m_holder) {
        m_buffer = *m_holder;
        return;
    }
    if (!g_heapRegistry.Alloc(&m_buffer, kBlock + kRoom)) {
        m_file->Abandon();
        return;
    }
    if (m_holder)
        *m_holder = m_buffer;
}

CTableWriter::~CTableWriter()
{
    Close();
}

void CTableWriter::Write(const char* format, ...)
{
    if (!m_file->IsOpen())
        return;
    va_list args;
    va_start(args, format);
    int n = vsnprintf(m_buffer + m_used, 1024, format, args);
    va_end(args);
    if (n < 0)
        return;
    m_used += n > 1023 ? 1023 : (size_t)n;
    if (m_used >= kBlock)
        Flush();
}

// Parts of a piece stop at its 1023rd byte, as the formatted piece is cut there.
void CTableWriter::Text(const char* text, size_t length)
{
    if (!m_file->IsOpen())
        return;
    const size_t room = kPieceLimit - (m_used - m_pieceStart);
    if (length > room)
        length = room;
    memcpy(m_buffer + m_used, text, length);
    m_used += length;
}

void CTableWriter::Text(const char* text)
{
    Text(text, strlen(text));
}

void CTableWriter::Int(int value)
{
    char text[16];
    Text(text, FormatInt(value, text));
}

void CTableWriter::TwoDigits(int value)
{
    char text[16];
    Text(text, FormatTwoDigits(value, text));
}

void CTableWriter::Fixed5(double value)
{
    char text[512];
    Text(text, FormatFixed5(value, text));
}

void CTableWriter::EndPiece()
{
    if (m_file->IsOpen() && m_used >= kBlock)
        Flush();
    m_pieceStart = m_used;
}

char* CTableWriter::Reserve(size_t bytes)
{
    if (!m_file->IsOpen() || bytes > kRoom)
        return NULL;
    if (m_used + bytes > kBlock + kRoom)
        Flush();
    return m_buffer + m_used;
}

void CTableWriter::Advance(const char* end)
{
    m_used = (size_t)(end - m_buffer);
    m_pieceStart = m_used;
    if (m_used >= kBlock)
        Flush();
}

void CTableWriter::Flush()
{
    if (m_used)
        m_file->Write(m_buffer, (DWORD)m_used);
    m_used = 0;
    m_pieceStart = 0;
}

bool CTableWriter::Close()
{
    if (m_closed)
        return m_written;
    m_closed = true;
    if (!m_file->IsOpen())
        return false;
    Flush();
    m_written = m_inSet ? m_file->Seal() : m_file->Commit();
    if (m_holder)
        m_buffer = NULL;   // the holder's
    else
        g_heapRegistry.Free(&m_buffer);
    return m_written;
}
