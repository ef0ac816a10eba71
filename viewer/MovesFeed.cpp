// The moves of Moves.txt fed to the plug-in. A year is a million rows: a
// thread of its own reads and parses them (Buyers.txt first, for the buyers'
// codes) into batches of add calls, while the user-interface thread makes the
// calls. The plug-in is called on that thread only, with the same calls in the
// same order as one thread would make them; the reading thread's fault lines
// travel in the batches and are said between the calls, in file order.
#include "HostTables.h"
#include "TableFeed.h"

#include <deque>

namespace host {

// A rule line inside the report's table (a page break, a separator between
// goods) is a row of the converter's too: a move of the last goods, dated
// 00.00.00, without amounts. It is no movement.
const char kRuleLineDate[] = "00.00.00";

namespace {

// Texts of the converter's tables, byte for byte (code page 1251).
const char kFictiveGoods[]     = "фикти";
const char kFictivePartner[]   = "Фикц";
const char kSupplierNotFound[] = "[поставщик не найден]";

// A few milliseconds of parsing per batch; a few batches ahead of the calls.
const size_t kBatchCalls = 4096;
const size_t kBatchesAhead = 8;

struct MoveCall
{
    uint32_t date;
    int32_t goodsId, supplierId;
    double values[4];                 // NIN, NOUT, DIN, DOUT
};

struct MoveBatch
{
    std::vector<MoveCall> calls;
    // Fault lines, each with the number of the batch's calls said before it.
    std::vector<std::pair<size_t, std::string>> lines;
};

// The batches between the reading thread and the calling one: filled ones in
// order, emptied ones back for reuse, at most kBatchesAhead in all.
class BatchQueue
{
public:
    BatchQueue()
    {
        InitializeSRWLock(&m_lock);
        InitializeConditionVariable(&m_changed);
    }
    // Without a thread of its own the reading runs first, all of it held.
    void Unbound() { m_bounded = false; }
    ~BatchQueue()
    {
        for (MoveBatch* batch : m_free)
            delete batch;
        for (MoveBatch* batch : m_full)
            delete batch;
    }

    // The reading thread: an empty batch, once one is free.
    MoveBatch* Empty()
    {
        AcquireSRWLockExclusive(&m_lock);
        while (m_free.empty() && m_bounded && m_made >= kBatchesAhead)
            SleepConditionVariableSRW(&m_changed, &m_lock, INFINITE, 0);
        MoveBatch* batch = NULL;
        if (!m_free.empty()) {
            batch = m_free.back();
            m_free.pop_back();
        }
        ReleaseSRWLockExclusive(&m_lock);
        if (!batch) {
            batch = new MoveBatch;
            batch->calls.reserve(kBatchCalls);
            ++m_made;                 // only this thread makes batches
        }
        return batch;
    }
    void Filled(MoveBatch* batch)
    {
        AcquireSRWLockExclusive(&m_lock);
        m_full.push_back(batch);
        ReleaseSRWLockExclusive(&m_lock);
        WakeAllConditionVariable(&m_changed);
    }
    void Finish()
    {
        AcquireSRWLockExclusive(&m_lock);
        m_finished = true;
        ReleaseSRWLockExclusive(&m_lock);
        WakeAllConditionVariable(&m_changed);
    }

