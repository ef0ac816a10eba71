// The file operation table and CReplacingFile.
#include "cwin/system/FileOps.h"

#include <string.h>

namespace {

// Plain functions, so that the table is filled before any constructor runs.
HANDLE WINAPI SystemCreate(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                           DWORD disposition, DWORD flags, HANDLE from)
{
    return CreateFileA(name, access, share, security, disposition, flags, from);
}
BOOL WINAPI SystemWrite(HANDLE file, LPCVOID data, DWORD size, LPDWORD done, LPOVERLAPPED overlapped)
{
    return WriteFile(file, data, size, done, overlapped);
}
BOOL WINAPI SystemRead(HANDLE file, LPVOID data, DWORD size, LPDWORD done, LPOVERLAPPED overlapped)
{
    return ReadFile(file, data, size, done, overlapped);
}
#ifdef ORVEX_FUZZ
// The fuzz build checks what is written, not that it survives a power cut: a
// flush of every file an input writes would make its inputs several times slower.
BOOL WINAPI SystemFlush(HANDLE) { return TRUE; }
#else
BOOL WINAPI SystemFlush(HANDLE file) { return FlushFileBuffers(file); }
#endif
BOOL WINAPI SystemMove(LPCSTR from, LPCSTR to, DWORD flags) { return MoveFileExA(from, to, flags); }
BOOL WINAPI SystemClose(HANDLE file) { return CloseHandle(file); }
BOOL WINAPI SystemRemove(LPCSTR name) { return DeleteFileA(name); }

}  // namespace

const FileOps g_systemFileOps = {SystemCreate, SystemWrite, SystemRead, SystemFlush,
                                 SystemMove,   SystemClose, SystemRemove};
FileOps g_fileOps = {SystemCreate, SystemWrite, SystemRead, SystemFlush,
                     SystemMove,   SystemClose, SystemRemove};

CReplacingFile::CReplacingFile() : m_file(INVALID_HANDLE_VALUE), m_failed(false)
{
    m_name[0] = 0;
    m_temp[0] = 0;
}

CReplacingFile::~CReplacingFile()
{
    Abandon();
}

bool CReplacingFile::TempName(const char* name, char* temp)
{
    const size_t n = name ? strlen(name) : 0;
    if (n == 0 || n + 5 > MAX_PATH)
        return false;
    memcpy(temp, name, n);
    memcpy(temp + n, ".tmp", 5);
    return true;
}

bool CReplacingFile::Open(const char* name)
{
    Abandon();
    if (!TempName(name, m_temp))
        return false;
    memcpy(m_name, name, strlen(name) + 1);
    // A leftover of an earlier death is truncated here; it never was the file.
    m_file = g_fileOps.create(m_temp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (m_file == INVALID_HANDLE_VALUE) {
        m_temp[0] = 0;
        return false;
    }
    return true;
}

bool CReplacingFile::Write(const void* data, DWORD size)
{
    if (m_failed || !IsOpen())
        return false;
    DWORD written = 0;
    // A short count without an error is a full disk.
    if (!g_fileOps.write(m_file, data, size, &written, NULL) || written != size) {
        m_failed = true;
        return false;
    }
    return true;
}

bool CReplacingFile::Commit()
{
    if (m_failed || !IsOpen() || !g_fileOps.flush(m_file)) {
        Abandon();
        return false;
    }
    const BOOL closed = g_fileOps.close(m_file);
    m_file = INVALID_HANDLE_VALUE;
    if (!closed || !g_fileOps.move(m_temp, m_name, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        g_fileOps.remove(m_temp);
        m_temp[0] = 0;
        return false;
    }
    m_temp[0] = 0;
    return true;
}

void CReplacingFile::Abandon()
{
    if (IsOpen()) {
        g_fileOps.close(m_file);
        m_file = INVALID_HANDLE_VALUE;
    }
    if (m_temp[0]) {
        g_fileOps.remove(m_temp);
        m_temp[0] = 0;
    }
    m_failed = false;
}

void CReplacingFile::RemoveLeftover(const char* name)
{
    char temp[MAX_PATH];
    if (TempName(name, temp))
        g_fileOps.remove(temp);
}
