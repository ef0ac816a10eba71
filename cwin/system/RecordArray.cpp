// CRecordArray: fixed-size records with a pending record, a view index and a lock.
#include "cwin/system/RecordArray.h"
#include "cwin/system/FileOps.h"
#include "cwin/system/HeapRegistry.h"

#include <string.h>

// Identifiers stay below this bound (the bitmap window never moves past it).
static const uint64_t kIdLimit = 1879048192u;

CRecordArray::CRecordArray()
    : m_blockVariable(NULL), m_pendingVariable(NULL), m_currentVariable(NULL), m_template(NULL),
      m_countVariable(NULL), m_count(0), m_recordSize(4), m_growthStep(10), m_maxCount(100000000),
      m_capacity(0), m_view(NULL), m_viewCount(0), m_idBitmap(NULL), m_bitmapSize(102400),
      m_cursorByte(0), m_cursorBit(0), m_windowBase(0), m_bitmapStale(true), m_searchStart(-1),
      m_lastPending(0), m_lastError(0), m_generation(0), m_loadsViews(true), m_internalBlock(NULL)
{
    InitializeCriticalSection(&m_lock);
}

CRecordArray::~CRecordArray()
{
    if (m_blockVariable)
        g_heapRegistry.Free(m_blockVariable);
    g_heapRegistry.Free(&m_view);
    g_heapRegistry.Free(&m_idBitmap);
    if (m_pendingVariable)
        *m_pendingVariable = NULL;
    if (m_countVariable)
        *m_countVariable = 0;
    DeleteCriticalSection(&m_lock);
}

bool CRecordArray::Bind(void** blockVariable, void** pendingVariable, void** currentVariable,
                        int recordSize, int growthStep, int* countVariable)
{
    Lock();
    m_lastPending = 0;
    if (!blockVariable)
        blockVariable = &m_internalBlock;
    if (recordSize <= 0 || !pendingVariable) {
        Unlock();
        return false;
    }
    m_recordSize = recordSize;
    m_pendingVariable = pendingVariable;
    if (growthStep > 0)
        m_growthStep = growthStep;
    m_currentVariable = currentVariable;
    m_blockVariable = blockVariable;
    m_countVariable = countVariable;
    Empty();
    Unlock();
    return Append();
}

// No block, no records, no view; the user's variables told so.
void CRecordArray::Empty()
{
    if (m_currentVariable)
        *m_currentVariable = NULL;
    g_heapRegistry.Free(m_blockVariable);
    if (m_countVariable)
        *m_countVariable = 0;
    m_count = 0;
    m_capacity = 0;
    m_viewCount = 0;
    m_bitmapStale = true;
    m_searchStart = -1;
    m_lastPending = 0;
    ++m_generation;
}

// Capacity for `count` records in whole growth steps, and the bytes of the
// block (with the extra slot) and of the view index; false when too large.
bool CRecordArray::SizesFor(int count, int* capacity, SIZE_T* blockBytes, SIZE_T* viewBytes) const
{
    uint64_t slots = (uint64_t)m_growthStep * ((uint64_t)count / (uint64_t)m_growthStep + 1);
    uint64_t block = (slots + 1) * (uint64_t)m_recordSize;
    uint64_t view = (slots + 1) * 2 * sizeof(uint32_t);
    if (slots > 0x7FFFFFFF || block > (SIZE_T)-1 || view > (SIZE_T)-1)
        return false;
    *capacity = (int)slots;
    *blockBytes = (SIZE_T)block;
    *viewBytes = (SIZE_T)view;
    return true;
}

bool CRecordArray::GrowTo(int count)
{
    int capacity;
    SIZE_T blockBytes, viewBytes;
    if (!SizesFor(count, &capacity, &blockBytes, &viewBytes))
        return false;
    if (!g_heapRegistry.Alloc(m_blockVariable, blockBytes))
        return false;
    if (!g_heapRegistry.Alloc(&m_view, viewBytes))
        return false;
    m_capacity = capacity;
    return true;
}

