// Counts the framework's file operations and makes a chosen one fail.
#include "FileFaults.h"

#include "cwin/system/FileOps.h"

#include <gtest/gtest.h>

namespace {

struct State
{
    std::string log;
    int armed = 0;
    FileFaults::Kind kind = FileFaults::Fail;
    bool fired = false;
    bool shortReads = false;
    bool countRemoves = false;
} g_state;

// True when this operation is the armed one (and is to fail as a whole), or
// comes after a death.
bool Count(char letter)
{
    if (g_state.fired && g_state.kind == FileFaults::Death)
        return true;
    g_state.log += letter;
    if ((int)g_state.log.size() != g_state.armed)
        return false;
    g_state.fired = true;
    return true;
}

bool Dead()
{
    return g_state.fired && g_state.kind == FileFaults::Death;
}

HANDLE WINAPI Create(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                     DWORD disposition, DWORD flags, HANDLE from)
{
    if (Count('c')) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return g_systemFileOps.create(name, access, share, security, disposition, flags, from);
}

BOOL WINAPI Write(HANDLE file, LPCVOID data, DWORD size, LPDWORD done, LPOVERLAPPED overlapped)
{
    if (Count('w')) {
        if (g_state.kind == FileFaults::ShortWrite && size > 1)
            // As a full disk answers: part written, no error.
            return g_systemFileOps.write(file, data, size / 2, done, overlapped);
        if (done)
            *done = 0;
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    return g_systemFileOps.write(file, data, size, done, overlapped);
}

BOOL WINAPI Read(HANDLE file, LPVOID data, DWORD size, LPDWORD done, LPOVERLAPPED overlapped)
{
    if (Dead()) {
        if (done)
            *done = 0;
        SetLastError(ERROR_NOT_READY);
        return FALSE;
    }
    if (g_state.shortReads && size > 0)
        size = size / 2;
    return g_systemFileOps.read(file, data, size, done, overlapped);
}

BOOL WINAPI Flush(HANDLE file)
{
    if (Count('f')) {
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    return g_systemFileOps.flush(file);
}

BOOL WINAPI Move(LPCSTR from, LPCSTR to, DWORD flags)
{
    if (Count('m')) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return g_systemFileOps.move(from, to, flags);
}

BOOL WINAPI Remove(LPCSTR name)
{
    if (Dead() || (g_state.countRemoves && Count('r'))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return g_systemFileOps.remove(name);
}

// A failed close still lets the handle go, as the system's does.
BOOL WINAPI Close(HANDLE file)
{
    const bool fail = Count('x');
    const BOOL closed = g_systemFileOps.close(file);
    if (fail) {
        SetLastError(ERROR_NETNAME_DELETED);
        return FALSE;
    }
    return closed;
}

}  // namespace

FileFaults::FileFaults()
{
    g_state = State();
    g_fileOps.create = Create;
    g_fileOps.write = Write;
    g_fileOps.read = Read;
    g_fileOps.flush = Flush;
    g_fileOps.move = Move;
    g_fileOps.close = Close;
    g_fileOps.remove = Remove;
}

FileFaults::~FileFaults()
{
    g_fileOps = g_systemFileOps;
}

void FileFaults::Arm(int n, Kind kind)
{
    g_state.log.clear();
    g_state.armed = n;
    g_state.kind = kind;
    g_state.fired = false;
}

const std::string& FileFaults::Log() const
{
    return g_state.log;
}

bool FileFaults::Fired() const
{
    return g_state.fired;
}

void FileFaults::ShortReads(bool on)
{
    g_state.shortReads = on;
}

void FileFaults::CountRemoves(bool on)
{
    g_state.countRemoves = on;
}

int FileFaults::Sweep(std::string ops, const std::function<void(int n, Kind kind)>& point)
{
    int points = 0;
    for (int n = 1; n <= (int)ops.size(); ++n) {
        for (Kind kind : {Fail, ShortWrite}) {
            if (kind == ShortWrite && ops[n - 1] != 'w')
                continue;
            ++points;
            SCOPED_TRACE("operation " + std::to_string(n) + " '" + ops[n - 1] + "'" +
                         (kind == ShortWrite ? " writes half" : " fails"));
            point(n, kind);
        }
    }
    return points;
}
