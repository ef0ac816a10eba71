// CTreeView ("TreeView"): the framework's tree control.
//
//   ITreeView   the tree interface (twelve operations)
//   CTreeView   a common tree view with items reached by handle, a pre-order
//               walk, subtree copies, folder/leaf images, and a small indented
//               text format for saving a tree to a file and loading it back
//
// Images: 0 closed folder, 1 open folder, 2 leaf. Items the loader inserts are
// leaves; an item that gets children from the loader or a copy becomes a folder.
//
// Text format, one item a line, lines ending in CR LF:
//     <indent><user value> <text> \r\n      (the writer puts a space before CR LF)
//     <indent>{\r\n                          before the first child, at the parent's indent
//     <indent>}\r\n                          after the last child
// The indent is the indent character once per level.
#ifndef CWIN_TREEVIEW_H
#define CWIN_TREEVIEW_H

#include "cwin/window/BaseWindow.h"
#include "cwin/composite/TreeMirror.h"

enum TreeImage
{
    TREE_IMAGE_FOLDER = 0,
    TREE_IMAGE_OPEN_FOLDER = 1,
    TREE_IMAGE_LEAF = 2
};

class ITreeView : public virtual IWindow
{
public:
    // list: the address of the caller's image-list handle.
    virtual bool SetImageList(HIMAGELIST* list) = 0;
    // selectedImage -1: the same as image.
    virtual bool SetItemImages(HTREEITEM item, int image, int selectedImage) = 0;
    virtual HTREEITEM GetSelectedItem(int ignored = 0) = 0;
    // Into the control's text buffer: valid until the next text call.
    virtual const char* GetItemText(HTREEITEM item) = 0;
    virtual LPARAM GetItemParam(HTREEITEM item) = 0;
    // parent null: the top level; insertAfter null: last.
    virtual HTREEITEM InsertItem(HTREEITEM parent, HTREEITEM insertAfter, const char* text, int image,
                                 int selectedImage, LPARAM userValue) = 0;
    // False when the file cannot be opened or is empty.
    virtual bool LoadFromFile(HTREEITEM parent, const char* path) = 0;
    // text must be a block of the heap registry: exactly its size is read, and
    // any other pointer reads nothing. A '}' never climbs above parent: extra
    // ones leave the items that follow under it. False only for a null text.
    virtual bool ParseText(HTREEITEM parent, const char* text) = 0;
    // The 1-based positions among siblings from the top level down, joined by
    // dots ("2.1.3"), in the control's text buffer. item null: the selection.
    // Null when there is no item or the path does not fit the buffer.
    virtual const char* GetItemPath(HTREEITEM item) = 0;
    // start null: the whole tree. With a start item the walk begins at its first
    // child and goes on to the end of the tree (closing lines that climb above
    // where it began have no indent). False when the file cannot be created or
    // written.
    virtual bool SaveToFile(HTREEITEM start, const char* path, char indent) = 0;
    // Copies item and its descendants under newParent (null: the top level),
    // each appended last. Number of items copied, or -1: no item, newParent is
    // already its parent, or newParent lies in its subtree (told in a box).
    virtual int  CopySubtree(HTREEITEM item, HTREEITEM newParent) = 0;
    // item null: from the top. levelChange: +1 down to a first child, 0 to a
    // sibling, minus the levels climbed otherwise (also when the answer is null).
    // hasChildren: whether the answer has children. Both may be null.
    virtual HTREEITEM NextPreorder(HTREEITEM item, int* levelChange, bool* hasChildren) = 0;
};

class CTreeView : public CBaseWindow, public ITreeView, public INotifyHandler
{
public:
    static constexpr int Kind = KIND_TREEVIEW;
    CTreeView();

    // CBaseWindow
    bool Create() override;
    void ApplyColors() override;

    // Own virtual operation: asked for every item line the loader reads. An
    // answer of null lets the loader insert a leaf itself.
    virtual HTREEITEM OnItemParsed(HTREEITEM parent, int number, const char* name);

    // ITreeView
    bool SetImageList(HIMAGELIST* list) override;
    bool SetItemImages(HTREEITEM item, int image, int selectedImage) override;
    HTREEITEM GetSelectedItem(int ignored = 0) override;
    const char* GetItemText(HTREEITEM item) override;
    LPARAM GetItemParam(HTREEITEM item) override;
    HTREEITEM InsertItem(HTREEITEM parent, HTREEITEM insertAfter, const char* text, int image,
                         int selectedImage, LPARAM userValue) override;
    bool LoadFromFile(HTREEITEM parent, const char* path) override;
    bool ParseText(HTREEITEM parent, const char* text) override;
    const char* GetItemPath(HTREEITEM item) override;
    bool SaveToFile(HTREEITEM start, const char* path, char indent) override;
    int  CopySubtree(HTREEITEM item, HTREEITEM newParent) override;
    HTREEITEM NextPreorder(HTREEITEM item, int* levelChange, bool* hasChildren) override;

    // INotifyHandler: selection changes (unless quiet) and the expand images.
    bool HandleNotify(NMHDR* header, WPARAM wParam, LRESULT* result, bool* passOn) override;

    // Set by the owner while it fills the tree: no EV_SELECTION_CHANGED is raised.
    bool quiet;

private:
    // The control's messages pass here first: the mirror follows insertions,
    // deletions, new texts and values, and gives up on sorts and resets.
    static LRESULT CALLBACK MirrorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Follow(UINT message, WPARAM wParam, LPARAM lParam);
    void FollowInsert(HTREEITEM made, const TVINSERTSTRUCTA* insert, bool ansi);
    // True when the mirror holds the control's tree (built anew from the
    // control when it does not).
    bool MirrorInStep();
    bool RebuildMirror();
    // The text of a mirror node, read from the control when unknown.
    const char* MirrorText(int node, char* buffer);
    const char* ReadItem(HTREEITEM item, char* buffer, LPARAM* value);
    int  NextNode(int node, int* levelChange);
    HTREEITEM NextByMessages(HTREEITEM item, int* levelChange);
    bool WriteTree(HTREEITEM start, HFILE file, char indent);

    HTREEITEM Next(HTREEITEM item, UINT relation)
    {
        return (HTREEITEM)SendMessageA(hwnd, TVM_GETNEXTITEM, relation, (LPARAM)item);
    }
    bool IsInSubtree(HTREEITEM item, HTREEITEM top);
    HTREEITEM CopyItem(HTREEITEM source, HTREEITEM parent);
    // The two ways of loading: item by item (asking OnItemParsed), and level by level.
    class CItemByItem;
    bool InsertLevelByLevel(HTREEITEM parent, const unsigned char* text, SIZE_T size);

    CTreeMirror m_mirror;
    WNDPROC     m_previousProc;
    HTREEITEM   m_editItem;   // the item whose label is being edited, if any
};

#endif
