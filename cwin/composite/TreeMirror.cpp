// CTreeMirror: the tree view's shape, user values and texts kept beside the control.
#include "cwin/composite/TreeMirror.h"
#include "cwin/window/BaseWindow.h"
#include "cwin/system/HeapRegistry.h"

#include <string.h>

namespace {

inline unsigned int HashOf(HTREEITEM item)
{
    // Item handles are heap addresses: the low bits say little.
    unsigned long long bits = (unsigned long long)(ULONG_PTR)item;
    return (unsigned int)((bits >> 4) * 0x9E3779B97F4A7C15ull >> 32);
}

}  // namespace

CTreeMirror::CTreeMirror()
    : m_nodes(NULL), m_capacity(0), m_used(0), m_free(-1), m_count(0), m_slots(NULL), m_slotCount(0),
      m_texts(NULL), m_textSize(0), m_textUsed(0), m_epoch(1), m_valid(false)
{
}

CTreeMirror::~CTreeMirror()
{
    Release();
}

void CTreeMirror::Release()
{
    g_heapRegistry.Free(&m_nodes);
    g_heapRegistry.Free(&m_slots);
    g_heapRegistry.Free(&m_texts);
    m_capacity = m_used = m_count = m_slotCount = 0;
    m_free = -1;
    m_textSize = m_textUsed = 0;
    m_valid = false;
}

void CTreeMirror::Reset()
{
    m_valid = false;
    if (!m_nodes && !Grow())
        return;
    m_used = 1;
    m_free = -1;
    m_count = 0;
    memset(&m_nodes[0], 0, sizeof(Node));
    m_nodes[0].parent = m_nodes[0].first = m_nodes[0].last = -1;
    m_nodes[0].previous = m_nodes[0].next = -1;
    for (int i = 0; i < m_slotCount; ++i)
        m_slots[i] = -1;
    m_textUsed = 0;
    m_valid = true;
}

bool CTreeMirror::Grow()
{
    int capacity = m_capacity ? m_capacity + m_capacity / 2 : 256;
    if (capacity <= m_capacity || (SIZE_T)capacity > ((SIZE_T)-1) / (4 * sizeof(Node))
        || !g_heapRegistry.Alloc(&m_nodes, (SIZE_T)capacity * sizeof(Node)))
        return false;
    // Hash slots at most half full, or no more nodes.
    if (m_slotCount < 2 * capacity) {
        int slots = m_slotCount ? m_slotCount : 512;
        while (slots < 2 * capacity)
            slots *= 2;
        if (!Rehash(slots))
            return false;
    }
    m_capacity = capacity;
    return true;
}

bool CTreeMirror::Rehash(int slots)
{
    int* table = NULL;
    if (!g_heapRegistry.Alloc(&table, (SIZE_T)slots * sizeof(int)))
        return false;
    for (int i = 0; i < slots; ++i)
        table[i] = -1;
    g_heapRegistry.Free(&m_slots);
    m_slots = table;
    m_slotCount = slots;
    for (int node = 1; node < m_used; ++node) {
        if (!m_nodes[node].item)
            continue;
        unsigned int at = HashOf(m_nodes[node].item) & (unsigned int)(slots - 1);
        while (m_slots[at] >= 0)
            at = (at + 1) & (unsigned int)(slots - 1);
        m_slots[at] = node;
    }
    return true;
}

int CTreeMirror::Slot(HTREEITEM item) const
{
    if (!m_slotCount)
        return -1;
    unsigned int mask = (unsigned int)(m_slotCount - 1);
    for (unsigned int at = HashOf(item) & mask;; at = (at + 1) & mask) {
        int node = m_slots[at];
        if (node < 0)
            return -1;
        if (m_nodes[node].item == item)
            return (int)at;
    }
}

int CTreeMirror::Find(HTREEITEM item) const
{
    if (!m_valid || !item || item == TVI_ROOT)
        return -1;
    int slot = Slot(item);
    return slot < 0 ? -1 : m_slots[slot];
}

// Linear probing: the entries after the hole that would no longer be found move back.
void CTreeMirror::Unhash(HTREEITEM item)
{
    int slot = Slot(item);
    if (slot < 0)
        return;
    unsigned int mask = (unsigned int)(m_slotCount - 1);
    unsigned int hole = (unsigned int)slot;
    m_slots[hole] = -1;
    for (unsigned int at = (hole + 1) & mask; m_slots[at] >= 0; at = (at + 1) & mask) {
        unsigned int home = HashOf(m_nodes[m_slots[at]].item) & mask;
        // The entry stays unless its home lies cyclically in (hole, at].
        bool stays = hole <= at ? (home > hole && home <= at) : (home > hole || home <= at);
        if (stays)
            continue;
        m_slots[hole] = m_slots[at];
        m_slots[at] = -1;
        hole = at;
    }
}

void CTreeMirror::Link(int node, int parent, int after, bool first)
{
    Node& n = m_nodes[node];
    Node& p = m_nodes[parent];
    n.parent = parent;
    if (first || (after < 0 && p.first < 0)) {
        n.previous = -1;
        n.next = p.first;
    } else {
        if (after < 0)
            after = p.last;
        n.previous = after;
        n.next = m_nodes[after].next;
    }
    if (n.previous >= 0)
        m_nodes[n.previous].next = node;
    else
        p.first = node;
    if (n.next >= 0)
        m_nodes[n.next].previous = node;
    else
        p.last = node;
}

