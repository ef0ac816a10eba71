// bench_tree: the tree view's text format with a large tree. A four-level tree
// of 100,000 items (10 top-level folders, 10 and 10 below each, leaves under
// the third level) is saved with TAB indentation and loaded back into a second,
// empty tree. Prints the seconds of the save and of the load, the file size
// and the number of items read back; then the same load into a derived tree,
// which is read item by item (OnItemParsed asked for each line).
// Usage: bench_tree [items] [file]
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>
#include <stdlib.h>

#include "cwin/frame/AppFrame.h"
#include "BenchHost.h"
#include "cwin/system/HeapRegistry.h"
#include "cwin/composite/TreeView.h"
#include "BenchClock.h"

static CWIN_HEAP_INFO g_entries[CWIN_HEAP_INFO_NUM_PLUGIN];
CHeapRegistry g_heapRegistry(g_entries, CWIN_HEAP_INFO_NUM_PLUGIN);
static CAppFrame g_frame;

// A tree class of its own, so that the loader asks it about every line.
class CDerivedTree : public CTreeView
{
};

static CTreeView* MakeTree(HWND host, int left)
{
    return g_frame.Create<CTreeView>(ControlArgs().Parent(host).Place(left, 10, left + 260, 650)
                                         .Style(WS_VISIBLE | WS_BORDER | TVS_HASLINES | TVS_HASBUTTONS |
                                                TVS_LINESATROOT));
}

// Three levels of folders, 10 wide each; the leaves share the rest of the count.
static int Fill(CTreeView* tree, int items)
{
    const int width = 10, folders = width + width * width + width * width * width;
    int leaves = items > folders ? items - folders : 0;
    int made = 0, value = 1;
    char text[64];
    for (int i = 0; i < width; ++i) {
        snprintf(text, sizeof(text), "Группа %d", i + 1);
        HTREEITEM top = tree->InsertItem(NULL, NULL, text, 0, 0, value++);
        ++made;
        for (int j = 0; j < width; ++j) {
            snprintf(text, sizeof(text), "Подгруппа %d.%d", i + 1, j + 1);
            HTREEITEM middle = tree->InsertItem(top, NULL, text, 0, 0, value++);
            ++made;
            for (int k = 0; k < width; ++k) {
                snprintf(text, sizeof(text), "Раздел %d.%d.%d", i + 1, j + 1, k + 1);
                HTREEITEM low = tree->InsertItem(middle, NULL, text, 0, 0, value++);
                ++made;
                int folder = (i * width + j) * width + k;
                int share = leaves / (width * width * width) + (folder < leaves % (width * width * width) ? 1 : 0);
                for (int n = 0; n < share; ++n) {
                    snprintf(text, sizeof(text), "Товар номер %d", value);
                    tree->InsertItem(low, NULL, text, 2, 2, value++);
                    ++made;
                }
            }
        }
    }
    return made;
}

int main(int argc, char** argv)
{
    int items = argc > 1 ? atoi(argv[1]) : 100000;
    const char* path = argc > 2 ? argv[2] : "bench_tree.txt";
    HWND host = OpenBenchHost(g_frame, "BenchTreeHost", 820, 700);

    CTreeView* source = MakeTree(host, 10);
    CTreeView* target = MakeTree(host, 280);
    ControlMaker plain = CControlFactory::GetControlMaker(KIND_TREEVIEW);
    CControlFactory::SetControlMaker(KIND_TREEVIEW, MakeControlOf<CDerivedTree>);
    CTreeView* derived = MakeTree(host, 550);
    CControlFactory::SetControlMaker(KIND_TREEVIEW, plain);
    if (!source || !target || !derived) {
        printf("no tree view\n");
        return 1;
    }
    double t0 = Now();
    int made = Fill(source, items);
    double t1 = Now();
    printf("tree built:  %d items in %.3f s\n", made, t1 - t0);

    if (!source->SaveToFile(NULL, path, '\t')) {
        printf("save failed\n");
        return 1;
    }
    double t2 = Now();
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    unsigned long long bytes = 0;
    if (GetFileAttributesExA(path, GetFileExInfoStandard, &attributes))
        bytes = ((unsigned long long)attributes.nFileSizeHigh << 32) | attributes.nFileSizeLow;

    if (!target->LoadFromFile(NULL, path)) {
        printf("load failed\n");
        return 1;
    }
    double t3 = Now();
    UpdateWindow(target->GetHandle());
    int readBack = (int)SendMessageA(target->GetHandle(), TVM_GETCOUNT, 0, 0);

    printf("save:        %.3f s\n", t2 - t1);
    printf("file:        %llu bytes\n", bytes);
    printf("load:        %.3f s\n", t3 - t2);
    printf("read back:   %d items (%s)\n", readBack, readBack == made ? "all" : "MISSING");
    printf("round trip:  %.3f s\n", t3 - t1);

    double t4 = Now();
    bool loaded = derived->LoadFromFile(NULL, path);
    double t5 = Now();
    int readByItem = (int)SendMessageA(derived->GetHandle(), TVM_GETCOUNT, 0, 0);
    printf("load item by item (derived tree): %.3f s, %d items%s\n", t5 - t4, readByItem,
           loaded && readByItem == made ? "" : " MISSING");
    DeleteFileA(path);
    return readBack == made && readByItem == made ? 0 : 1;
}
