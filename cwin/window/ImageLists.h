// CImageLists: the frame's registry of up to 32 image lists and of the icons
// made from their images, shared by every control that shows the same image.
#ifndef CWIN_IMAGELISTS_H
#define CWIN_IMAGELISTS_H

#include <windows.h>
#include <commctrl.h>

#define CWIN_IMAGE_LISTS 32

class IWindowResources;

// One icon per (list, image, flags): the owner entry holds it; every other key
// that asked for it has a reference entry naming the owner.
struct IconEntry
{
    HICON icon;     // owner entries only
    int   owner;    // reference entries: index of the owner entry plus one (0: none),
                    // so that a reference to entry 0 does not look like a free entry
    int   list;
    int   image;
    UINT  flags;
    int   key;
};

// DrawAligned flags: the point is the image's left / top / right / bottom edge.
enum
{
    ALIGN_LEFT_EDGE   = 0x10000,
    ALIGN_TOP_EDGE    = 0x20000,
    ALIGN_RIGHT_EDGE  = 0x40000,
    ALIGN_BOTTOM_EDGE = 0x80000
};

class CImageLists
{
public:
    CImageLists();

    virtual HIMAGELIST* LoadStrip(int list, int resourceId, UINT imageType, UINT flags, int width,
                                  int height, int count, COLORREF mask);
    virtual bool DestroyList(int list);
    virtual HIMAGELIST* LoadFromResource(int list, int resourceId, int width, int grow, COLORREF mask,
                                         UINT imageType, UINT loadFlags);
    virtual IconEntry* GetIcon(int list, int image, UINT flags, int key);
    virtual bool ReleaseIcons(int key);
    virtual int  IndexOf(HIMAGELIST* list);

    bool DrawAligned(HIMAGELIST* list, int image, HDC dc, int align, int x, int y, UINT drawStyle);

    void SetOwner(IWindowResources* owner) { m_frame = owner; }
    HIMAGELIST GetList(int list) const { return list >= 0 && list < CWIN_IMAGE_LISTS ? m_lists[list] : NULL; }
    // Puts a list made elsewhere into a number (the registry destroys it later).
    bool SetList(int list, HIMAGELIST handle);
    int  LiveIcons() const;
    // Every list and every icon of the cache destroyed, as when the frame
    // goes with no window of its own left to show them.
    void DestroyAll();

private:
    HINSTANCE Instance() const;
    static bool IsFree(const IconEntry& e) { return !e.icon && !e.owner; }

    HIMAGELIST m_lists[CWIN_IMAGE_LISTS];
    IWindowResources* m_frame;
    IconEntry* m_cache;
    int        m_cacheSize;
};

#endif