void CTreeMirror::Inserted(HTREEITEM item, HTREEITEM parent, HTREEITEM after, bool first, const char* text,
                           bool fromOwner, LPARAM param)
{
    if (!m_valid || !item)
        return;
    int parentNode = parent && parent != TVI_ROOT ? Find(parent) : 0;
    int afterNode = after ? Find(after) : -1;
    if (parentNode < 0 || (after && (afterNode < 0 || m_nodes[afterNode].parent != parentNode))
        || Find(item) >= 0) {
        m_valid = false;
        return;
    }
    int node = m_free;
    if (node >= 0) {
        m_free = m_nodes[node].next;
    } else {
        if (m_used == m_capacity && !Grow()) {
            m_valid = false;
            return;
        }
        node = m_used++;
    }
    Node& n = m_nodes[node];
    memset(&n, 0, sizeof(n));
    n.item = item;
    n.first = n.last = -1;
    n.param = param;
    n.fromOwner = fromOwner;
    if (fromOwner)
        text = NULL;
    Link(node, parentNode, afterNode, first);
    unsigned int mask = (unsigned int)(m_slotCount - 1);
    unsigned int at = HashOf(item) & mask;
    while (m_slots[at] >= 0)
        at = (at + 1) & mask;
    m_slots[at] = node;
    ++m_count;
    if (!StoreText(node, text))
        m_valid = false;
}

void CTreeMirror::Deleted(HTREEITEM item)
{
    int top = Find(item);
    if (top < 0) {
        m_valid = false;
        return;
    }
    Node& t = m_nodes[top];
    if (t.previous >= 0)
        m_nodes[t.previous].next = t.next;
    else
        m_nodes[t.parent].first = t.next;
    if (t.next >= 0)
        m_nodes[t.next].previous = t.previous;
    else
        m_nodes[t.parent].last = t.previous;
    // Down to a leaf, free it, go on with its next sibling or free the parent
    // whose children are now all gone; the links are read before a node is freed.
    int at = top;
    for (;;) {
        while (m_nodes[at].first >= 0)
            at = m_nodes[at].first;
        for (;;) {
            Node& n = m_nodes[at];
            int parent = n.parent, sibling = n.next;
            Unhash(n.item);
            n.item = NULL;
            n.next = m_free;
            m_free = at;
            --m_count;
            if (at == top)
                return;
            if (sibling >= 0) {
                at = sibling;
                break;
            }
            at = parent;
            m_nodes[at].first = -1;
        }
    }
}

const char* CTreeMirror::Text(int node) const
{
    if (node <= 0 || m_nodes[node].epoch != m_epoch)
        return NULL;
    return m_texts + m_nodes[node].text;
}

void CTreeMirror::SetText(HTREEITEM item, const char* text, bool fromOwner)
{
    int node = Find(item);
    if (node <= 0)
        return;
    m_nodes[node].fromOwner = fromOwner;
    SetNodeText(node, fromOwner ? NULL : text);
}

void CTreeMirror::SetNodeText(int node, const char* text)
{
    if (!m_valid || node <= 0)
        return;
    if (!StoreText(node, text))
        m_valid = false;
}

void CTreeMirror::SetParam(HTREEITEM item, LPARAM param)
{
    int node = Find(item);
    if (node > 0)
        m_nodes[node].param = param;
}

// Texts are cut as a read through the control's text buffer cuts them.
bool CTreeMirror::StoreText(int node, const char* text)
{
    Node& n = m_nodes[node];
    n.epoch = m_epoch - 1;   // unknown
    if (!text)
        return true;
    size_t length = strnlen(text, CWIN_TEXT_SIZE - 1);
    if (m_textUsed + length + 1 > m_textSize) {
        // Replaced, deleted and forgotten texts stay behind; when the live ones
        // fill less than half the store, they are copied into a new one.
        SIZE_T live = 0;
        for (int i = 1; i < m_used; ++i)
            if (m_nodes[i].item && m_nodes[i].epoch == m_epoch)
                live += strlen(m_texts + m_nodes[i].text) + 1;
        bool compact = live < m_textUsed / 2;
        SIZE_T size = m_textSize ? m_textSize : 65536;
        while (size < 2 * ((compact ? live : m_textUsed) + length + 1))
            size *= 2;
        if (compact) {
            char* fresh = NULL;
            if (!g_heapRegistry.Alloc(&fresh, size))
                return false;
            SIZE_T used = 0;
            for (int i = 1; i < m_used; ++i) {
                Node& other = m_nodes[i];
                if (!other.item || other.epoch != m_epoch)
                    continue;
                size_t otherLength = strlen(m_texts + other.text) + 1;
                memcpy(fresh + used, m_texts + other.text, otherLength);
                other.text = used;
                used += otherLength;
            }
            g_heapRegistry.Free(&m_texts);
            m_texts = fresh;
            m_textUsed = used;
        } else if (!g_heapRegistry.Alloc(&m_texts, size)) {
            return false;
        }
        m_textSize = size;
    }
    memcpy(m_texts + m_textUsed, text, length);
    m_texts[m_textUsed + length] = 0;
    n.text = m_textUsed;
    n.epoch = m_epoch;
    m_textUsed += length + 1;
    return true;
}
