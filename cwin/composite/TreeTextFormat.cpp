// CTreeView's text file format: loading a tree from its indented text (item by
// item for derived trees, level by level for the plain one) and saving it back.
#include "cwin/composite/TreeView.h"
#include "cwin/system/HeapRegistry.h"

#include <stdio.h>
#include <string.h>

#include <typeinfo>

namespace {

// Collects the lines of a saved tree and hands them to _lwrite in big pieces:
// one call per line costs a system call each, far too slow for large trees.
class CTreeFileWriter
{
public:
    explicit CTreeFileWriter(HFILE file) : m_file(file), m_used(0), m_failed(false) {}

    void Put(const char* bytes, size_t count)
    {
        while (count > 0) {
            if (m_used == sizeof(m_buffer))
                Flush();
            size_t part = sizeof(m_buffer) - m_used;
            if (part > count)
                part = count;
            memcpy(m_buffer + m_used, bytes, part);
            m_used += part;
            bytes += part;
            count -= part;
        }
    }
    void Put(const char* text) { Put(text, strlen(text)); }
    void Repeat(char c, int times)
    {
        for (int i = 0; i < times; ++i)
            Put(&c, 1);
    }
    void Flush()
    {
        if (m_used && _lwrite(m_file, m_buffer, (UINT)m_used) != (UINT)m_used)
            m_failed = true;
        m_used = 0;
    }
    bool Failed() const { return m_failed; }

private:
    HFILE  m_file;
    char   m_buffer[16384];
    size_t m_used;
    bool   m_failed;
};

// Bytes up to and including the space, and the braces, separate the runs of a line.
inline bool IsDelimiter(unsigned char c)
{
    return c <= ' ' || c == '{' || c == '}';
}

// Reads a tree text and tells the sink about each item line and brace. Runs of
// a line: the first is the number (every byte taken as a digit, value * 10 +
// byte - '0', after an optional '-': the writer prints negative values with
// their sign), the next the name, which goes on over spaces up to the next other
// delimiter and is cut at 1023 bytes. A line end drops a number that got no
// name. Exactly size bytes are read.
template <class Sink> void ScanTreeText(const unsigned char* text, SIZE_T size, Sink& sink)
{
    enum { ExpectNumber, InNumber, ExpectName, InName } state = ExpectNumber;
    unsigned int number = 0;   // unsigned: the digits of a garbled line may overflow
    bool negative = false;
    SIZE_T nameStart = 0;

    for (SIZE_T i = 0; i <= size; ++i) {
        // One step past the block: its end ends a name that runs to the last byte.
        unsigned char c = i < size ? text[i] : 0;
        if (state == InName) {
            if (i < size && (c == ' ' || !IsDelimiter(c)))
                continue;
            SIZE_T length = i - nameStart;
            if (length > CWIN_TEXT_SIZE - 1)
                length = CWIN_TEXT_SIZE - 1;
            sink.Item(negative ? (int)(0u - number) : (int)number, text + nameStart, (size_t)length);
            state = ExpectNumber;
        }
        if (i == size)
            break;
        if (!IsDelimiter(c)) {
            if (state == ExpectNumber) {
                negative = c == '-';
                number = negative ? 0u : (unsigned int)(c - '0');
                state = InNumber;
            } else if (state == InNumber) {
                number = number * 10u + (unsigned int)(c - '0');
            } else {
                nameStart = i;
                state = InName;
            }
            continue;
        }
        if (state == InNumber)
            state = ExpectName;
        if (c == '\r' || c == '\n')
            state = ExpectNumber;
        if (c == '{')
            sink.Open();
        else if (c == '}')
            sink.Close();
    }
}

}  // namespace

bool CTreeView::LoadFromFile(HTREEITEM parent, const char* path)
{
    if (!hwnd || !path)
        return false;
    HFILE file = _lopen(path, OF_READ);
    if (file == HFILE_ERROR)
        return false;
    LONG size = _llseek(file, 0, FILE_END);
    if (size <= 0 || _llseek(file, 0, FILE_BEGIN) != 0) {
        _lclose(file);
        return false;
    }
    char* block = NULL;
    // Three bytes beyond the file: the block ends in zeros, which end the last line.
    if (!g_heapRegistry.Alloc(&block, (SIZE_T)size + 3)) {
        _lclose(file);
        return false;
    }
    UINT read = _lread(file, block, (UINT)size);
    _lclose(file);
    bool loaded = false;
    if (read != (UINT)HFILE_ERROR) {
        block[read] = 0;
        loaded = ParseText(parent, block);
    }
    g_heapRegistry.Free(&block);
    return loaded;
}

