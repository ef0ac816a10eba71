// CConverterTables: the converter's tables, filled by its three readers
// (MoveKindsReader.h, GoodsListReader.h, ReportReader.h) and read by the
// exports (TableExports.h):
//   movement kinds  from moves_type.txt  records in a record array
//   positions       from the goods list  records in a record array, texts in a pool
//   moves           from the report      records in a block of their own, partner
//                                        names in a pool of their own
// and the report's period. Every table holds a pending record behind its last
// one: a reader writes a row's cells into it and commits it at the row's end.
#ifndef CONVERTER_CONVERTERTABLES_H
#define CONVERTER_CONVERTERTABLES_H

#include <stddef.h>
#include <stdint.h>

#include "cwin/system/PackedDate.h"
#include "cwin/system/RecordArray.h"
#include "CodeIndex.h"
#include "TextPool.h"

struct MoveType
{
    uint32_t id;
    char     name[1024];
    bool     negate;
    bool     incoming;
    bool     withSum;
};

// Positions and moves keep their texts in the tables' text pools (each
// distinct text once, at most 1023 bytes) and hold references to them.
struct Position
{
    uint32_t id;
    TextRef  code;
    TextRef  supplier;
    TextRef  name;
    double   unitCost;
    double   secondValue;
};

// A move's goods code and name are those of the position of the last resolved
// header row: the move refers to that position.
struct Move
{
    uint32_t   id;
    PackedDate date;
    int32_t    kindIndex;
    int32_t    partnerCode;
    TextRef    partnerName;
    uint32_t   goods;   // 1 + index of the position; 0: none (empty code and name)
    double     quantity;
    double     sum;
};

// The layout is the same in both builds (the benchmark computes the 32-bit
// build's memory from these sizes).
static_assert(sizeof(Position) == 32, "Position layout");
static_assert(sizeof(Move) == 40, "Move layout");

class CConverterTables
{
public:
    CConverterTables();
    ~CConverterTables();

    // Read access, for the exports and for tests.
    int MoveTypeCount() const { return m_moveTypeCount; }
    int PositionCount() const { return m_positionCount; }
    int MoveCount() const { return m_moveCount; }
    const MoveType* MoveTypeAt(int i) const { return i >= 0 && i < m_moveTypeCount ? &m_moveTypeBlock[i] : 0; }
    const Position* PositionAt(int i) const { return i >= 0 && i < m_positionCount ? &m_positionBlock[i] : 0; }
    const Move*     MoveAt(int i) const { return i >= 0 && i < m_moveCount ? &m_moveBlock[i] : 0; }
    // The tables whole, for the exports' passes over them.
    const Position* PositionBlock() const { return m_positionBlock; }
    const Move*     MoveBlock() const { return m_moveBlock; }
    // Any index that names no loaded kind is the blank kind: empty name, no flags.
    const MoveType& TypeAt(int kindIndex) const;
    // The texts of a position and of a move.
    const char* CodeOf(const Position& p) const { return m_positionTexts.At(p.code); }
    const char* NameOf(const Position& p) const { return m_positionTexts.At(p.name); }
    const char* SupplierOf(const Position& p) const { return m_positionTexts.At(p.supplier); }
    const char* PartnerNameOf(const Move& m) const { return m_partnerNames.At(m.partnerName); }
    const Position* GoodsOf(const Move& m) const { return m.goods ? PositionAt((int)m.goods - 1) : NULL; }
    const char* GoodsCodeOf(const Move& m) const;
    const char* GoodsNameOf(const Move& m) const;
    // First position with exactly this code, or null.
    const Position* FindPositionByCode(const char* code) const;
    // The earliest and the latest date of the report's move rows; unset without any.
    PackedDate StartDate() const { return m_startDate; }
    PackedDate EndDate() const { return m_endDate; }
    // Memory the tables and pools hold now, in bytes.
    size_t TableBytes() const;

    // Movement kinds: an empty table, then rows committed one by one.
    void      StartMoveTypes();
    MoveType* PendingMoveType() { return m_pendingMoveType; }
    bool      AppendMoveType() { return m_moveTypes.Append(); }
    // Index of the first kind with exactly this name; the count of kinds (the
    // blank kind) when none.
    int KindIndexOf(const char* name) const;

    // Positions: an empty table and pool, then rows committed one by one. A
    // text is cut at 1023 bytes; false when memory runs out.
    void      StartPositions();
    Position* PendingPosition() { return m_pendingPosition; }
    bool      SetPositionText(TextRef* field, const char* text) { return m_positionTexts.Add(text, field); }
    bool      AppendPosition();
    // Index of the position with the longest non-empty code that is a prefix
    // of `text` (the first of equal codes); -1 when none.
    int FindLongestCodePrefix(const char* text) const;

    // Moves: an empty table and pool and an unset period, then rows committed
    // one by one. A fresh pending move is a copy of `fresh` (all but the
    // identifier). Moves lent the front of the report's block
    // (PlaceMovesIn) end before `readFront`, the last cell the reader has
    // passed, or move to a block of their own.
    void  StartMoves();
    Move* PendingMove() { return m_pendingMove; }
    bool  SetPartnerName(TextRef* field, const char* text) { return m_partnerNames.Add(text, field); }
    void  TakeDate(PackedDate date)
    {
        if (m_startDate == kUnsetDate || date < m_startDate)
            m_startDate = date;
        if (m_endDate == kUnsetDate || date > m_endDate)
            m_endDate = date;
    }
    bool AppendMove(const Move& fresh, const char* readFront);
    // Room for `count` moves and the pending record; false when memory runs out.
    bool ReserveMoves(size_t count);
    // The moves go to the front of `block` (a registry block the reader holds,
    // whose cells from `readFront` on are still to be read), room for `rows`
    // moves; false when it cannot hold even one, or the table is not empty.
    bool PlaceMovesIn(char* block, const char* readFront, size_t rows);
    // Reading ends: true when the moves stayed in `block`, which is theirs now.
    bool KeepsBlock(const char* block);
    // The largest table the record array would hold; past it the report is not read.
    static const int kMaxMoves = 100000000;

private:
    CConverterTables(const CConverterTables&);
    CConverterTables& operator=(const CConverterTables&);

    bool MovesToOwnBlock(size_t capacity);
    void ClearMoves();
    void IndexCodes() const;

    CRecordArray m_moveTypes;
    MoveType*    m_moveTypeBlock;
    MoveType*    m_pendingMoveType;
    int          m_moveTypeCount;
    MoveType     m_blankType;

    CRecordArray m_positions;
    Position*    m_positionBlock;
    Position*    m_pendingPosition;
    int          m_positionCount;
    CTextPool    m_positionTexts;   // codes, names, suppliers

    // The moves are only ever appended: a block of their own, without the
    // record array's identifier bitmap and view index (a million moves filled
    // both, and its bitmap read the whole of a block sized for all rows).
    // Identifiers are 1, 2, 3 ... as the record array gives them; the pending
    // record is the slot after the last.
    Move*      m_moveBlock;
    Move*      m_pendingMove;
    int        m_moveCount;
    int        m_moveCapacity;   // slots besides the pending one
    // While the report is read, the moves may fill the front of the report's
    // own block, behind the cells already read: its pages are touched already,
    // where a block of their own would be fresh memory.
    bool       m_movesInText;
    CTextPool  m_partnerNames;   // kept apart: the code index points into the positions' texts
    PackedDate m_startDate;
    PackedDate m_endDate;

    // First position by code, built again when the positions have changed.
    mutable CCodeIndex m_codeIndex;
    mutable bool       m_codeIndexStale;
};

#endif
