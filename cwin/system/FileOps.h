// File operations behind one table, and CReplacingFile, the safe way to
// replace a file.
//
//   g_fileOps       create, write, read, flush, move, close, remove: the system
//                   calls by default; tests put their own entries in to make
//                   one operation fail or write only part
//   CReplacingFile  writes "<name>.tmp" beside a file and moves it over the
//                   file only once it is whole and flushed, so that a failed
//                   write or a death mid-save leaves the old file as it was
#ifndef CWIN_FILEOPS_H
#define CWIN_FILEOPS_H

#include <windows.h>

struct FileOps
{
    HANDLE (WINAPI* create)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
    BOOL (WINAPI* write)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
    BOOL (WINAPI* read)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
    BOOL (WINAPI* flush)(HANDLE);
    BOOL (WINAPI* move)(LPCSTR, LPCSTR, DWORD);
    BOOL (WINAPI* close)(HANDLE);
    BOOL (WINAPI* remove)(LPCSTR);
};

// The operations the framework's file writers and the record array's load use.
extern FileOps g_fileOps;
// The system's own operations, for tests that pass calls through.
extern const FileOps g_systemFileOps;

class CReplacingFile
{
public:
    CReplacingFile();
    ~CReplacingFile();   // a file not committed is abandoned

    // Creates the temporary file beside `name`; false when it cannot be.
    bool Open(const char* name);
    // True when all bytes were written; after a failure every write fails.
    bool Write(const void* data, DWORD size);
    // Flushes, closes and moves the temporary file over `name`. On any failure
    // (including an earlier write's) the temporary file is removed, the old
    // file stays as it was, and the result is false.
    bool Commit();
    // Closes and removes the temporary file.
    void Abandon();
    bool IsOpen() const { return m_file != INVALID_HANDLE_VALUE; }

    // Removes the temporary file a process that died mid-save left beside `name`.
    static void RemoveLeftover(const char* name);
    // "<name>.tmp" into `temp` (MAX_PATH bytes); false when it does not fit.
    static bool TempName(const char* name, char* temp);

private:
    HANDLE m_file;
    bool   m_failed;
    char   m_name[MAX_PATH];
    char   m_temp[MAX_PATH];
};

#endif