// The tree text read item by item: OnItemParsed is asked, the loader inserts
// what it leaves to it. '}' climbs one level, never above the load's parent.
class CTreeView::CItemByItem
{
public:
    CItemByItem(CTreeView* tree, HTREEITEM parent) : m_tree(tree), m_parent(parent), m_current(parent), m_last(NULL) {}

    void Item(int value, const unsigned char* name, size_t length)
    {
        char copy[CWIN_TEXT_SIZE];
        memcpy(copy, name, length);
        copy[length] = 0;
        m_last = m_tree->OnItemParsed(m_current, value, copy);
        if (!m_last)
            m_last = m_tree->InsertItem(m_current, TVI_LAST, copy, TREE_IMAGE_LEAF, TREE_IMAGE_LEAF, (LPARAM)value);
    }
    void Open()
    {
        if (!m_last)
            return;
        m_tree->SetItemImages(m_last, TREE_IMAGE_FOLDER, TREE_IMAGE_FOLDER);
        m_current = m_last;
    }
    void Close()
    {
        if (m_current && m_current != m_parent)
            m_current = m_tree->Next(m_current, TVGN_PARENT);
    }

private:
    CTreeView* m_tree;
    HTREEITEM  m_parent;
    HTREEITEM  m_current;
    HTREEITEM  m_last;
};

bool CTreeView::ParseText(HTREEITEM parent, const char* source)
{
    if (!source)
        return false;
    if (!hwnd)
        return true;
    // The registry knows how long the block is; anything else is not read at all.
    SIZE_T size = g_heapRegistry.Size(source);
    if (size == 0)
        return true;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(source);
    // The control shows the result once at the end, not after every item.
    bool visible = IsWindowVisible(hwnd) != FALSE;
    if (visible)
        SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
    // A derived tree may answer OnItemParsed itself and must be asked item by
    // item, in the order of the text; the plain tree inserts level by level.
    if (typeid(*this) != typeid(CTreeView) || !InsertLevelByLevel(parent, bytes, size)) {
        CItemByItem sink(this, parent);
        ScanTreeText(bytes, size, sink);
    }
    if (visible) {
        SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(hwnd, NULL, TRUE);
    }
    return true;
}

namespace {

// One item of the text, found by the first reading. parent: the index of the
// parent's line, -1 for the load's parent.
struct ParsedLine
{
    int       parent;
    int       depth;
    int       value;
    int       nameLength;
    SIZE_T    nameOffset;
    HTREEITEM item;
    bool      folder;
};

// The lines of the text in a registry block that grows as they come; the same
// '{' and '}' rules as item by item, on line indices.
class CLineCollector
{
public:
    explicit CLineCollector(const unsigned char* text)
        : lines(NULL), count(0), capacity(0), failed(false), m_text(text), m_current(-1), m_last(-1)
    {
    }
    ~CLineCollector() { g_heapRegistry.Free(&lines); }

    void Item(int value, const unsigned char* name, size_t length)
    {
        if (failed)
            return;
        if (count == capacity) {
            int grown = capacity ? capacity * 2 : 1024;
            if (grown <= capacity || !g_heapRegistry.Alloc(&lines, (SIZE_T)grown * sizeof(ParsedLine))) {
                failed = true;
                return;
            }
            capacity = grown;
        }
        ParsedLine& line = lines[count];
        line.parent = m_current;
        line.depth = m_current < 0 ? 0 : lines[m_current].depth + 1;
        line.value = value;
        line.nameLength = (int)length;
        line.nameOffset = (SIZE_T)(name - m_text);
        line.item = NULL;
        line.folder = false;
        m_last = count++;
    }
    void Open()
    {
        if (failed || m_last < 0)
            return;
        lines[m_last].folder = true;
        m_current = m_last;
    }
    void Close()
    {
        if (!failed && m_current >= 0)
            m_current = lines[m_current].parent;
    }

