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

static const DWORD kMoveFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;

static bool Exists(const char* name)
{
    return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES;
}

CReplacingFile::CReplacingFile() : m_file(INVALID_HANDLE_VALUE), m_failed(false), m_sealed(false)
{
    m_name[0] = 0;
    m_temp[0] = 0;
}

CReplacingFile::~CReplacingFile()
{
    Abandon();
}

bool CReplacingFile::SuffixedName(const char* name, const char* suffix, char* out)
{
    const size_t n = name ? strlen(name) : 0;
    const size_t k = strlen(suffix);
    if (n == 0 || n + k + 1 > MAX_PATH)
        return false;
    memcpy(out, name, n);
    memcpy(out + n, suffix, k + 1);
    return true;
}

bool CReplacingFile::TempName(const char* name, char* temp)
{
    return SuffixedName(name, ".tmp", temp);
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

bool CReplacingFile::Seal()
{
    if (m_failed || !IsOpen() || !g_fileOps.flush(m_file)) {
        Abandon();
        return false;
    }
    const BOOL closed = g_fileOps.close(m_file);
    m_file = INVALID_HANDLE_VALUE;
    if (!closed) {
        g_fileOps.remove(m_temp);
        m_temp[0] = 0;
        return false;
    }
    m_sealed = true;
    return true;
}

bool CReplacingFile::Commit()
{
    if (!Seal())
        return false;
    m_sealed = false;
    const bool moved = g_fileOps.move(m_temp, m_name, kMoveFlags) != FALSE;
    if (!moved)
        g_fileOps.remove(m_temp);
    m_temp[0] = 0;
    return moved;
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
    m_sealed = false;
}

void CReplacingFile::RemoveLeftover(const char* name)
{
    char temp[MAX_PATH];
    if (TempName(name, temp))
        g_fileOps.remove(temp);
}

// CReplacingFileSet ---------------------------------------------------------

static const char kOldSuffix[] = ".old";
static const char kMarkSuffix[] = ".commit";

CReplacingFileSet::CReplacingFileSet(const char* const* names, int count)
    : m_count(count < 0 ? 0 : count > kMaxFiles ? (int)kMaxFiles : count), m_failedName(NULL)
{
    for (int i = 0; i < m_count; ++i)
        m_names[i] = names[i];
    if (m_count == 0 || !CReplacingFile::SuffixedName(m_names[0], kMarkSuffix, m_mark))
        m_mark[0] = 0;
}

CReplacingFileSet::~CReplacingFileSet()
{
    Abandon();
}

int CReplacingFileSet::IndexOf(const char* name) const
{
    for (int i = 0; i < m_count; ++i)
        if (name && strcmp(m_names[i], name) == 0)
            return i;
    return -1;
}

void CReplacingFileSet::Abandon()
{
    for (int i = 0; i < m_count; ++i)
        m_files[i].Abandon();
}

// The mark says which files existed before the commit; it is whole on the
// disk before the first file is moved.
bool CReplacingFileSet::WriteMark(const bool* existed)
{
    HANDLE mark = g_fileOps.create(m_mark, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (mark == INVALID_HANDLE_VALUE)
        return false;
    char bytes[kMaxFiles];
    for (int i = 0; i < m_count; ++i)
        bytes[i] = existed[i] ? '1' : '0';
    DWORD written = 0;
    bool whole = g_fileOps.write(mark, bytes, (DWORD)m_count, &written, NULL) && written == (DWORD)m_count &&
                 g_fileOps.flush(mark);
    whole = g_fileOps.close(mark) && whole;
    return whole;
}

// Every file back as the mark says it was: a file set aside returns (one
// still in its place was never moved), a file that did not exist is removed.
// Repeating it after a partial way back gives the same result.
bool CReplacingFileSet::TakeBack(const bool* existed)
{
    bool back = true;
    for (int i = 0; i < m_count; ++i) {
        char other[MAX_PATH];
        if (existed[i]) {
            if (CReplacingFile::SuffixedName(m_names[i], kOldSuffix, other) && Exists(other) &&
                !g_fileOps.move(other, m_names[i], kMoveFlags))
                back = false;
        } else if (Exists(m_names[i]) && !g_fileOps.remove(m_names[i])) {
            back = false;
        }
        if (CReplacingFile::TempName(m_names[i], other))
            g_fileOps.remove(other);
    }
    return back && g_fileOps.remove(m_mark);
}

void CReplacingFileSet::RemoveLeftovers()
{
    for (int i = 0; i < m_count; ++i) {
        char other[MAX_PATH];
        if (CReplacingFile::TempName(m_names[i], other))
            g_fileOps.remove(other);
        if (CReplacingFile::SuffixedName(m_names[i], kOldSuffix, other))
            g_fileOps.remove(other);
    }
}

bool CReplacingFileSet::Recover()
{
    if (!m_mark[0])
        return false;
    if (!Exists(m_mark)) {
        RemoveLeftovers();
        return true;
    }
    HANDLE mark = g_fileOps.create(m_mark, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                   NULL);
    if (mark == INVALID_HANDLE_VALUE)
        return false;
    char bytes[kMaxFiles + 1];
    DWORD got = 0;
    bool read = true;
    while (got < sizeof(bytes)) {
        DWORD n = 0;
        if (!g_fileOps.read(mark, bytes + got, (DWORD)sizeof(bytes) - got, &n, NULL)) {
            read = false;
            break;
        }
        if (n == 0)
            break;
        got += n;
    }
    g_fileOps.close(mark);
    if (!read)
        return false;
    bool whole = got == (DWORD)m_count;
    bool existed[kMaxFiles];
    for (int i = 0; whole && i < m_count; ++i) {
        whole = bytes[i] == '0' || bytes[i] == '1';
        existed[i] = bytes[i] == '1';
    }
    if (!whole) {
        // The mark was still being written: no file was moved yet.
        if (!g_fileOps.remove(m_mark))
            return false;
    } else if (!TakeBack(existed)) {
        return false;
    }
    RemoveLeftovers();
    return true;
}

bool CReplacingFileSet::Commit()
{
    m_failedName = NULL;
    int failed = -1;
    for (int i = 0; i < m_count && failed < 0; ++i)
        if (!m_files[i].IsSealed())
            failed = i;
    bool existed[kMaxFiles];
    char old[MAX_PATH], temp[MAX_PATH];
    // A mark left by a commit not yet taken back, or a file set aside that is
    // still there, would be mistaken for this commit's.
    if (failed < 0 && (!m_mark[0] || Exists(m_mark)))
        failed = 0;
    for (int i = 0; i < m_count && failed < 0; ++i) {
        existed[i] = Exists(m_names[i]);
        if (!CReplacingFile::SuffixedName(m_names[i], kOldSuffix, old) ||
            (Exists(old) && !g_fileOps.remove(old)))
            failed = i;
    }
    if (failed < 0 && !WriteMark(existed)) {
        g_fileOps.remove(m_mark);
        failed = 0;
    }
    if (failed >= 0) {
        m_failedName = m_count ? m_names[failed] : NULL;
        Abandon();
        return false;
    }
    for (int i = 0; i < m_count && failed < 0; ++i)
        if (existed[i] && (!CReplacingFile::SuffixedName(m_names[i], kOldSuffix, old) ||
                           !g_fileOps.move(m_names[i], old, kMoveFlags)))
            failed = i;
    for (int i = 0; i < m_count && failed < 0; ++i)
        if (!CReplacingFile::TempName(m_names[i], temp) || !g_fileOps.move(temp, m_names[i], kMoveFlags))
            failed = i;
    // Removing the mark completes the commit.
    if (failed < 0 && !g_fileOps.remove(m_mark))
        failed = 0;
    if (failed >= 0) {
        m_failedName = m_names[failed];
        TakeBack(existed);   // if it cannot be completed, the mark stays for Recover
        Abandon();
        return false;
    }
    for (int i = 0; i < m_count; ++i) {
        m_files[i].m_sealed = false;
        m_files[i].m_temp[0] = 0;   // moved into place
        if (existed[i] && CReplacingFile::SuffixedName(m_names[i], kOldSuffix, old))
            g_fileOps.remove(old);
    }
    return true;
}
