// CTableLookup: the first record of each identifier and of each code of the
// goods or the supplier table, kept up to date as records are appended.
//
// A lookup first takes in the records appended since the last one, and starts
// again when the table was bound or loaded anew (its array's generation moved).
#ifndef ORVEX_TABLELOOKUP_H
#define ORVEX_TABLELOOKUP_H

#include <stdint.h>

#include "FirstCodeIndex.h"
#include "FirstIndex.h"
#include "RecordTable.h"

class CTableLookup
{
public:
    CTableLookup() : m_generation(0), m_indexed(-1) {}

    // Brings the lookup up to the records the table holds now; false when it
    // cannot be had (the callers scan then).
    template <class Record> bool CatchUp(const CRecordTable<Record>& table, CFirstCodeIndex::CodeOf codeOf);

    // The storage index of the first record with this identifier or code, or -1.
    int32_t FindId(uint32_t id) const { return m_byId.Find(id); }
    int32_t FindCode(const void* records, const char* code) const { return m_byCode.Find(records, code); }

private:
    uint32_t        m_generation;   // of the record array when taken in
    int             m_indexed;      // records taken in; -1: none
    CFirstIndex     m_byId;
    CFirstCodeIndex m_byCode;
};

template <class Record>
bool CTableLookup::CatchUp(const CRecordTable<Record>& table, CFirstCodeIndex::CodeOf codeOf)
{
    const Record* records = table.Records();
    const int count = table.Count();
    const uint32_t generation = table.Array().Generation();
    if (!records)
        return false;
    if (m_indexed < 0 || m_generation != generation || count < m_indexed) {
        m_indexed = -1;
        if (!m_byId.Reset(count) || !m_byCode.Reset(count, codeOf, sizeof(records->code)))
            return false;
        m_generation = generation;
        m_indexed = 0;
    }
    for (int i = m_indexed; i < count; ++i) {
        if (!m_byId.AddFirst((uint32_t)records[i].id, i) || !m_byCode.AddFirst(records, i)) {
            m_indexed = -1;   // incomplete: started again at the next lookup
            return false;
        }
    }
    m_indexed = count;
    return true;
}

#endif
