// File operations behind one table, and CReplacingFile, the safe way to
// replace a file.
//
//   g_fileOps       create, write, read, flush, move, close, remove: the system
//                   calls by default; tests put their own entries in to make
//                   one operation fail or write only part
//   CReplacingFile  writes "<name>.tmp" beside a file and moves it over the
//                   file only once it is whole and flushed, so that a failed
//                   write or a death mid-save leaves the old file as it was
//   CReplacingFileSet  several such files that replace theirs together or not
//                   at all, also across a death in the middle of the moves
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
    friend class CReplacingFileSet;

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
    // Flushes and closes the temporary file and keeps it, whole, for a set's
    // commit to move. On failure it is removed and the result is false.
    bool Seal();
    bool IsSealed() const { return m_sealed; }
    // Closes and removes the temporary file.
    void Abandon();
    bool IsOpen() const { return m_file != INVALID_HANDLE_VALUE; }

    // Removes the temporary file a process that died mid-save left beside `name`.
    static void RemoveLeftover(const char* name);
    // "<name>.tmp" into `temp` (MAX_PATH bytes); false when it does not fit.
    static bool TempName(const char* name, char* temp);
    // "<name><suffix>" into `out` (MAX_PATH bytes); false when it does not fit.
    static bool SuffixedName(const char* name, const char* suffix, char* out);

private:
    HANDLE m_file;
    bool   m_failed;
    bool   m_sealed;
    char   m_name[MAX_PATH];
    char   m_temp[MAX_PATH];
};

// Files that replace theirs all together or not at all. Each is written to
// "<name>.tmp" by File(i) and sealed; Commit then
//   1. writes the mark "<first name>.commit", one byte per file: '1' when the
//      file exists, '0' when not, and flushes it;
//   2. moves every existing file aside to "<name>.old";
//   3. moves every "<name>.tmp" to its name;
//   4. removes the mark (the commit is done) and then the files set aside.
// A failure in 1 to 4 takes everything back: the files set aside return and
// the files that did not exist are removed again. A death in 2 or 3 leaves
// the mark, and Recover (the next run's first step) takes that commit back the
// same way; without a mark it removes what a death left ("<name>.tmp",
// "<name>.old"). After either, every file is as it was before the commit.
class CReplacingFileSet
{
public:
    enum { kMaxFiles = 8 };

    // The names are kept as pointers: they must outlive the set.
    CReplacingFileSet(const char* const* names, int count);
    ~CReplacingFileSet();   // files not committed are abandoned

    int Count() const { return m_count; }
    const char* Name(int i) const { return m_names[i]; }
    // The writer of file i; Open it with Name(i) and Seal it when whole.
    CReplacingFile& File(int i) { return m_files[i]; }
    // The set's entry of `name`, or -1.
    int IndexOf(const char* name) const;

    // True when every file was replaced. On failure every file is as it was
    // and no temporary file is left (as far as the system lets the way back
    // be taken); FailedName says which file could not be put in place.
    bool Commit();
    const char* FailedName() const { return m_failedName; }
    // Takes back a commit that a death interrupted and removes the leftovers;
    // false when a commit's way back could not be completed (its mark stays,
    // and no commit is made until a later Recover completes it).
    bool Recover();
    void Abandon();

private:
    CReplacingFileSet(const CReplacingFileSet&);
    CReplacingFileSet& operator=(const CReplacingFileSet&);

    bool WriteMark(const bool* existed);
    bool TakeBack(const bool* existed);
    void RemoveLeftovers();

    const char*    m_names[kMaxFiles];
    CReplacingFile m_files[kMaxFiles];
    int            m_count;
    const char*    m_failedName;
    char           m_mark[MAX_PATH];
};

#endif
