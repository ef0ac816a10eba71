// CHeapRegistry: the registry of the process's heap blocks.
#include "cwin/system/HeapRegistry.h"
#include "cwin/system/MessageBox.h"

#include <string.h>

static const char kError[]  = "Programm error";
static const char kNotice[] = "Programm notice";

static void Report(const char* text, const char* title)
{
    ShowMessageBox(NULL, text, title, MB_OK);
}

static SIZE_T PageSize()
{
    static SIZE_T page = 0;
    if (!page) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        page = info.dwPageSize ? info.dwPageSize : 4096;
    }
    return page;
}

// Rounds up to a multiple of a power of two; 0 when the result would overflow.
static SIZE_T RoundUp(SIZE_T value, SIZE_T unit)
{
    if (value > (SIZE_T)-1 - (unit - 1))
        return 0;
    return (value + unit - 1) & ~(unit - 1);
}

// Room to grow, in address space only (nothing is committed before it is used).
// A block made at its size (a list file read whole) gets an eighth more; a
// block that outgrew its room moves into one twice its size, or in a 64-bit
// process, where address space is plenty, four times and at least 256 MB, so
// that a table fed record by record is not copied on its way to a year's size.
static SIZE_T ReservationFor(SIZE_T size, bool growing)
{
    SIZE_T wanted;
    if (!growing) {
        wanted = size + size / 8;
    } else if (sizeof(void*) == 8) {
        const SIZE_T least = (SIZE_T)256 * 1024 * 1024;
        wanted = size > (SIZE_T)-1 / 4 ? size : size * 4;
        if (wanted < least)
            wanted = least;
    } else {
        wanted = size > (SIZE_T)-1 / 2 ? size : size * 2;
    }
    if (wanted < size)
        wanted = size;
    SIZE_T reserved = RoundUp(wanted, 64 * 1024);
    return reserved ? reserved : RoundUp(size, PageSize());
}

#ifdef ORVEX_GUARD_PAGES
static bool g_guardBefore = false;

void CHeapRegistry::SetGuardBefore(bool before)
{
    g_guardBefore = before;
}

bool CHeapRegistry::GuardBefore()
{
    return g_guardBefore;
}

// Each guarded block costs the process a few memory mappings, of which the
// system allows some 65,000: past this many live blocks (only a test of the
// converter's 102,400 entries gets there) blocks come from the heap unguarded.
static const int kGuardedLimit = 16384;
static int g_guardedLive = 0;

// The data pages and one page left reserved without commit (any access faults).
static bool AllocGuarded(CWIN_HEAP_INFO& entry, SIZE_T size)
{
    const SIZE_T page = PageSize();
    SIZE_T data = RoundUp(size, page);
    if ((size && !data) || data > (SIZE_T)-1 - page)
        return false;
    char* base = static_cast<char*>(VirtualAlloc(NULL, data + page, MEM_RESERVE, PAGE_NOACCESS));
    if (!base)
        return false;
    char* first = g_guardBefore ? base + page : base;
    if (data && !VirtualAlloc(first, data, MEM_COMMIT, PAGE_READWRITE)) {
        VirtualFree(base, 0, MEM_RELEASE);
        return false;
    }
    entry.address = g_guardBefore ? first : first + (data - size);
    entry.size = size;
    entry.committed = data;
    entry.reserved = data + page;
    ++g_guardedLive;
    return true;
}

// The block's address lies inside its reservation, not always at its start.
static BOOL ReleaseGuarded(void* address)
{
    MEMORY_BASIC_INFORMATION info;
    if (!VirtualQuery(address, &info, sizeof(info)) || !VirtualFree(info.AllocationBase, 0, MEM_RELEASE))
        return FALSE;
    --g_guardedLive;
    return TRUE;
}

