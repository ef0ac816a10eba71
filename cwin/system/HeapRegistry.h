// CHeapRegistry: the process-wide registry of heap blocks.
//
// Every variable-size buffer of the framework and of both deliverables comes
// from here. Callers hold a block through a pointer variable whose address they
// pass in; the registry sets that variable (new address, or null on release).
// All blocks are zero-filled when allocated and when grown.
#ifndef CWIN_HEAPREGISTRY_H
#define CWIN_HEAPREGISTRY_H

#include <windows.h>

// Bound on the live blocks of one registry, by deliverable.
#define CWIN_HEAP_INFO_NUM_PLUGIN    1024
#define CWIN_HEAP_INFO_NUM_CONVERTER 102400

struct CWIN_HEAP_INFO
{
    HANDLE heap;        // null: free entry
    void*  address;
    // Large blocks live in address-space reservations of their own, so that a
    // table growing by small steps is not copied on every step.
    SIZE_T size;        // requested size (large blocks only)
    SIZE_T committed;   // committed bytes (large blocks only)
    SIZE_T reserved;    // reservation size; 0 for a block of the heap itself
    SIZE_T mapped;      // leading bytes that are a copy-on-write view of a file
};

class CHeapRegistry
{
public:
    // The entry array is given by the deliverable (its CWIN_HEAP_INFO_NUM).
    CHeapRegistry(CWIN_HEAP_INFO* entries, int entryCount);
    ~CHeapRegistry();

    bool   Alloc(void** variable, SIZE_T size, HANDLE heap = NULL);
    bool   AllocNew(void** variable, SIZE_T size, HANDLE heap = NULL);
    bool   Free(void** variable);
    int    Find(const void* address);
    SIZE_T Size(const void* address);
    bool   Zero(void* address, SIZE_T size = (SIZE_T)-1);
    void   Destroy();

    // A new large block of `size` bytes whose first `viewBytes` (a whole number
    // of 64 KB units, less than `size`) are a copy-on-write view of `file` from
    // its start: the pages are the system's file cache until written to, and a
    // write changes the block, never the file. The rest is zero. False, and
    // nothing made, when the block cannot be made so (the caller reads the
    // file instead); never in fuzz builds.
    bool   AllocFileView(void** variable, SIZE_T size, HANDLE file, SIZE_T viewBytes);
    // True while a block still maps a file.
    bool   IsFileView(const void* address) const;
    // Moves a block that maps a file into private memory (the variable gets
    // the new address), so the file is no longer held; true at once for any
    // other block.
    bool   MakePrivate(void** variable);

    // Typed conveniences over the same operations.
    template <class T> bool Alloc(T** variable, SIZE_T size) { return Alloc(reinterpret_cast<void**>(variable), size); }
    template <class T> bool AllocNew(T** variable, SIZE_T size) { return AllocNew(reinterpret_cast<void**>(variable), size); }
    template <class T> bool Free(T** variable) { return Free(reinterpret_cast<void**>(variable)); }
    template <class T> bool MakePrivate(T** variable) { return MakePrivate(reinterpret_cast<void**>(variable)); }

    int    Capacity() const { return m_entryCount; }
    int    LiveBlocks() const;
    HANDLE GetHeap() const { return m_heap; }

    // Blocks of at least this size are kept in reservations of their own.
    static const SIZE_T LargeBlockSize = 1024 * 1024;

#ifdef ORVEX_GUARD_PAGES
    // Fuzz builds only: every block gets a reservation of its own with a
    // no-access page right after its last byte, or (guard before) right before
    // its first byte, so that a stray read or write faults at once. The choice
    // holds for blocks made after it; growing a block makes a new one.
    static void SetGuardBefore(bool before);
    static bool GuardBefore();
#endif

private:
    bool CreateHeap();
    int  FindSilently(const void* address) const;
    bool Resize(CWIN_HEAP_INFO& entry, SIZE_T size);
    bool AllocLarge(CWIN_HEAP_INFO& entry, SIZE_T size, bool growing);
    bool ResizeLarge(CWIN_HEAP_INFO& entry, SIZE_T size);

    HANDLE          m_heap;
    CWIN_HEAP_INFO* m_entries;
    int             m_entryCount;
};

// The deliverable's one registry (defined by the deliverable, sized by it).
extern CHeapRegistry g_heapRegistry;

#endif