void CRecordArray::ChoosePending()
{
    int slot = m_capacity;
    for (int i = m_searchStart > 0 ? m_searchStart : 0; i < m_capacity; ++i) {
        if (SlotId(i) == 0) {
            slot = i;
            break;
        }
    }
    m_searchStart = m_lastPending = slot;
    char* pending = SlotAddress(slot);
    *m_pendingVariable = pending;
    if (m_template && m_recordSize > 4)
        memcpy(pending + 4, static_cast<const char*>(m_template) + 4, m_recordSize - 4);
}

bool CRecordArray::Append()
{
    if (!m_blockVariable) {
        m_lastError = ErrorNotBound;
        return false;
    }
    if (m_count >= m_maxCount) {
        m_lastError = ErrorFull;
        return false;
    }
    if (Block()) {
        if (m_view && m_viewCount < m_capacity + 1)
            m_view[m_viewCount++] = (uint32_t)m_lastPending;
        uint32_t* id = reinterpret_cast<uint32_t*>(SlotAddress(m_lastPending));
        *id = 0;
        *id = NextId(true);
        ++m_count;
        if (m_countVariable)
            *m_countVariable = m_count;
    }
    if (m_count >= m_capacity && !GrowTo(m_count)) {
        m_lastError = ErrorNoMemory;
        return false;
    }
    ChoosePending();
    return true;
}

void* CRecordArray::FindById(uint32_t id)
{
    if (!Block()) {
        m_lastError = ErrorNotBound;
        return NULL;
    }
    for (int slot = 0; slot < m_capacity; ++slot)
        if (SlotId(slot) == id)
            return SlotAddress(slot);
    return NULL;
}

void* CRecordArray::GetAt(int slot)
{
    if (!Block()) {
        m_lastError = ErrorNotBound;
        return NULL;
    }
    if (slot < 0 || slot >= m_capacity)
        return NULL;
    return SlotAddress(slot);
}

bool CRecordArray::RemoveById(uint32_t id)
{
    if (!Block()) {
        m_lastError = ErrorNotBound;
        return false;
    }
    for (int slot = 0; slot < m_capacity; ++slot)
        if (SlotId(slot) == id)
            return RemoveAt(slot);
    return false;
}

bool CRecordArray::RebuildView(bool leaveEmpty)
{
    if (!Block()) {
        m_lastError = ErrorNotBound;
        return false;
    }
    m_viewCount = 0;
    if (!leaveEmpty)
        for (int slot = 0; slot < m_capacity; ++slot)
            if (SlotId(slot) != 0)
                m_view[m_viewCount++] = (uint32_t)slot;
    return true;
}

bool CRecordArray::AddToView(uint32_t id, int fallbackSlot)
{
    if (!Block()) {
        m_lastError = ErrorNotBound;
        return false;
    }
    int slot = fallbackSlot;
    if (id != 0) {
        for (int i = 0; i < m_capacity; ++i) {
            if (SlotId(i) == id) {
                slot = i;
                break;
            }
        }
    }
    if (slot < 0 || slot >= m_capacity || m_viewCount >= m_capacity + 1)
        return false;
    m_view[m_viewCount++] = (uint32_t)slot;
    return true;
}

bool CRecordArray::SetTemplate(const void* record)
{
    m_template = record;
    return true;
}

void* CRecordArray::GetByView(int position)
{
    if (!Block()) {
        m_lastError = ErrorNotBound;
        return NULL;
    }
    if (position < 0 || position >= m_viewCount)
        return NULL;
    uint32_t slot = m_view[position];
    if (slot > (uint32_t)m_capacity)
        return NULL;
    return SlotAddress((int)slot);
}

void* CRecordArray::SelectByView(int position)
{
    void* record = GetByView(position);
    if (record && m_currentVariable)
        *m_currentVariable = record;
    return record;
}

