// Finding a list view by the number of its columns.
#include "WindowLookup.h"

#include <commctrl.h>

namespace {

struct ListSearch
{
    int columns;
    HWND found;
};

BOOL CALLBACK FindList(HWND window, LPARAM param)
{
    ListSearch* search = reinterpret_cast<ListSearch*>(param);
    char cls[64];
    GetClassNameA(window, cls, sizeof(cls));
    if (lstrcmpiA(cls, WC_LISTVIEWA) != 0)
        return TRUE;
    HWND header = (HWND)SendMessageA(window, LVM_GETHEADER, 0, 0);
    if ((int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) == search->columns) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindListWithColumns(HWND parent, int columns)
{
    ListSearch search = {columns, NULL};
    EnumChildWindows(parent, FindList, (LPARAM)&search);
    return search.found;
}
