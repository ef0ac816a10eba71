// CRecordArray: the framework's store of fixed-size records.
//
// One contiguous block of equal records growing in steps; the first 32-bit word
// of a record is its identifier (0 marks an empty slot). A view index lists which
// physical slots are shown and in what order. The store keeps the user's own
// variables (block, pending record, current record, count) up to date, and
// always holds one pending record: the slot the next Append commits.
#ifndef CWIN_RECORDARRAY_H
#define CWIN_RECORDARRAY_H

#include <windows.h>
#include <stdint.h>

class CRecordArray
{
public:
    enum LastError { ErrorFull = 0, ErrorNoMemory = 1, ErrorNotBound = 2 };

    CRecordArray();
    virtual ~CRecordArray();

    virtual bool  Append();
    virtual void* FindById(uint32_t id);
    virtual void* GetAt(int slot);
    virtual bool  RemoveById(uint32_t id);
    virtual bool  RebuildView(bool leaveEmpty = false);
    virtual bool  AddToView(uint32_t id, int fallbackSlot);
    virtual bool  SetTemplate(const void* record);

    bool  Bind(void** blockVariable, void** pendingVariable, void** currentVariable,
               int recordSize, int growthStep, int* countVariable);
    void* GetByView(int position);
    void* SelectByView(int position);
    bool  RemoveAt(int slot);
    bool  RemoveByView(int position);
    bool  Save(const char* fileName);
    bool  Load(const char* fileName);
    bool  AppendMany(int n);
    uint32_t NextId(bool mark);

    // Users hold the lock around their own multi-step work.
    void Lock()   { EnterCriticalSection(&m_lock); }
    void Unlock() { LeaveCriticalSection(&m_lock); }

    int  Count() const { return m_count; }
    int  Capacity() const { return m_capacity; }
    int  RecordSize() const { return m_recordSize; }
    int  GrowthStep() const { return m_growthStep; }
    int  ViewCount() const { return m_viewCount; }
    const uint32_t* View() const { return m_view; }
    int  LastPending() const { return m_lastPending; }
    int  GetLastError() const { return m_lastError; }
    bool IsBound() const { return m_blockVariable != NULL; }
    // Changes whenever records already stored may have moved or changed (a
    // bind, a load, a removal, records taken as they are): an index kept of the
    // records by their slots starts again then. Appends leave it as it is.
    uint32_t Generation() const { return m_generation; }
    void SetMaximumCount(int maximum) { m_maxCount = maximum; }
    // Whether Load may take a large file as a copy-on-write view of itself
    // (on by default): worth it for a table mostly read, not for one whose
    // every page is written soon after (each page then faults into a copy).
    void SetLoadsViews(bool views) { m_loadsViews = views; }
    bool LoadsViews() const { return m_loadsViews; }

    // The user's variables and the template as bound: a list view binds its
    // store again with them and reads the pending and current records.
    void**      BlockVariable() const { return m_blockVariable; }
    void**      PendingVariable() const { return m_pendingVariable; }
    void**      CurrentVariable() const { return m_currentVariable; }
    int*        CountVariable() const { return m_countVariable; }
    const void* Template() const { return m_template; }
    // The view index for reordering in place; (capacity + 1) entries on lies
    // the second index, where a list view keeps the order saved before a sort.
    uint32_t*   ViewIndex() { return m_view; }

    // Typed binding: the user's variables are pointers to its record type.
    template <class T>
    bool Bind(T** blockVariable, T** pendingVariable, T** currentVariable,
              int growthStep, int* countVariable)
    {
        return Bind(reinterpret_cast<void**>(blockVariable), reinterpret_cast<void**>(pendingVariable),
                    reinterpret_cast<void**>(currentVariable), (int)sizeof(T), growthStep, countVariable);
    }
    template <class T>
    bool Bind(T** blockVariable, T** pendingVariable, int growthStep, int* countVariable)
    {
        return Bind(blockVariable, pendingVariable, (T**)NULL, growthStep, countVariable);
    }

private:
    char* Block() const { return m_blockVariable ? static_cast<char*>(*m_blockVariable) : NULL; }
    char* SlotAddress(int slot) const { return Block() + (size_t)slot * (size_t)m_recordSize; }
    uint32_t SlotId(int slot) const { return *reinterpret_cast<const uint32_t*>(SlotAddress(slot)); }
    bool  SizesFor(int count, int* capacity, SIZE_T* blockBytes, SIZE_T* viewBytes) const;
    bool  GrowTo(int count);
    bool  LoadBlock(HANDLE file, int n, uint64_t size);
    void  MakePrivate();
    void  Empty();
    void  ChoosePending();
    bool  ListLoaded();
    void  CloseLoadedGaps();
    void  RebuildBitmap();

    void**    m_blockVariable;
    void**    m_pendingVariable;
    void**    m_currentVariable;
    const void* m_template;
    int*      m_countVariable;
    int       m_count;
    int       m_recordSize;
    int       m_growthStep;
    int       m_maxCount;
    int       m_capacity;
    uint32_t* m_view;
    int       m_viewCount;
    uint8_t*  m_idBitmap;
    uint32_t  m_bitmapSize;
    uint32_t  m_cursorByte;
    uint32_t  m_cursorBit;
    uint32_t  m_windowBase;
    bool      m_bitmapStale;
    int       m_searchStart;
    int       m_lastPending;
    int       m_lastError;
    uint32_t  m_generation;
    bool      m_loadsViews;
    void*     m_internalBlock;
    CRITICAL_SECTION m_lock;
};

#endif