bool CRecordArray::RemoveAt(int slot)
{
    if (!Block()) {
        m_lastError = ErrorNotBound;
        return false;
    }
    // Only committed slots: removing past the last record would zero a record
    // that was not asked for (or, in an empty store, a slot before the block).
    if (slot < 0 || slot >= m_capacity || slot >= m_count)
        return false;
    size_t size = (size_t)m_recordSize;
    if (slot < m_count - 1)
        memmove(SlotAddress(slot), SlotAddress(slot + 1), (size_t)(m_count - 1 - slot) * size);
    memset(SlotAddress(m_count - 1), 0, size);
    --m_count;
    ++m_generation;
    if (m_countVariable)
        *m_countVariable = m_count;

    int out = 0;
    bool removed = false;
    for (int i = 0; i < m_viewCount; ++i) {
        uint32_t entry = m_view[i];
        if (!removed && entry == (uint32_t)slot) {
            removed = true;
            continue;
        }
        m_view[out++] = entry > (uint32_t)slot ? entry - 1 : entry;
    }
    m_viewCount = out;

    m_searchStart = -1;
    ChoosePending();
    return true;
}

bool CRecordArray::RemoveByView(int position)
{
    if (!Block()) {
        m_lastError = ErrorNotBound;
        return false;
    }
    if (position < 0 || position >= m_viewCount)
        return false;
    return RemoveAt((int)m_view[position]);
}

// The file is replaced only once the new image is whole: a failed write, a
// full disk or a death mid-save leaves the old file as it was.
bool CRecordArray::Save(const char* fileName)
{
    if (!Block()) {
        m_lastError = ErrorNotBound;
        return false;
    }
    if (g_heapRegistry.IsFileView(Block()))
        MakePrivate();
    CReplacingFile file;
    if (!file.Open(fileName))
        return false;
    const char* data = Block();
    uint64_t left = (uint64_t)m_count * (uint64_t)m_recordSize;
    while (left > 0) {
        DWORD chunk = left > 0x10000000 ? 0x10000000 : (DWORD)left;
        if (!file.Write(data, chunk))
            break;
        data += chunk;
        left -= chunk;
    }
    return file.Commit();
}

// A block loaded as a view of its file holds that file: the file saved may be
// the very one, and a mapped file cannot be replaced. The block becomes
// private memory elsewhere, and the user's record pointers follow it. Should
// that fail, the save goes on (and fails only if the file is the one held).
void CRecordArray::MakePrivate()
{
    Lock();
    char* old = Block();
    if (g_heapRegistry.MakePrivate(m_blockVariable)) {
        const size_t bytes = (size_t)(m_capacity + 1) * (size_t)m_recordSize;
        void** pointers[2] = {m_pendingVariable, m_currentVariable};
        for (void** p : pointers) {
            char* at = p ? static_cast<char*>(*p) : NULL;
            if (at >= old && at < old + bytes)
                *p = Block() + (at - old);
        }
    }
    Unlock();
}

// Reads `size` bytes at `offset` of the file into `data`, in pieces of at
// most 256 MB; false unless every byte came.
static bool ReadAt(HANDLE file, char* data, uint64_t offset, uint64_t size)
{
    while (size > 0) {
        DWORD chunk = size > 0x10000000 ? 0x10000000 : (DWORD)size;
        OVERLAPPED at;
        memset(&at, 0, sizeof(at));
        at.Offset = (DWORD)offset;
        at.OffsetHigh = (DWORD)(offset >> 32);
        DWORD read = 0;
        if (!g_fileOps.read(file, data, chunk, &read, &at) || read != chunk)
            return false;
        data += chunk;
        offset += chunk;
        size -= chunk;
    }
    return true;
}

namespace {

struct ReadPart
{
    HANDLE   file;
    char*    data;
    uint64_t offset;
    uint64_t size;
    bool     ok;
};

DWORD WINAPI ReadPartThread(LPVOID part)
{
    ReadPart* p = static_cast<ReadPart*>(part);
    p->ok = ReadAt(p->file, p->data, p->offset, p->size);
    return 0;
}

}  // namespace

// Most of the time a large file takes to read goes into the first touch of the
// fresh pages it is read into: a second thread reads the second half of the
// file side by side with the first.
static bool ReadWhole(HANDLE file, char* data, uint64_t size)
{
    const uint64_t kSplitFrom = 4 * 1024 * 1024;
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    if (size < kSplitFrom || system.dwNumberOfProcessors < 2)
        return ReadAt(file, data, 0, size);
    uint64_t first = (size / 2 + 0xFFFF) & ~(uint64_t)0xFFFF;
    ReadPart second = {file, data + first, first, size - first, false};
    HANDLE thread = CreateThread(NULL, 0, ReadPartThread, &second, 0, NULL);
    if (!thread)
        return ReadAt(file, data, 0, size);
    bool ok = ReadAt(file, data, 0, first);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return ok && second.ok;
}