// A new block, the old bytes copied; fresh pages are zero, so growth is zero-filled.
static bool ResizeGuarded(CWIN_HEAP_INFO& entry, SIZE_T size)
{
    if (!entry.reserved) {
        void* grown = HeapReAlloc(entry.heap, HEAP_ZERO_MEMORY, entry.address, size);
        if (grown)
            entry.address = grown;
        return grown != NULL;
    }
    CWIN_HEAP_INFO moved = entry;
    if (!AllocGuarded(moved, size))
        return false;
    memcpy(moved.address, entry.address, entry.size < size ? entry.size : size);
    ReleaseGuarded(entry.address);
    entry = moved;
    return true;
}
#endif

CHeapRegistry::CHeapRegistry(CWIN_HEAP_INFO* entries, int entryCount)
    : m_heap(NULL), m_entries(entries), m_entryCount(entryCount)
{
    memset(m_entries, 0, sizeof(CWIN_HEAP_INFO) * m_entryCount);
}

CHeapRegistry::~CHeapRegistry()
{
    Destroy();
}

int CHeapRegistry::LiveBlocks() const
{
    int n = 0;
    for (int i = 0; i < m_entryCount; ++i)
        if (m_entries[i].heap)
            ++n;
    return n;
}

bool CHeapRegistry::AllocLarge(CWIN_HEAP_INFO& entry, SIZE_T size, bool growing)
{
    SIZE_T committed = RoundUp(size, PageSize());
    if (!committed)
        return false;
    // A fragmented 32-bit address space may refuse the large reservation: then
    // take less room, down to the block itself.
    SIZE_T reserved = ReservationFor(size, growing);
    void* base = VirtualAlloc(NULL, reserved, MEM_RESERVE, PAGE_NOACCESS);
    if (!base && reserved > committed) {
        reserved = RoundUp(committed, 64 * 1024) ? RoundUp(committed, 64 * 1024) : committed;
        base = VirtualAlloc(NULL, reserved, MEM_RESERVE, PAGE_NOACCESS);
    }
    if (!base)
        return false;
    if (!VirtualAlloc(base, committed, MEM_COMMIT, PAGE_READWRITE)) {
        VirtualFree(base, 0, MEM_RELEASE);
        return false;
    }
    entry.address = base;
    entry.size = size;
    entry.committed = committed;
    entry.reserved = reserved;
    entry.mapped = 0;
    return true;
}

#ifndef ORVEX_GUARD_PAGES
// A block that maps a file is two regions: the view, then the reservation of
// the rest of its room right after it.
static BOOL ReleaseLarge(const CWIN_HEAP_INFO& entry)
{
    if (!entry.mapped)
        return VirtualFree(entry.address, 0, MEM_RELEASE);
    char* base = static_cast<char*>(entry.address);
    BOOL tail = entry.reserved > entry.mapped ? VirtualFree(base + entry.mapped, 0, MEM_RELEASE) : TRUE;
    return UnmapViewOfFile(base) && tail;
}

