// CConverterTables: the kinds, positions and moves the readers fill and the exports read.
#include "ConverterTables.h"
#include "cwin/system/HeapRegistry.h"

#include <string.h>

#include <string_view>
#include <vector>

CConverterTables::CConverterTables()
    : m_moveTypeBlock(NULL), m_pendingMoveType(NULL), m_moveTypeCount(0),
      m_positionBlock(NULL), m_pendingPosition(NULL), m_positionCount(0),
      m_moveBlock(NULL), m_pendingMove(NULL), m_moveCount(0), m_moveCapacity(0), m_movesInText(false),
      m_startDate(kUnsetDate), m_endDate(kUnsetDate), m_codeIndexStale(true)
{
    memset(&m_blankType, 0, sizeof(m_blankType));
}

CConverterTables::~CConverterTables()
{
    ClearMoves();
}

void CConverterTables::StartMoveTypes()
{
    m_moveTypes.Bind(&m_moveTypeBlock, &m_pendingMoveType, 100, &m_moveTypeCount);
}

int CConverterTables::KindIndexOf(const char* name) const
{
    // Once per report row: compared here, without a library call per kind.
    for (int i = 0; i < m_moveTypeCount; ++i) {
        const char* a = m_moveTypeBlock[i].name;
        const char* b = name;
        while (*a && *a == *b)
            ++a, ++b;
        if (*a == *b)
            return i;
    }
    return m_moveTypeCount;
}

const MoveType& CConverterTables::TypeAt(int kindIndex) const
{
    if (kindIndex >= 0 && kindIndex < m_moveTypeCount)
        return m_moveTypeBlock[kindIndex];
    return m_blankType;
}

void CConverterTables::StartPositions()
{
    m_positionTexts.Clear();
    m_codeIndexStale = true;
    // Steps of 2,048 records: grown 100 at a time, a list of 10,000 goods was
    // copied a hundred times over (16 MB) while it was read.
    m_positions.Bind(&m_positionBlock, &m_pendingPosition, 2048, &m_positionCount);
}

bool CConverterTables::AppendPosition()
{
    m_codeIndexStale = true;
    return m_positions.Append();
}

// The index points into the positions' texts: built from their codes again
// whenever the positions have changed.
void CConverterTables::IndexCodes() const
{
    if (!m_codeIndexStale)
        return;
    std::vector<std::string_view> codes;
    codes.reserve((size_t)m_positionCount);
    for (int i = 0; i < m_positionCount; ++i)
        codes.emplace_back(CodeOf(m_positionBlock[i]));
    m_codeIndex.Build(codes);
    m_codeIndexStale = false;
}

int CConverterTables::FindLongestCodePrefix(const char* text) const
{
    IndexCodes();
    return m_codeIndex.FindLongestPrefix(text);
}

const Position* CConverterTables::FindPositionByCode(const char* code) const
{
    IndexCodes();
    const int i = m_codeIndex.FindExact(code);
    return i < 0 ? NULL : &m_positionBlock[i];
}

const char* CConverterTables::GoodsCodeOf(const Move& m) const
{
    const Position* p = GoodsOf(m);
    return p ? CodeOf(*p) : "";
}

const char* CConverterTables::GoodsNameOf(const Move& m) const
{
    const Position* p = GoodsOf(m);
    return p ? NameOf(*p) : "";
}

size_t CConverterTables::TableBytes() const
{
    return (size_t)(m_moveTypes.Capacity() + 1) * sizeof(MoveType) +
           (size_t)(m_positions.Capacity() + 1) * sizeof(Position) +
           (size_t)(m_moveCapacity + 1) * sizeof(Move) + m_positionTexts.Bytes() + m_partnerNames.Bytes();
}

void CConverterTables::StartMoves()
{
    m_partnerNames.Clear();
    // The first pending record is a zero record; later ones are copies of a fresh one.
    ClearMoves();
    ReserveMoves(100);
    m_startDate = m_endDate = kUnsetDate;
}

