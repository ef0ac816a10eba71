// CFileChooser: the open-file dialog (comdlg32) and the chosen name.
#include "cwin/system/FileChooser.h"

#include <stdarg.h>
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
    return CFileFunctions::ReadWholeFile(name, buffer, size);
}

bool CFileChooser::FreeBuffer(char** buffer)
{
    return CFileFunctions::FreeBuffer(buffer);
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
    va_list args;
    va_start(args, format);
    const bool exists = FileExistsV(format, args);
    va_end(args);
    return exists;
}
