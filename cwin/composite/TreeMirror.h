// CTreeMirror: a tree view's shape, user values and texts, kept beside the
// control and in step with it by the messages that change it.
//
// The common tree view checks every item handle it is given by searching all
// its items in the order they were made (Wine's does), so a walk through a
// large tree by messages costs the square of its size. The mirror answers the
// walk from links of its own and finds a handle by hashing. A text it cannot
// know (a wide or callback text, a label edit) is marked unknown and read from
// the control when it is needed. Anything it cannot follow (a sort, a failed
// allocation) makes it invalid; the owner then builds it anew from the control.
#ifndef CWIN_TREEMIRROR_H
#define CWIN_TREEMIRROR_H

#include <windows.h>
#include <commctrl.h>

class CTreeMirror
{
public:
    CTreeMirror();
    ~CTreeMirror();

    // Valid and empty: a new control, or every item deleted.
    void Reset();
    // Out of step with the control until the next Reset.
    void Invalidate() { m_valid = false; }
    bool IsValid() const { return m_valid; }
    int  Count() const { return m_count; }
    // Frees the memory; invalid until the next Reset.
    void Release();

    // After the control made item under parent (null: the top level), first
    // among its siblings or after the sibling 'after' (null: last). text null:
    // unknown (read when needed); fromOwner: the owner gives the text whenever
    // it is read, so it is never kept.
    void Inserted(HTREEITEM item, HTREEITEM parent, HTREEITEM after, bool first, const char* text, bool fromOwner,
                  LPARAM param);
    // After the control deleted item and its descendants.
    void Deleted(HTREEITEM item);
    // text null: unknown.
    void SetText(HTREEITEM item, const char* text, bool fromOwner);
    void SetParam(HTREEITEM item, LPARAM param);
    // Every text unknown.
    void ForgetTexts() { ++m_epoch; }

    // Nodes: 0 stands for the top level; items have 1 and up; -1 is none.
    int Find(HTREEITEM item) const;
    HTREEITEM Item(int node) const { return node > 0 ? m_nodes[node].item : NULL; }
    int Parent(int node) const { return m_nodes[node].parent; }
    int FirstChild(int node) const { return m_nodes[node].first; }
    int NextSibling(int node) const { return m_nodes[node].next; }
    LPARAM Param(int node) const { return m_nodes[node].param; }
    // Null when the text is unknown.
    const char* Text(int node) const;
    bool TextFromOwner(int node) const { return m_nodes[node].fromOwner; }
    // Keeps a text read from the control.
    void SetNodeText(int node, const char* text);

private:
    struct Node
    {
        HTREEITEM item;     // null: a free node
        int       parent;
        int       first;
        int       last;
        int       previous;
        int       next;     // the free list runs through it too
        LPARAM    param;
        SIZE_T    text;     // offset in the text store
        unsigned  epoch;    // the text is known while it equals the mirror's
        bool      fromOwner;
    };

    bool Grow();
    bool Rehash(int slots);
    int  Slot(HTREEITEM item) const;
    void Unhash(HTREEITEM item);
    bool StoreText(int node, const char* text);
    void Link(int node, int parent, int after, bool first);

    Node*    m_nodes;
    int      m_capacity;    // nodes, node 0 included
    int      m_used;        // nodes ever handed out, node 0 included
    int      m_free;        // first free node, -1: none
    int      m_count;       // items
    int*     m_slots;       // open addressing, node indices, -1 empty
    int      m_slotCount;   // a power of two
    char*    m_texts;       // zero-terminated texts one after the other
    SIZE_T   m_textSize;
    SIZE_T   m_textUsed;
    unsigned m_epoch;
    bool     m_valid;
};

#endif