// With 64 KB allocation granularity a view and a reservation can lie back to
// back: a reservation of the whole room finds a free address, is given back,
// and the view and the rest of the room take its place. Another thread may
// take the address in between; then the next free address is tried.
static bool MapLarge(CWIN_HEAP_INFO& entry, SIZE_T size, HANDLE file, SIZE_T viewBytes)
{
    const SIZE_T unit = 64 * 1024;
    SIZE_T committed = RoundUp(size, PageSize());
    SIZE_T reserved = ReservationFor(size, false);
    if (!committed || !viewBytes || viewBytes % unit || viewBytes >= committed || reserved < committed)
        return false;
    HANDLE mapping = CreateFileMappingA(file, NULL, PAGE_WRITECOPY, 0, 0, NULL);
    if (!mapping)
        return false;
    bool made = false;
    for (int attempt = 0; attempt < 4 && !made; ++attempt) {
        char* base = static_cast<char*>(VirtualAlloc(NULL, reserved, MEM_RESERVE, PAGE_NOACCESS));
        if (!base)
            break;
        VirtualFree(base, 0, MEM_RELEASE);
        void* view = MapViewOfFileEx(mapping, FILE_MAP_COPY, 0, 0, viewBytes, base);
        if (view != base) {
            if (view)
                UnmapViewOfFile(view);
            continue;
        }
        if (!VirtualAlloc(base + viewBytes, reserved - viewBytes, MEM_RESERVE, PAGE_NOACCESS)) {
            UnmapViewOfFile(base);
            continue;
        }
        if (!VirtualAlloc(base + viewBytes, committed - viewBytes, MEM_COMMIT, PAGE_READWRITE)) {
            VirtualFree(base + viewBytes, 0, MEM_RELEASE);
            UnmapViewOfFile(base);
            break;
        }
        entry.address = base;
        entry.size = size;
        entry.committed = committed;
        entry.reserved = reserved;
        entry.mapped = viewBytes;
        made = true;
    }
    // The view keeps the file's section alive.
    CloseHandle(mapping);
    return made;
}
#endif

// Grows or shrinks a large block; the block stays as it was when this fails.
bool CHeapRegistry::ResizeLarge(CWIN_HEAP_INFO& entry, SIZE_T size)
{
    char* base = static_cast<char*>(entry.address);
    if (size <= entry.reserved) {
        SIZE_T committed = RoundUp(size, PageSize());
        if (committed > entry.committed) {
            // Arrays grow a page at a time; committing an eighth more (at most
            // 4 MB) ahead saves a system call per growth. Committed pages that
            // are never touched cost no memory.
            SIZE_T ahead = entry.committed / 8 < 4 * 1024 * 1024 ? entry.committed / 8 : 4 * 1024 * 1024;
            SIZE_T generous = RoundUp(committed + ahead, PageSize());
            if (generous > committed && generous <= entry.reserved &&
                VirtualAlloc(base + entry.committed, generous - entry.committed, MEM_COMMIT, PAGE_READWRITE))
                committed = generous;
            else if (!VirtualAlloc(base + entry.committed, committed - entry.committed, MEM_COMMIT, PAGE_READWRITE))
                return false;
        }
        // Freshly committed pages are zero; bytes left from before a shrink are not.
        SIZE_T dirtyEnd = entry.committed < size ? entry.committed : size;
        if (dirtyEnd > entry.size)
            memset(base + entry.size, 0, dirtyEnd - entry.size);
        if (committed > entry.committed)
            entry.committed = committed;
        entry.size = size;
        return true;
    }
    CWIN_HEAP_INFO moved = entry;
    if (!AllocLarge(moved, size, true))
        return false;
    // A slice at a time, each slice of the old block given back once copied:
    // the working set never holds both copies of a large table.
    const SIZE_T slice = 1024 * 1024;
    char* to = static_cast<char*>(moved.address);
    for (SIZE_T done = 0; done < entry.size; done += slice) {
        SIZE_T n = entry.size - done < slice ? entry.size - done : slice;
        memcpy(to + done, base + done, n);
        // A file's view is given back whole, below.
        if (n == slice && done >= entry.mapped)
            VirtualFree(base + done, slice, MEM_DECOMMIT);
    }
#ifdef ORVEX_GUARD_PAGES
    VirtualFree(base, 0, MEM_RELEASE);
#else
    ReleaseLarge(entry);
#endif
    entry = moved;
    return true;
}