void CConverterTables::ClearMoves()
{
    g_heapRegistry.Free(&m_moveBlock);
    m_pendingMove = NULL;
    m_moveCount = m_moveCapacity = 0;
    m_movesInText = false;
}

// The committed records and the pending one, copied into a new block.
bool CConverterTables::MovesToOwnBlock(size_t capacity)
{
    Move* own = NULL;
    if (capacity < (size_t)m_moveCount + 100)
        capacity = (size_t)m_moveCount + 100;
    if (capacity > (size_t)kMaxMoves || !g_heapRegistry.AllocNew(&own, (SIZE_T)(capacity + 1) * sizeof(Move)))
        return false;
    memcpy(own, m_moveBlock, ((size_t)m_moveCount + 1) * sizeof(Move));
    m_moveBlock = own;   // the report's block stays the reader's
    m_pendingMove = &own[m_moveCount];
    m_moveCapacity = (int)capacity;
    m_movesInText = false;
    return true;
}

// The block stays as it was when memory runs out. New slots are zero (the
// registry zero-fills).
bool CConverterTables::ReserveMoves(size_t count)
{
    if (m_moveBlock && count <= (size_t)m_moveCapacity)
        return true;
    if (m_movesInText)
        return MovesToOwnBlock(count);
    if (count > (size_t)kMaxMoves)
        count = kMaxMoves;
    if (count < (size_t)m_moveCount || count + 1 > (SIZE_T)-1 / sizeof(Move))
        return false;
    if (!g_heapRegistry.Alloc(&m_moveBlock, (SIZE_T)(count + 1) * sizeof(Move)))
        return false;
    m_moveCapacity = (int)count;
    m_pendingMove = &m_moveBlock[m_moveCount];
    return true;
}

// A report row is longer than a record, so moves placed in front of the
// report's cells stay behind the cells read.
bool CConverterTables::PlaceMovesIn(char* block, const char* readFront, size_t rows)
{
    if (!(block + sizeof(Move) <= readFront && rows <= (size_t)kMaxMoves && m_moveCount == 0))
        return false;
    ClearMoves();
    m_moveBlock = reinterpret_cast<Move*>(block);
    memset(m_moveBlock, 0, sizeof(Move));   // the first pending record is a zero record
    m_pendingMove = m_moveBlock;
    m_moveCapacity = (int)rows;
    m_movesInText = true;
    return true;
}

bool CConverterTables::KeepsBlock(const char* block)
{
    m_movesInText = false;
    return reinterpret_cast<const char*>(m_moveBlock) == block;
}

// Commits the pending record and makes the next slot pending.
bool CConverterTables::AppendMove(const Move& fresh, const char* readFront)
{
    if (m_moveCount >= kMaxMoves)
        return false;
    m_moveBlock[m_moveCount].id = (uint32_t)m_moveCount + 1;
    // Growing by half again keeps the copies few (large blocks grow in place
    // while their reservation lasts).
    const bool overtaking =
        m_movesInText && reinterpret_cast<const char*>(&m_moveBlock[m_moveCount + 2]) > readFront;
    if ((overtaking && !MovesToOwnBlock((size_t)m_moveCapacity)) ||
        (m_moveCount + 1 > m_moveCapacity &&
         !ReserveMoves((size_t)m_moveCapacity + (size_t)m_moveCapacity / 2 + 100))) {
        m_moveBlock[m_moveCount].id = 0;
        return false;
    }
    ++m_moveCount;
    m_pendingMove = &m_moveBlock[m_moveCount];
    m_pendingMove->id = 0;
    memcpy(reinterpret_cast<char*>(m_pendingMove) + sizeof(uint32_t),
           reinterpret_cast<const char*>(&fresh) + sizeof(uint32_t), sizeof(Move) - sizeof(uint32_t));
    return true;
}
