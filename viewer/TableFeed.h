// What the parts of the feed share: a table's rows read in large pieces and
// split in place, its fault lines, and the time spent in the plug-in.
//
//   HostTables.cpp  goods and suppliers, numbers and dates, the whole feed
//   MovesFeed.cpp   the moves, read and parsed on a thread of their own
#ifndef ORVEX_TABLE_FEED_H
#define ORVEX_TABLE_FEED_H

#include <windows.h>
#include <x86intrin.h>

#include <string.h>

#include <string>
#include <string_view>
#include <vector>

#include "HostTables.h"

namespace host {

// The tables are read in pieces of this size; a line longer than that grows it.
const size_t kChunkBytes = 4u << 20;

// One line of a table, split at '|' in the read buffer itself: every field is
// followed by a NUL byte there, so it can be handed on as a C string.
struct Row
{
    static const int kKept = 10;      // no table needs more of a row
    int line = 0;                     // 1-based line number in the file
    int count = 0;                    // the line's fields, all of them
    std::string_view field[kKept];    // the first kKept of them
    const char* Text(int i) const { return field[i].data(); }
};

// Where a thread's fault lines go instead of the console: the moves' reading
// thread hands them on with its rows, so that they are said in file order
// between the add calls, as one thread would say them.
class LineSink
{
public:
    virtual void Line(const std::string& text) = 0;

protected:
    ~LineSink() {}
};

// For the calling thread; null: the console.
void SetLineSink(LineSink* sink);

// A faulty row or line of the table: counted, and said while no more than 20
// were said for it.
void Fault(Table& table, int line, const char* format, ...);

// -time: the time spent inside the plug-in's add operations, measured with the
// processor's counter (a million moves; the system's clock costs too much per
// call) and scaled to milliseconds against it over the whole feed.
struct PluginTime
{
    uint64_t ticks = 0;
    template <class Call>
    void operator()(Call call)
    {
        if (!g_timing) {
            call();
            return;
        }
        uint64_t start = __rdtsc();
        call();
        ticks += __rdtsc() - start;
    }
};

// The date of the report's rule lines, which are no movements.
extern const char kRuleLineDate[];

// The moves of Moves.txt (with Buyers.txt for the buyers' codes) fed after the
// goods and suppliers: the add calls made on this thread. Returns the time the
// reading thread was busy, in milliseconds.
double FeedMoves(IOrvexPlugin* plugin, const std::string& folder, Table& moves, Table& buyers, Fed& fed,
                 PluginTime& time);

// The first line of a table, in the buffer: its line end dropped, checked
// against the header, and split into the row when it is none. The byte after
// the line is writable.
template <class Function>
void HandleFirstLine(Table& table, char* text, size_t length, Row& row, Function& each)
{
    if (length && text[length - 1] == '\r')
        --length;
    if (memchr(text, 0, length)) {
        Fault(table, 1, "holds a NUL byte; not a text table line, skipped");
        return;
    }
    text[length] = 0;
    if (length == strlen(table.header) && memcmp(text, table.header, length) == 0)
        return;
    Fault(table, 1, "the header \"%s\" is missing; the line is read as a row", table.header);
    if (length == 0)
        return;
    row.line = 1;
    row.count = 0;
    char* field = text;
    char* end = text + length;
    for (;;) {
        char* bar = (char*)memchr(field, '|', end - field);
        char* stop = bar ? bar : end;
        if (row.count < Row::kKept)
            row.field[row.count] = std::string_view(field, stop - field);
        ++row.count;
        if (!bar)
            break;
        *bar = 0;
        field = bar + 1;
    }
    each(row);
}

// The lines after the first, from `from` on, split into rows in one pass over
// their bytes (a year of moves is a million lines) and handed on. The buffer
// holds a line end at `limit` as a sentinel; a line that reaches it is whole
// only at the end of the file. Returns where the unfinished line begins.
template <class Function>
char* HandleLines(Table& table, char* from, char* limit, bool endOfFile, int& line, Row& row, Function& each)
{
    char* p = from;
    while (p < limit) {
        char* start = p;
        char* fieldStart = p;
        int count = 0;
        bool nul = false;
        for (;; ++p) {
            char c = *p;
            if (c == '|') {
                if (count < Row::kKept)
                    row.field[count] = std::string_view(fieldStart, p - fieldStart);
                ++count;
                fieldStart = p + 1;
            } else if (c == '\n') {
                break;
            } else if (c == 0) {
                nul = true;
            }
        }
        if (p == limit && !endOfFile)
            return start;
        ++line;
        char* end = p > start && p[-1] == '\r' ? p - 1 : p;
        ++p;
        if (nul) {
            Fault(table, line, "holds a NUL byte; not a text table line, skipped");
            continue;
        }
        if (end == start)
            continue;
        if (fieldStart > end)             // the line's last bar was its CR: an empty last field
            fieldStart = end;
        if (count < Row::kKept)
            row.field[count] = std::string_view(fieldStart, end - fieldStart);
        ++count;
        // Every field handed on is a C string too.
        for (int k = 0; k < count && k < Row::kKept; ++k)
            const_cast<char*>(row.field[k].data())[row.field[k].size()] = 0;
        row.line = line;
        row.count = count;
        each(row);
    }
    return p;
}

// Hands each row of a '|'-separated table to the function, one at a time, as
// the file is read in large pieces: a year of moves is never held whole, and
// no field is copied. The first line is the header; a first line that is not
// the expected header is read as a row, so that no row goes unseen.
template <class Function>
void ForEachRow(const std::string& folder, Table& table, Function each)
{
    std::string path = JoinPath(folder, table.name);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    LARGE_INTEGER size;
    // A table, not a disk image.
    if (file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &size) || size.QuadPart >= 0x40000000) {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        char full[MAX_PATH] = "";
        DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, NULL);
        Fault(table, 0, "cannot read %s", length && length < sizeof full ? full : path.c_str());
        return;
    }
    table.read = true;
    // One byte more than is ever read, for the sentinel line end.
    std::vector<char> buffer(kChunkBytes + 1);
    size_t held = 0;
    int line = 0;
    Row row;
    for (;;) {
        if (held == buffer.size() - 1)
            buffer.resize((buffer.size() - 1) * 2 + 1);
        DWORD got = 0;
        if (!ReadFile(file, buffer.data() + held, (DWORD)(buffer.size() - 1 - held), &got, NULL)) {
            Fault(table, 0, "read error after line %d (error %lu); the rest is not read", line, GetLastError());
            break;
        }
        held += got;
        bool endOfFile = got == 0;
        char* from = buffer.data();
        char* limit = from + held;
        if (line == 0) {
            char* lineEnd = (char*)memchr(from, '\n', held);
            if (!lineEnd && !endOfFile)
                continue;
            if (!lineEnd)
                lineEnd = limit;
            if (lineEnd > from || lineEnd < limit) {
                line = 1;
                HandleFirstLine(table, from, lineEnd - from, row, each);
            }
            from = lineEnd < limit ? lineEnd + 1 : limit;
        }
        *limit = '\n';
        from = HandleLines(table, from, limit, endOfFile, line, row, each);
        if (endOfFile)
            break;
        held = limit - from;
        memmove(buffer.data(), from, held);
    }
    CloseHandle(file);
}

}  // namespace host

#endif