bool CHeapRegistry::Resize(CWIN_HEAP_INFO& entry, SIZE_T size)
{
#ifdef ORVEX_GUARD_PAGES
    return ResizeGuarded(entry, size);
#else
    if (entry.reserved)
        return ResizeLarge(entry, size);
    if (entry.heap == m_heap && size >= LargeBlockSize) {
        // Moves a heap block into a reservation of its own.
        SIZE_T old = HeapSize(entry.heap, HEAP_NO_SERIALIZE, entry.address);
        if (old == (SIZE_T)-1)
            return false;
        CWIN_HEAP_INFO moved = entry;
        if (!AllocLarge(moved, size, true))
            return false;
        memcpy(moved.address, entry.address, old < size ? old : size);
        HeapFree(entry.heap, 0, entry.address);
        entry = moved;
        return true;
    }
    void* grown = HeapReAlloc(entry.heap, HEAP_ZERO_MEMORY, entry.address, size);
    if (!grown)
        return false;
    entry.address = grown;
    return true;
#endif
}

bool CHeapRegistry::CreateHeap()
{
    if (m_heap)
        return true;
    m_heap = HeapCreate(0, 0, 0);
    if (!m_heap) {
        Report("Can't create Heap", kError);
        return false;
    }
    memset(m_entries, 0, sizeof(CWIN_HEAP_INFO) * m_entryCount);
    return true;
}

bool CHeapRegistry::Alloc(void** variable, SIZE_T size, HANDLE heap)
{
    if (!variable || !CreateHeap())
        return false;
    if (!heap)
        heap = m_heap;

    if (*variable) {
        for (int i = 0; i < m_entryCount; ++i) {
            CWIN_HEAP_INFO& entry = m_entries[i];
            if (entry.heap == heap && entry.address == *variable) {
                // A refused resize keeps the caller's block and its contents.
                if (!Resize(entry, size))
                    return false;
                *variable = entry.address;
                return true;
            }
        }
        Report("necessary elements NOT found in array CWIN_HEAP_INFO_NUM", kError);
        return false;
    }

    for (int i = 0; i < m_entryCount; ++i) {
        CWIN_HEAP_INFO& entry = m_entries[i];
        if (entry.heap)
            continue;
        entry.heap = heap;
        entry.size = entry.committed = entry.reserved = entry.mapped = 0;
        bool ok;
#ifdef ORVEX_GUARD_PAGES
        if (g_guardedLive < kGuardedLimit) {
            ok = AllocGuarded(entry, size);
        } else {
            entry.address = HeapAlloc(heap, HEAP_ZERO_MEMORY, size);
            ok = entry.address != NULL;
        }
#else
        if (heap == m_heap && size >= LargeBlockSize) {
            ok = AllocLarge(entry, size, false);
        } else {
            entry.address = HeapAlloc(heap, HEAP_ZERO_MEMORY, size);
            ok = entry.address != NULL;
        }
#endif
        if (!ok) {
            entry.heap = NULL;
            entry.address = NULL;
            *variable = NULL;
            return false;
        }
        *variable = entry.address;
        return true;
    }
    Report("size of array CWIN_HEAP_INFO_NUM is insufficient", kNotice);
    return false;
}

bool CHeapRegistry::AllocNew(void** variable, SIZE_T size, HANDLE heap)
{
    if (!variable)
        return false;
    *variable = NULL;
    return Alloc(variable, size, heap);
}

int CHeapRegistry::FindSilently(const void* address) const
{
    if (!address)
        return -1;
    for (int i = 0; i < m_entryCount; ++i)
        if (m_entries[i].heap && m_entries[i].address == address)
            return i;
    return -1;
}

int CHeapRegistry::Find(const void* address)
{
    if (!m_heap)
        return -1;
    int index = FindSilently(address);
    if (index < 0)
        Report("Heap NOT found in array CWIN_HEAP_INFO_NUM", kError);
    return index;
}

