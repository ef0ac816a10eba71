// CImageLists: the frame's image lists and the icons made from them.
#include "cwin/window/ImageLists.h"
#include "cwin/window/WindowOwner.h"
#include "cwin/system/HeapRegistry.h"

#include <string.h>

CImageLists::CImageLists() : m_frame(NULL), m_cache(NULL), m_cacheSize(0)
{
    memset(m_lists, 0, sizeof(m_lists));
}

HINSTANCE CImageLists::Instance() const
{
    return m_frame && m_frame->GetInstance() ? m_frame->GetInstance() : GetModuleHandleA(NULL);
}

bool CImageLists::SetList(int list, HIMAGELIST handle)
{
    if (list < 0 || list >= CWIN_IMAGE_LISTS)
        return false;
    if (m_lists[list])
        ImageList_Destroy(m_lists[list]);
    m_lists[list] = handle;
    return true;
}

HIMAGELIST* CImageLists::LoadStrip(int list, int resourceId, UINT imageType, UINT flags, int width,
                                   int height, int count, COLORREF mask)
{
    if (list < 0 || list >= CWIN_IMAGE_LISTS)
        return 0;
    if (m_lists[list]) {
        ImageList_Destroy(m_lists[list]);
        m_lists[list] = NULL;
    }
    if (width == 0)
        width = GetSystemMetrics(SM_CXICON);
    if (height == 0)
        height = GetSystemMetrics(SM_CYICON);
    m_lists[list] = ImageList_Create(width, height, flags | (mask ? ILC_MASK : 0), count, count);
    if (!m_lists[list])
        return 0;
    HBITMAP strip = (HBITMAP)LoadImageA(Instance(), MAKEINTRESOURCEA(resourceId), imageType,
                                        count * width, height, LR_DEFAULTCOLOR);
    if (!strip)
        return 0;
    int added = ImageList_AddMasked(m_lists[list], strip, mask);
    BOOL deleted = DeleteObject(strip);
    return added >= 0 && deleted ? &m_lists[list] : 0;
}

bool CImageLists::DestroyList(int list)
{
    if (list < 0 || list >= CWIN_IMAGE_LISTS)
        return false;
    bool done = ImageList_Destroy(m_lists[list]) != FALSE;
    m_lists[list] = NULL;
    return done;
}

HIMAGELIST* CImageLists::LoadFromResource(int list, int resourceId, int width, int grow, COLORREF mask,
                                          UINT imageType, UINT loadFlags)
{
    if (list < 0 || list >= CWIN_IMAGE_LISTS)
        return NULL;
    if (m_lists[list])
        ImageList_Destroy(m_lists[list]);
    m_lists[list] = ImageList_LoadImageA(Instance(), MAKEINTRESOURCEA(resourceId), width, grow, mask,
                                         imageType, loadFlags);
    return m_lists[list] ? &m_lists[list] : NULL;
}

IconEntry* CImageLists::GetIcon(int list, int image, UINT flags, int key)
{
    if (list < 0 || list >= CWIN_IMAGE_LISTS || !m_lists[list] || image < 0 ||
        image >= ImageList_GetImageCount(m_lists[list]))
        return NULL;
    // A reference entry can sit below its owner (it takes the first free slot),
    // so the owner is found first and the key looked for afterwards.
    int owner = -1;
    for (int i = 0; i < m_cacheSize && owner < 0; ++i) {
        const IconEntry& e = m_cache[i];
        if (e.icon && e.list == list && e.image == image && e.flags == flags)
            owner = i;
    }
    for (int i = 0; owner >= 0 && i < m_cacheSize; ++i) {
        const IconEntry& e = m_cache[i];
        if (e.key == key && (i == owner || (!e.icon && e.owner == owner + 1)))
            return &m_cache[owner];
    }
    int slot = -1;
    for (int i = 0; i < m_cacheSize && slot < 0; ++i)
        if (IsFree(m_cache[i]))
            slot = i;
    if (slot < 0) {
        // Entries are referred to by index, so a moved cache stays valid.
        if (!g_heapRegistry.Alloc(&m_cache, (SIZE_T)(m_cacheSize + 256) * sizeof(IconEntry)))
            return NULL;
        slot = m_cacheSize;
        m_cacheSize += 256;
    }
    IconEntry& e = m_cache[slot];
    e.list = list;
    e.image = image;
    e.flags = flags;
    e.key = key;
    if (owner < 0) {
        e.icon = ImageList_GetIcon(m_lists[list], image, flags);
        e.owner = 0;
        if (!e.icon) {
            memset(&e, 0, sizeof(e));
            return NULL;
        }
        return &e;
    }
    e.icon = NULL;
    e.owner = owner + 1;
    return &m_cache[owner];
}

bool CImageLists::ReleaseIcons(int key)
{
    for (int i = 0; i < m_cacheSize; ++i) {
        IconEntry& e = m_cache[i];
        if (IsFree(e) || e.key != key)
            continue;
        if (e.icon) {
            // A shared icon outlives its first key while other keys still use it:
            // the first reference entry takes it over.
            int heir = -1;
            for (int j = 0; j < m_cacheSize; ++j)
                if (j != i && !m_cache[j].icon && m_cache[j].owner == i + 1) {
                    if (heir < 0) {
                        heir = j;
                        m_cache[j].icon = e.icon;
                        m_cache[j].owner = 0;
                    } else {
                        m_cache[j].owner = heir + 1;
                    }
                }
            if (heir < 0)
                DestroyIcon(e.icon);
        }
        memset(&e, 0, sizeof(e));
    }
    return true;
}

int CImageLists::IndexOf(HIMAGELIST* list)
{
    if (!list)
        return -1;
    for (int i = 0; i < CWIN_IMAGE_LISTS; ++i)
        if (m_lists[i] == *list)
            return i;
    return -1;
}

void CImageLists::DestroyAll()
{
    for (int i = 0; i < CWIN_IMAGE_LISTS; ++i)
        if (m_lists[i]) {
            ImageList_Destroy(m_lists[i]);
            m_lists[i] = NULL;
        }
    // A library's registry destroys its heap before the frame goes: the cache
    // is read only while it is still one of the registry's blocks (a
    // destroyed registry finds none, silently).
    if (m_cache && g_heapRegistry.Find(m_cache) >= 0) {
        for (int i = 0; i < m_cacheSize; ++i)
            if (m_cache[i].icon)
                DestroyIcon(m_cache[i].icon);
        g_heapRegistry.Free(&m_cache);
    }
    m_cache = NULL;
    m_cacheSize = 0;
}

int CImageLists::LiveIcons() const
{
    int n = 0;
    for (int i = 0; i < m_cacheSize; ++i)
        if (m_cache[i].icon)
            ++n;
    return n;
}

bool CImageLists::DrawAligned(HIMAGELIST* list, int image, HDC dc, int align, int x, int y, UINT drawStyle)
{
    if (!list || !*list)
        return false;
    int w = 0, h = 0;
    ImageList_GetIconSize(*list, &w, &h);
    int left = (align & ALIGN_LEFT_EDGE) ? x : (align & ALIGN_RIGHT_EDGE) ? x - w : x - w / 2;
    int top = (align & ALIGN_TOP_EDGE) ? y : (align & ALIGN_BOTTOM_EDGE) ? y - h : y - h / 2;
    return ImageList_Draw(*list, image, dc, left, top, drawStyle) != FALSE;
}