    // The calling thread: the next filled batch; null once all were taken.
    MoveBatch* Next()
    {
        AcquireSRWLockExclusive(&m_lock);
        while (m_full.empty() && !m_finished)
            SleepConditionVariableSRW(&m_changed, &m_lock, INFINITE, 0);
        MoveBatch* batch = NULL;
        if (!m_full.empty()) {
            batch = m_full.front();
            m_full.pop_front();
        }
        ReleaseSRWLockExclusive(&m_lock);
        return batch;
    }
    void Emptied(MoveBatch* batch)
    {
        batch->calls.clear();
        batch->lines.clear();
        AcquireSRWLockExclusive(&m_lock);
        m_free.push_back(batch);
        ReleaseSRWLockExclusive(&m_lock);
        WakeAllConditionVariable(&m_changed);
    }

private:
    SRWLOCK m_lock;
    CONDITION_VARIABLE m_changed;
    std::deque<MoveBatch*> m_full;
    std::vector<MoveBatch*> m_free;
    size_t m_made = 0;
    bool m_finished = false;
    bool m_bounded = true;
};

// The distinct pairs of supplier and goods of the receipts: a year holds half
// a million receipts but far fewer pairs. Open addressing over one block;
// 0 is no pair (neither identifier is ever 0 here).
class PairSet
{
public:
    void Insert(uint64_t pair)
    {
        if ((m_count + 1) * 2 > m_slots.size())
            Grow();
        size_t slot = Slot(pair);
        while (m_slots[slot] != 0) {
            if (m_slots[slot] == pair)
                return;
            slot = (slot + 1) & m_mask;
        }
        m_slots[slot] = pair;
        ++m_count;
    }
    void MoveTo(std::vector<uint64_t>& pairs)
    {
        pairs.reserve(pairs.size() + m_count);
        for (uint64_t pair : m_slots)
            if (pair)
                pairs.push_back(pair);
        std::vector<uint64_t>().swap(m_slots);
        m_count = 0;
    }

private:
    size_t Slot(uint64_t pair) const { return (size_t)((pair * 0x9E3779B97F4A7C15ull) >> 32) & m_mask; }
    void Grow()
    {
        std::vector<uint64_t> old;
        old.swap(m_slots);
        m_slots.assign(old.empty() ? 4096 : old.size() * 2, 0);
        m_mask = m_slots.size() - 1;
        for (uint64_t pair : old) {
            if (!pair)
                continue;
            size_t slot = Slot(pair);
            while (m_slots[slot] != 0)
                slot = (slot + 1) & m_mask;
            m_slots[slot] = pair;
        }
    }

    std::vector<uint64_t> m_slots;
    size_t m_mask = 0;
    size_t m_count = 0;
};

// A rule line of the report: dated 00.00.00, every amount empty or zero.
bool IsRuleLine(const Row& row)
{
    if (row.field[0] != kRuleLineDate)
        return false;
    for (int k = 3; k < 7; ++k) {
        double value = 0.0;
        if (!ParseNumber(row.field[k], value) || value != 0.0)
            return false;
    }
    return true;
}

// The reading thread's work: every row of Buyers.txt and Moves.txt read, every
// row of moves turned into its add call or its fault, and the counts of the
// feed. Until it is done it alone touches the two tables' counts and the
// feed's counts and receipts; it only reads the goods' and suppliers' codes.
class MovesReader : public LineSink
{
public:
    MovesReader(const std::string& folder, Table& moves, Table& buyers, Fed& fed, BatchQueue& queue)
        : m_folder(folder), m_moves(moves), m_buyers(buyers), m_fed(fed), m_queue(queue)
    {
    }

    void Run()
    {
        double start = NowMs();
        SetLineSink(this);
        m_batch = m_queue.Empty();
        CodeIds buyerCodes;
        ForEachRow(m_folder, m_buyers, [&](const Row& row) { buyerCodes.Insert(row.field[0], 1); });
        ForEachRow(m_folder, m_moves, [&](const Row& row) { Parse(row, buyerCodes); });
        m_receipts.MoveTo(m_fed.receipts);
        m_queue.Filled(m_batch);
        m_batch = NULL;
        SetLineSink(NULL);
        m_busyMs = NowMs() - start;
        m_queue.Finish();
    }

    double BusyMs() const { return m_busyMs; }

    void Line(const std::string& text) override { m_batch->lines.emplace_back(m_batch->calls.size(), text); }

private:
    void Call(uint32_t date, int32_t goodsId, int32_t supplierId, const double values[4])
    {
        m_batch->calls.push_back(MoveCall{date, goodsId, supplierId, {values[0], values[1], values[2], values[3]}});
        if (m_batch->calls.size() == kBatchCalls) {
            m_queue.Filled(m_batch);
            m_batch = m_queue.Empty();
        }
    }

