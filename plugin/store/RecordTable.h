// CRecordTable<Record>: a record array together with the variables it keeps up
// to date (the block of records, their count, the pending record and, if asked
// for, the current record).
//
// The table owns its array and lends it (Array) to whoever shows or files the
// records: a list view reads it and never frees it. The variables are declared
// before the array, so the array, whose destructor still writes them, goes first.
#ifndef ORVEX_RECORDTABLE_H
#define ORVEX_RECORDTABLE_H

#include <stdint.h>

#include "cwin/system/RecordArray.h"

template <class Record> class CRecordTable
{
public:
    CRecordTable() : m_records(0), m_count(0), m_pending(0), m_current(0) {}
    CRecordTable(const CRecordTable&) = delete;
    CRecordTable& operator=(const CRecordTable&) = delete;

    // Empties the table; with `keepsCurrent` the array also keeps the current
    // record (the one a list view's focus selects). False when the array
    // could not make its first pending record.
    bool Bind(int growthStep, bool keepsCurrent = false)
    {
        return m_array.Bind(&m_records, &m_pending, keepsCurrent ? &m_current : (Record**)0, growthStep, &m_count);
    }

    // Records 0 .. Count() - 1 in storage order; null before the first bind.
    Record*       Records() { return m_records; }
    const Record* Records() const { return m_records; }
    int           Count() const { return m_count; }
    Record&       operator[](int i) { return m_records[i]; }
    const Record& operator[](int i) const { return m_records[i]; }
    // The slot the next Append commits; null while the table is not bound.
    Record*       Pending() const { return m_pending; }
    Record*       Current() const { return m_current; }

    CRecordArray&       Array() { return m_array; }
    const CRecordArray& Array() const { return m_array; }

private:
    Record*      m_records;
    int32_t      m_count;
    Record*      m_pending;
    Record*      m_current;
    CRecordArray m_array;
};

#endif