// The block is made for the file at once and read into as it comes: fresh
// memory is zero already, so nothing is cleared first, and no record is looked
// at twice to find the pending slot.
bool CRecordArray::Load(const char* fileName)
{
    if (!m_blockVariable) {
        m_lastError = ErrorNotBound;
        return false;
    }
    CReplacingFile::RemoveLeftover(fileName);
    HANDLE file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart % m_recordSize != 0 ||
        size.QuadPart / m_recordSize >= (LONGLONG)m_maxCount) {
        CloseHandle(file);
        return false;
    }
    int n = (int)(size.QuadPart / m_recordSize);
    Lock();
    Empty();
    bool ok = LoadBlock(file, n, (uint64_t)size.QuadPart);
    CloseHandle(file);
    if (!ok) {
        // Out of memory, or a file that shrank under us: the table is left
        // empty rather than half read.
        Unlock();
        Bind(m_blockVariable, m_pendingVariable, m_currentVariable, m_recordSize, 0, m_countVariable);
        return false;
    }
    m_count = n;
    if (m_countVariable)
        *m_countVariable = n;
    m_viewCount = n;
    if (!ListLoaded())
        CloseLoadedGaps();
    // Slots 0 to count - 1 hold records now, and every slot from count on is zero.
    m_searchStart = m_count;
    ChoosePending();
    Unlock();
    return true;
}

// The whole 64 KB units of a large file are taken as a copy-on-write view of
// it: no fresh memory is touched, and only the pages of records that change
// become copies. The rest of the file is read into the block right after the
// view. Any other file is read into fresh memory.
bool CRecordArray::LoadBlock(HANDLE file, int n, uint64_t size)
{
    int capacity;
    SIZE_T blockBytes, viewBytes;
    if (!SizesFor(n, &capacity, &blockBytes, &viewBytes)) {
        m_lastError = ErrorNoMemory;
        return false;
    }
    const uint64_t mapped = size & ~(uint64_t)0xFFFF;
    if (m_loadsViews && size >= CHeapRegistry::LargeBlockSize &&
        g_heapRegistry.AllocFileView(m_blockVariable, blockBytes, file, (SIZE_T)mapped)) {
        if (!g_heapRegistry.Alloc(&m_view, viewBytes)) {
            m_lastError = ErrorNoMemory;
            return false;
        }
        m_capacity = capacity;
        return ReadAt(file, Block() + mapped, mapped, size - mapped);
    }
    if (!GrowTo(n)) {
        m_lastError = ErrorNoMemory;
        return false;
    }
    return ReadWhole(file, Block(), size);
}

namespace {

struct IdScan
{
    const char* first;   // identifier of the first record scanned
    size_t      stride;  // record size
    int         count;
    bool        zero;    // an identifier 0 was met
};

void ScanIds(IdScan& scan)
{
    const char* at = scan.first;
    bool zero = false;
    for (int i = 0; i < scan.count; ++i, at += scan.stride)
        zero |= *reinterpret_cast<const uint32_t*>(at) == 0;
    scan.zero = zero;
}

DWORD WINAPI IdScanThread(LPVOID scan)
{
    ScanIds(*static_cast<IdScan*>(scan));
    return 0;
}

}  // namespace

// Lists the loaded records 0 to count - 1 in the view; true when every one has
// an identifier. Each is a first touch of fresh or mapped memory, the most of
// what a large load costs: a second thread looks at the second half of the
// records meanwhile.
bool CRecordArray::ListLoaded()
{
    const int n = m_count;
    const size_t kSplitFrom = 4 * 1024 * 1024;
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    IdScan second = {NULL, (size_t)m_recordSize, 0, false};
    HANDLE thread = NULL;
    int half = n;
    if ((size_t)n * (size_t)m_recordSize >= kSplitFrom && system.dwNumberOfProcessors >= 2) {
        half = n / 2;
        second.first = SlotAddress(half);
        second.count = n - half;
        thread = CreateThread(NULL, 0, IdScanThread, &second, 0, NULL);
        if (!thread)
            half = n;
    }
    for (int i = 0; i < n; ++i)
        m_view[i] = (uint32_t)i;
    IdScan first = {Block(), (size_t)m_recordSize, half, false};
    ScanIds(first);
    if (thread) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    return !first.zero && !second.zero;
}