    void Parse(const Row& row, const CodeIds& buyerCodes)
    {
        Table& table = m_moves;
        const std::string_view* f = row.field;
        uint32_t date = 0;
        if (row.count >= 3 && f[1] == kFictiveGoods && f[2] == kFictivePartner) {
            // A calendar day without movements: a move of nothing, so that the
            // plug-in's calendar holds the day.
            if (!ParseDate(f[0], date)) {
                Fault(table, row.line, "date \"%s\" is not dd.mm.yy; skipped", row.Text(0));
                return;
            }
            static const double kNothing[4] = {0.0, 0.0, 0.0, 0.0};
            Call(date, 0, 0, kNothing);
            ++m_fed.fictive;
            return;
        }
        if (row.count < 7) {
            Fault(table, row.line, "%u fields, 7 expected (Date|IDG|IDS|NIN|NOUT|DIN|DOUT); skipped",
                  (unsigned)row.count);
            return;
        }
        if (IsRuleLine(row)) {
            ++m_fed.ruleLines;
            return;
        }
        if (!ParseDate(f[0], date)) {
            Fault(table, row.line, "date \"%s\" is not dd.mm.yy; skipped", row.Text(0));
            return;
        }
        double values[4];
        static const char* const names[4] = {"NIN", "NOUT", "DIN", "DOUT"};
        for (int k = 0; k < 4; ++k) {
            if (!ParseNumber(f[3 + k], values[k])) {
                Fault(table, row.line, "%s \"%s\" is not a number; skipped", names[k], row.Text(3 + k));
                return;
            }
        }

        int32_t goodsId = m_fed.goodsIds.Find(f[1]);
        if (goodsId == 0)
            Fault(table, row.line, "goods code \"%s\" is not in the goods table; the move is kept with goods id 0",
                  row.Text(1));
        // IDS names the supplier of a receipt (NIN filled) and the buyer of
        // anything else; buyers are no suppliers, so a sale has supplier id 0.
        int32_t supplierId = 0;
        if (!f[3].empty()) {
            if (f[2] == kSupplierNotFound)
                Fault(table, row.line, "the converter found no supplier for goods \"%s\"; the move is kept with supplier id 0",
                      row.Text(1));
            else if ((supplierId = m_fed.supplierIds.Find(f[2])) == 0)
                Fault(table, row.line, "supplier \"%s\" is not in the supplier table; the move is kept with supplier id 0",
                      row.Text(2));
        } else if (m_buyers.read && buyerCodes.Find(f[2]) == 0) {
            Fault(table, row.line, "buyer code \"%s\" is not in Buyers.txt; the move is kept", row.Text(2));
        }
        Call(date, goodsId, supplierId, values);
        ++m_fed.moves;
        if (supplierId != 0 && goodsId != 0 && values[0] != 0.0)
            m_receipts.Insert((uint64_t)(uint32_t)supplierId << 32 | (uint32_t)goodsId);
    }

    const std::string& m_folder;
    Table& m_moves;
    Table& m_buyers;
    Fed& m_fed;
    BatchQueue& m_queue;
    PairSet m_receipts;
    MoveBatch* m_batch = NULL;
    double m_busyMs = 0.0;
};

DWORD WINAPI ReadMoves(void* reader)
{
    static_cast<MovesReader*>(reader)->Run();
    return 0;
}

}  // namespace

double FeedMoves(IOrvexPlugin* plugin, const std::string& folder, Table& moves, Table& buyers, Fed& fed,
                 PluginTime& time)
{
    BatchQueue batches;
    MovesReader reader(folder, moves, buyers, fed, batches);
    HANDLE thread = CreateThread(NULL, 0, ReadMoves, &reader, 0, NULL);
    if (!thread) {
        batches.Unbound();
        reader.Run();
    }
    while (MoveBatch* batch = batches.Next()) {
        size_t said = 0;
        for (size_t k = 0; k < batch->calls.size(); ++k) {
            for (; said < batch->lines.size() && batch->lines[said].first == k; ++said)
                Say("%s", batch->lines[said].second.c_str());
            const MoveCall& c = batch->calls[k];
            time([&] { plugin->AddMove(c.date, c.goodsId, c.supplierId, c.values[0], c.values[1], c.values[2], c.values[3]); });
        }
        for (; said < batch->lines.size(); ++said)
            Say("%s", batch->lines[said].second.c_str());
        batches.Emptied(batch);
    }
    if (thread) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    return reader.BusyMs();
}

}  // namespace host
