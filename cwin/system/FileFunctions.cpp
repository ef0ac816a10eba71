// CFileFunctions and the text file writes: whole-file reading, existence test, formatted output.
#include "cwin/system/FileFunctions.h"
#include "cwin/system/FileOps.h"
#include "cwin/system/HeapRegistry.h"
#include "cwin/system/Text.h"

#include <stdio.h>

CFileFunctions::CFileFunctions()
{
    m_path[0] = 0;
}

int CFileFunctions::ReadWholeFile(const char* name, char** buffer, int size)
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

bool CFileFunctions::FreeBuffer(char** buffer)
{
    g_heapRegistry.Free(buffer);
    return true;
}

bool CFileFunctions::FileExists(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const bool exists = FileExistsV(format, args);
    va_end(args);
    return exists;
}

bool CFileFunctions::FileExistsV(const char* format, va_list args)
{
    if (!format)
        return false;
    FormatInto(m_path, PathSize, format, args);
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