// A loaded record whose identifier is 0 is a free slot. Committed records must
// fill slots 0 to count - 1, or the next Append would commit inside them (its
// slot listed twice in the view, an empty record counted and saved): the gaps
// are closed, keeping the order of the others.
void CRecordArray::CloseLoadedGaps()
{
    int kept = 0;
    for (int i = 0; i < m_count; ++i) {
        if (SlotId(i) == 0)
            continue;
        if (kept != i)
            memcpy(SlotAddress(kept), SlotAddress(i), (size_t)m_recordSize);
        ++kept;
    }
    if (kept == m_count)
        return;
    memset(SlotAddress(kept), 0, (size_t)(m_count - kept) * (size_t)m_recordSize);
    m_count = kept;
    if (m_countVariable)
        *m_countVariable = m_count;
    m_viewCount = 0;
    for (int i = 0; i < kept && m_view; ++i)
        m_view[m_viewCount++] = (uint32_t)i;
    m_bitmapStale = true;
}

bool CRecordArray::AppendMany(int n)
{
    if (!m_blockVariable) {
        m_lastError = ErrorNotBound;
        return false;
    }
    if (n < 0 || (int64_t)m_count + n >= (int64_t)m_maxCount) {
        m_lastError = ErrorFull;
        return false;
    }
    int newCount = m_count + n;
    if (!GrowTo(newCount)) {
        m_lastError = ErrorNoMemory;
        return false;
    }
    for (int i = 0; i < n && m_viewCount < m_capacity + 1; ++i)
        m_view[m_viewCount++] = (uint32_t)(m_lastPending + i);
    m_count = newCount;
    if (m_countVariable)
        *m_countVariable = m_count;
    m_bitmapStale = true;
    ++m_generation;
    ChoosePending();
    return true;
}

void CRecordArray::RebuildBitmap()
{
    memset(m_idBitmap, 0, m_bitmapSize);
    uint64_t first = (uint64_t)m_windowBase * 8 + 1;
    uint64_t last = ((uint64_t)m_windowBase + m_bitmapSize) * 8;
    if (Block()) {
        for (int slot = 0; slot < m_capacity; ++slot) {
            uint32_t id = SlotId(slot);
            if (id != 0 && id >= first && id <= last) {
                uint64_t bit = id - first;
                m_idBitmap[bit >> 3] |= (uint8_t)(1u << (bit & 7));
            }
        }
    }
    m_cursorByte = 0;
    m_cursorBit = 0;
}

uint32_t CRecordArray::NextId(bool mark)
{
    if (!m_idBitmap) {
        if (!g_heapRegistry.Alloc(&m_idBitmap, m_bitmapSize))
            return 0;
        m_bitmapStale = true;
    }
    bool wrapped = false;
    for (;;) {
        if (m_bitmapStale) {
            RebuildBitmap();
            m_bitmapStale = false;
        }
        for (uint32_t byte = m_cursorByte; byte < m_bitmapSize; ++byte) {
            uint8_t bits = m_idBitmap[byte];
            if (bits == 0xFF)
                continue;
            for (uint32_t bit = byte == m_cursorByte ? m_cursorBit : 0; bit < 8; ++bit) {
                if (bits & (1u << bit))
                    continue;
                m_cursorByte = byte;
                m_cursorBit = bit;
                if (mark)
                    m_idBitmap[byte] |= (uint8_t)(1u << bit);
                return (m_windowBase + byte) * 8 + bit + 1;
            }
        }
        m_windowBase += m_bitmapSize;
        if ((uint64_t)m_windowBase * 8 < kIdLimit) {
            m_bitmapStale = true;
            continue;
        }
        if (wrapped)
            return 0;
        wrapped = true;
        m_windowBase = 0;
        m_bitmapStale = true;
    }
}
