#include "cwin/system/FileChooser.h"
#include "cwin/system/FileOps.h"
#include "cwin/system/HeapRegistry.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

CFileChooser::CFileChooser()
    : m_filter("Все файлы (*.*)|*.*|"), m_owner(NULL), m_instance(NULL)
{
    memset(&m_dialog, 0, sizeof(m_dialog));
    m_dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    m_dialog.Flags = OFN_NOCHANGEDIR;
    m_dialog.lpstrFile = m_fileName;
    m_dialog.nMaxFile = MAX_PATH;
    m_fileName[0] = 0;
    m_path[0] = 0;
}

bool CFileChooser::BuildFilterList(const char* filter, char* out)
{
    size_t n = filter ? strlen(filter) : 0;
    if (n == 0 || n >= FilterLimit)
        return false;
    memcpy(out, filter, n + 1);
    for (size_t i = 0; i < n; ++i)
        if (out[i] == '|')
            out[i] = 0;
    // A filter whose last pair lacks its "|" still ends in two zero bytes.
    if (n + 1 < FilterLimit)
        out[n + 1] = 0;
    return true;
}

bool CFileChooser::ChooseFile()
{
    m_dialog.hwndOwner = m_owner;
    m_dialog.hInstance = m_instance;
    char filters[FilterLimit + 1];
    if (!BuildFilterList(m_filter, filters))
        return false;
    m_dialog.lpstrFilter = filters;
    if (m_owner)
        EnableWindow(m_owner, FALSE);
    BOOL chosen = GetOpenFileNameA(&m_dialog);
    if (m_owner)
        EnableWindow(m_owner, TRUE);
    m_dialog.lpstrFilter = NULL;
    return chosen != FALSE;
}

bool CFileChooser::SetFilter(const char* filter)
{
    m_filter = filter;
    return true;
}

const char* CFileChooser::GetFileName()
{
    return m_fileName;
}

int CFileChooser::ReadWholeFile(const char* name, char** buffer, int size)
{
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    int result = -1;
    if (size == -1) {
        DWORD high = 0;
        DWORD low = GetFileSize(file, &high);
        // The result is an int: larger files are refused rather than misreported.
        if (!(low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) && high == 0 && low < 0x7FFFFFFF)
            size = (int)low;
        else
            size = -2;
    }
    if (size >= 0 && size < 0x7FFFFFFF && buffer) {
        g_heapRegistry.Free(buffer);
        if (g_heapRegistry.Alloc(buffer, (SIZE_T)size + 1)) {
            DWORD total = 0;
            bool ok = true;
            while (ok && total < (DWORD)size) {
                DWORD read = 0;
                ok = ReadFile(file, *buffer + total, (DWORD)size - total, &read, NULL) && read > 0;
                total += read;
            }
            (*buffer)[total] = 0;
            result = (int)total;
        }
    }
    CloseHandle(file);
    return result;
}

bool CFileChooser::FreeBuffer(char** buffer)
{
    g_heapRegistry.Free(buffer);
    return true;
}

const char* CFileChooser::GetNamePart()
{
    return m_fileName + (m_dialog.nFileOffset < MAX_PATH ? m_dialog.nFileOffset : 0);
}

bool CFileChooser::IsNamePart(const char* name)
{
    if (!name)
        return false;
    strncpy(m_path, GetNamePart(), PathSize - 1);
    m_path[PathSize - 1] = 0;
    CharLowerBuffA(m_path, (DWORD)strlen(m_path));
    return strcmp(m_path, name) == 0;
}

bool CFileChooser::FileExists(const char* format, ...)
{
    if (!format)
        return false;
    va_list args;
    va_start(args, format);
    vsnprintf(m_path, PathSize, format, args);
    va_end(args);
    m_path[PathSize - 1] = 0;
    HANDLE file = CreateFileA(m_path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

HANDLE CreateTextFile(const char* name)
{
    if (!name)
        return NULL;
    HANDLE file = g_fileOps.create(name, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    return file == INVALID_HANDLE_VALUE ? NULL : file;
}

bool WriteFormatted(HANDLE file, const char* format, ...)
{
    if (!file || !format)
        return false;
    char piece[1024];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(piece, sizeof(piece), format, args);
    va_end(args);
    if (n < 0)
        return false;
    if (n > 1023)
        n = 1023;
    DWORD written = 0;
    return g_fileOps.write(file, piece, (DWORD)n, &written, NULL) && written == (DWORD)n;
}