    ParsedLine* lines;
    int  count;
    int  capacity;
    bool failed;

private:
    const unsigned char* m_text;
    int m_current;
    int m_last;
};

}  // namespace

// The common tree view checks every item handle it is given by searching all
// its items in the order they were made (Wine's does), so a message about an
// item made late costs as much as the tree is large. Inserting parents before
// all deeper items keeps the parents of most items among the first made: the
// text is read once into lines, then inserted one depth after the other, each
// depth in the order of the text. The result is the tree the item-by-item
// reading makes; false when the memory for the lines cannot be had.
bool CTreeView::InsertLevelByLevel(HTREEITEM parent, const unsigned char* source, SIZE_T size)
{
    CLineCollector collector(source);
    ScanTreeText(source, size, collector);
    if (collector.failed)
        return false;
    int count = collector.count;
    ParsedLine* lines = collector.lines;
    // Counting sort of the line indices by depth (stable: siblings keep their order).
    int* order = NULL;
    if (count && !g_heapRegistry.Alloc(&order, (SIZE_T)(2 * count + 1) * sizeof(int)))
        return false;
    int* starts = order + count;   // count + 1 entries: depths run from 0 to count - 1
    for (int i = 0; i < count; ++i)
        ++starts[lines[i].depth + 1];
    for (int d = 1; d <= count; ++d)
        starts[d] += starts[d - 1];
    for (int i = 0; i < count; ++i)
        order[starts[lines[i].depth]++] = i;

    char name[CWIN_TEXT_SIZE];
    for (int k = 0; k < count; ++k) {
        ParsedLine& line = lines[order[k]];
        HTREEITEM under = parent;
        if (line.parent >= 0) {
            under = lines[line.parent].item;
            if (!under)
                continue;   // the parent could not be inserted: neither can its subtree
        }
        memcpy(name, source + line.nameOffset, (size_t)line.nameLength);
        name[line.nameLength] = 0;
        int image = line.folder ? TREE_IMAGE_FOLDER : TREE_IMAGE_LEAF;
        line.item = InsertItem(under, TVI_LAST, name, image, image, (LPARAM)line.value);
    }
    g_heapRegistry.Free(&order);
    return true;
}

bool CTreeView::SaveToFile(HTREEITEM start, const char* path, char indent)
{
    if (!hwnd || !path)
        return false;
    HFILE file = _lcreat(path, 0);
    if (file == HFILE_ERROR)
        return false;
    CTreeFileWriter out(file);
    int depth = 0;                 // the indentation, in indent characters
    bool previous = start != NULL;
    char itemText[CWIN_TEXT_SIZE];
    char number[16];
    // The walk goes through the mirror when it knows the start; otherwise
    // (an item the control does not have) through the control's messages.
    int node = !MirrorInStep() ? -1 : start ? m_mirror.Find(start) : 0;
    bool byMirror = node >= 0;
    HTREEITEM at = start;
    for (;;) {
        int change = 0;
        bool more;
        if (byMirror) {
            node = NextNode(node, &change);
            more = node > 0;
        } else {
            at = NextByMessages(at, &change);
            more = at != NULL;
        }
        if (change > 0 && previous) {
            out.Repeat(indent, depth);
            out.Put("{\r\n", 3);
            ++depth;
        }
        for (int i = change; i < 0; ++i) {
            // A walk from a start item below the top climbs above where it began.
            if (depth > 0)
                --depth;
            out.Repeat(indent, depth);
            out.Put("}\r\n", 3);
        }
        if (!more)
            break;
        const char* name;
        LPARAM value;
        if (byMirror) {
            name = MirrorText(node, itemText);
            value = m_mirror.Param(node);
        } else {
            name = ReadItem(at, itemText, &value);
        }
        int length = snprintf(number, sizeof(number), "%d ", (int)value);
        out.Repeat(indent, depth);
        out.Put(number, (size_t)length);
        out.Put(name);
        out.Put(" \r\n", 3);
        previous = true;
    }
    out.Flush();
    _lclose(file);
    return !out.Failed();
}