bool CHeapRegistry::Free(void** variable)
{
    if (!variable)
        return false;
    if (!*variable)
        return true;
    int index = Find(*variable);
    if (index < 0)
        return false;
    CWIN_HEAP_INFO& entry = m_entries[index];
#ifdef ORVEX_GUARD_PAGES
    BOOL released = entry.reserved ? ReleaseGuarded(entry.address)
                                   : HeapFree(entry.heap, HEAP_NO_SERIALIZE, entry.address);
#else
    BOOL released = entry.reserved ? ReleaseLarge(entry)
                                   : HeapFree(entry.heap, HEAP_NO_SERIALIZE, entry.address);
#endif
    if (!released) {
        Report("Mistake of liberation to memories (CWIN_HEAP_INFO_NUM)", kError);
        return false;
    }
    entry.heap = NULL;
    entry.address = NULL;
    entry.size = entry.committed = entry.reserved = entry.mapped = 0;
    *variable = NULL;
    return true;
}

bool CHeapRegistry::AllocFileView(void** variable, SIZE_T size, HANDLE file, SIZE_T viewBytes)
{
#ifdef ORVEX_GUARD_PAGES
    (void)variable;
    (void)size;
    (void)file;
    (void)viewBytes;
    return false;
#else
    if (!variable || size < LargeBlockSize || !CreateHeap())
        return false;
    for (int i = 0; i < m_entryCount; ++i) {
        CWIN_HEAP_INFO& entry = m_entries[i];
        if (entry.heap)
            continue;
        if (!MapLarge(entry, size, file, viewBytes))
            return false;
        entry.heap = m_heap;
        *variable = entry.address;
        return true;
    }
    Report("size of array CWIN_HEAP_INFO_NUM is insufficient", kNotice);
    return false;
#endif
}

bool CHeapRegistry::IsFileView(const void* address) const
{
    int index = m_heap ? FindSilently(address) : -1;
    return index >= 0 && m_entries[index].mapped != 0;
}

bool CHeapRegistry::MakePrivate(void** variable)
{
    if (!variable || !IsFileView(*variable))
        return true;
    CWIN_HEAP_INFO& entry = m_entries[FindSilently(*variable)];
    CWIN_HEAP_INFO moved = entry;
    if (!AllocLarge(moved, entry.size, false))
        return false;
    memcpy(moved.address, entry.address, entry.size);
#ifndef ORVEX_GUARD_PAGES
    ReleaseLarge(entry);
#endif
    entry = moved;
    *variable = entry.address;
    return true;
}

SIZE_T CHeapRegistry::Size(const void* address)
{
    if (!address)
        return 0;
    int index = Find(address);
    if (index < 0)
        return 0;
    const CWIN_HEAP_INFO& entry = m_entries[index];
    if (entry.reserved)
        return entry.size;
    SIZE_T size = HeapSize(entry.heap, HEAP_NO_SERIALIZE, entry.address);
    return size == (SIZE_T)-1 ? 0 : size;
}

bool CHeapRegistry::Zero(void* address, SIZE_T size)
{
    if (!address)
        return false;
    if (size == (SIZE_T)-1) {
        size = Size(address);
    } else {
        // Never past the end of a block the registry knows.
        int index = m_heap ? FindSilently(address) : -1;
        if (index >= 0) {
            SIZE_T whole = m_entries[index].reserved
                               ? m_entries[index].size
                               : HeapSize(m_entries[index].heap, HEAP_NO_SERIALIZE, address);
            if (whole != (SIZE_T)-1 && size > whole)
                size = whole;
        }
    }
    memset(address, 0, size);
    return true;
}

void CHeapRegistry::Destroy()
{
    if (!m_heap)
        return;
    for (int i = 0; i < m_entryCount; ++i) {
        CWIN_HEAP_INFO& entry = m_entries[i];
        if (entry.heap != m_heap)
            continue;
#ifdef ORVEX_GUARD_PAGES
        if (entry.reserved)
            ReleaseGuarded(entry.address);
#else
        if (entry.reserved)
            ReleaseLarge(entry);
#endif
        entry.heap = NULL;
        entry.address = NULL;
        entry.size = entry.committed = entry.reserved = entry.mapped = 0;
    }
    if (!HeapDestroy(m_heap))
        Report("Can't destroy Heap", kError);
    m_heap = NULL;
}
