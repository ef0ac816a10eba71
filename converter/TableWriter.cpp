#include "TableWriter.h"
#include "FileChooser.h"
#include "HeapRegistry.h"

#include <stdarg.h>
#include <stdio.h>

static const size_t kBlock = 1 << 20;

CTableWriter::CTableWriter(const char* fileName) : m_file(CreateTextFile(fileName)), m_buffer(NULL), m_used(0)
{
    if (m_file && !g_heapRegistry.Alloc(&m_buffer, kBlock + 1024)) {
        CloseHandle(m_file);
        m_file = NULL;
    }
}

CTableWriter::~CTableWriter()
{
    Close();
}

void CTableWriter::Write(const char* format, ...)
{
    if (!m_file)
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

void CTableWriter::Flush()
{
    DWORD written = 0;
    if (m_used)
        WriteFile(m_file, m_buffer, (DWORD)m_used, &written, NULL);
    m_used = 0;
}

void CTableWriter::Close()
{
    if (!m_file)
        return;
    Flush();
    CloseHandle(m_file);
    m_file = NULL;
    g_heapRegistry.Free(&m_buffer);
}
