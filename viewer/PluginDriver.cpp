// The user's clicks on the plug-in's window, given as the messages a user's
// input gives, and pictures of the window.
#include "PluginDriver.h"

#include "cwin/composite/ListViewCommands.h"

#include <commctrl.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace host {
namespace {

// The dynamics page of the plug-in: supplier box and "build" button.
const int kSupplierBoxId  = 1011;
const int kBuildButtonId  = 1024;

struct FoundWindows
{
    std::vector<HWND> all;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM found)
{
    reinterpret_cast<FoundWindows*>(found)->all.push_back(window);
    return TRUE;
}

std::string ClassOf(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The first descendant of the host window of the given class (and dialog item
// id, when not -1) that also passes the style test (and is shown, if asked).
HWND FindDescendant(const char* className, int itemId = -1, LONG_PTR styleMask = 0, bool visible = false)
{
    if (!g_host)
        return NULL;
    FoundWindows found;
    EnumChildWindows(g_host, CollectWindow, (LPARAM)&found);
    for (HWND window : found.all) {
        if (lstrcmpiA(ClassOf(window).c_str(), className) != 0)
            continue;
        if (itemId != -1 && GetDlgCtrlID(window) != itemId)
            continue;
        if (styleMask && (GetWindowLongPtrA(window, GWL_STYLE) & styleMask) != styleMask)
            continue;
        if (visible && !IsWindowVisible(window))
            continue;
        return window;
    }
    return NULL;
}

}  // namespace

HWND DynamicsList() { return FindDescendant(WC_LISTVIEWA, -1, LVS_SINGLESEL | LVS_OWNERDATA); }

void Repaint()
{
    if (!g_host)
        return;
    RedrawWindow(g_host, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
}

void FinishPainting()
{
    if (!g_host)
        return;
    RedrawWindow(g_host, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
}

void Invalidate()
{
    if (g_host)
        RedrawWindow(g_host, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

bool SelectTab(int index)
{
    HWND tab = FindDescendant(WC_TABCONTROLA);
    if (!tab) {
        Say("no tab control in the window");
        return false;
    }
    int count = (int)SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0);
    if (index < 0 || index >= count) {
        Say("no tab %d: the tab control has %d tabs", index, count);
        return false;
    }
    // A click on the tab, as a user gives it: the control then tells its
    // parent TCN_SELCHANGING and TCN_SELCHANGE (TCM_SETCURSEL tells nobody).
    RECT rect;
    if (SendMessageA(tab, TCM_GETCURSEL, 0, 0) != index &&
        SendMessageA(tab, TCM_GETITEMRECT, index, (LPARAM)&rect)) {
        LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        SendMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageA(tab, WM_LBUTTONUP, 0, point);
    }
    Pump(0);
    FinishPainting();
    if (SendMessageA(tab, TCM_GETCURSEL, 0, 0) != index) {
        Say("tab %d could not be selected", index);
        return false;
    }
    char text[256] = "";
    TCITEMA item;
    memset(&item, 0, sizeof item);
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tab, TCM_GETITEMA, index, (LPARAM)&item);
    Say("tab %d: %s", index, text);
    return true;
}

// The supplier with the most goods in its dynamics: the most distinct known
// goods delivered with a non-zero quantity; the first such in storage order.
static int MostGoodsSupplier(const Fed& fed, int boxCount)
{
    std::vector<uint64_t> pairs(fed.receipts);
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    std::unordered_map<int32_t, size_t> goodsOf;
    for (uint64_t pair : pairs)
        ++goodsOf[(int32_t)(uint32_t)(pair >> 32)];
    int best = -1;
    size_t bestCount = 0;
    for (size_t k = 0; k < fed.addedSuppliers.size(); ++k) {
        auto goods = goodsOf.find(fed.addedSuppliers[k]);
        size_t count = goods == goodsOf.end() ? 0 : goods->second;
        if (best < 0 || count > bestCount) {
            best = (int)k;
            bestCount = count;
        }
    }
    if (best < 0)
        return -1;
    // Suppliers loaded from the list file come before the ones added here.
    int loaded = boxCount - (int)fed.addedSuppliers.size();
    return loaded < 0 ? -1 : loaded + best;
}

bool PickSupplier(const Fed& fed, const std::string& which)
{
    HWND box = FindDescendant(WC_COMBOBOXA, kSupplierBoxId);
    if (!box) {
        Say("no supplier box (item %d) in the window", kSupplierBoxId);
        return false;
    }
    int count = (int)SendMessageA(box, CB_GETCOUNT, 0, 0);
    int index = -1;
    if (which == "most") {
        index = MostGoodsSupplier(fed, count);
        if (index < 0) {
            Say("no supplier was added, so none has the most goods");
            return false;
        }
    } else if (!ParseCount(which.c_str(), index)) {
        Say("-supplier takes a number or \"most\", not \"%s\"", which.c_str());
        return false;
    }
    if (index >= count) {
        Say("no supplier %d: the box holds %d", index, count);
        return false;
    }
    SendMessageA(box, CB_SETCURSEL, index, 0);
    // As the box itself would tell its dialog after a choice.
    SendMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(kSupplierBoxId, CBN_SELCHANGE), (LPARAM)box);
    Pump(0);
    std::string name(1024, '\0');
    LRESULT length = SendMessageA(box, CB_GETLBTEXTLEN, index, 0);
    if (length >= 0 && length < (LRESULT)name.size())
        SendMessageA(box, CB_GETLBTEXT, index, (LPARAM)&name[0]);
    Say("supplier %d: %s", index, name.c_str());
    return true;
}

bool PressBuild()
{
    HWND button = FindDescendant(WC_BUTTONA, kBuildButtonId);
    if (!button) {
        Say("no button (item %d) in the window", kBuildButtonId);
        return false;
    }
    SendMessageA(button, BM_CLICK, 0, 0);
    Pump(0);
    FinishPainting();
    HWND list = DynamicsList();
    int rows = list ? (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) : 0;
    Say("dynamics built: %d goods rows", rows);
    return true;
}

static bool ReportTime(FILETIME& time)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(kReportName, GetFileExInfoStandard, &data))
        return false;
    time = data.ftLastWriteTime;
    return true;
}

bool DoubleClickRow(int row)
{
    HWND list = DynamicsList();
    if (!list) {
        Say("no dynamics list in the window");
        return false;
    }
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (row < 0 || row >= count) {
        Say("no row %d: the dynamics list has %d rows", row, count);
        return false;
    }
    SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
    Pump(0);
    RECT rect;
    rect.left = LVIR_BOUNDS;
    if (!SendMessageA(list, LVM_GETITEMRECT, row, (LPARAM)&rect)) {
        Say("row %d has no rectangle on screen", row);
        return false;
    }
    RECT client;
    GetClientRect(list, &client);
    int x = rect.left + 20;
    if (x < client.left + 2)
        x = client.left + 2;
    LPARAM point = MAKELPARAM(x, (rect.top + rect.bottom) / 2);
    FILETIME before = {0, 0}, after = {0, 0};
    bool existed = ReportTime(before);
    // The messages of a double click, posted so that the list view's own
    // button-down loop finds the button-up in the queue as it would.
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(list, WM_LBUTTONUP, 0, point);
    PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    PostMessageA(list, WM_LBUTTONUP, 0, point);
    Pump(50);
    FinishPainting();
    if (!ReportTime(after) || (existed && CompareFileTime(&before, &after) == 0)) {
        Say("double click on row %d: no %s was written", row, kReportName);
        return false;
    }
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof directory, directory);
    Say("double click on row %d: report %s", row, JoinPath(directory, kReportName).c_str());
    return true;
}

// ---------------------------------------------------------------------------
// The list of the current page: its header, rows, and the commands of its keys

HWND CurrentList()
{
    return FindDescendant(WC_LISTVIEWA, -1, 0, true);
}

std::string CurrentTabName()
{
    HWND tab = FindDescendant(WC_TABCONTROLA);
    int index = tab ? (int)SendMessageA(tab, TCM_GETCURSEL, 0, 0) : -1;
    char text[256] = "";
    if (index >= 0) {
        TCITEMA item;
        memset(&item, 0, sizeof item);
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tab, TCM_GETITEMA, index, (LPARAM)&item);
    }
    return text;
}

namespace {

HWND ListOrSay()
{
    HWND list = CurrentList();
    if (!list)
        Say("no list on the current page");
    return list;
}

LRESULT ListCommand(HWND list, ListViewCommand command, LPARAM argument)
{
    static const UINT message = RegisterWindowMessageA(CWIN_LISTVIEW_COMMAND_MESSAGE);
    return SendMessageA(list, message, command, argument);
}

int FocusedRow(HWND list)
{
    return (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
}

}  // namespace

bool ClickHeader(int column)
{
    HWND list = ListOrSay();
    if (!list)
        return false;
    HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    int count = header ? (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : 0;
    if (column < 0 || column >= count) {
        Say("no column %d: the list has %d columns", column, count);
        return false;
    }
    // The column in view, then a click on the middle of its header item: the
    // header tells the list, the list tells its owner (LVN_COLUMNCLICK).
    RECT item;
    SendMessageA(header, HDM_GETITEMRECT, column, (LPARAM)&item);
    RECT client;
    GetClientRect(list, &client);
    int scroll = item.left < client.left ? item.left - client.left
               : item.right > client.right ? std::min(item.left, item.right - client.right) : 0;
    if (scroll) {
        SendMessageA(list, LVM_SCROLL, scroll, 0);
        Pump(0);
        SendMessageA(header, HDM_GETITEMRECT, column, (LPARAM)&item);
    }
    POINT middle = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    LPARAM point = MAKELPARAM(middle.x, middle.y);
    SendMessageA(header, WM_MOUSEMOVE, 0, point);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(header, WM_LBUTTONUP, 0, point);
    Pump(0);
    FinishPainting();
    char title[256] = "";
    HDITEMA info;
    memset(&info, 0, sizeof info);
    info.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
    info.pszText = title;
    info.cchTextMax = sizeof title;
    SendMessageA(header, HDM_GETITEMA, column, (LPARAM)&info);
    const char* arrow = info.fmt & HDF_SORTUP ? ", sorted up" : info.fmt & HDF_SORTDOWN ? ", sorted down" : "";
    char image[32] = "";
    if (info.fmt & HDF_IMAGE)
        snprintf(image, sizeof image, ", header image %d", info.iImage);
    Say("header click on column %d \"%s\"%s%s; focused row %d", column, title, arrow, image, FocusedRow(list));
    return true;
}

bool ClickRow(int row)
{
    HWND list = ListOrSay();
    if (!list)
        return false;
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (row < 0 || row >= count) {
        Say("no row %d: the list has %d rows", row, count);
        return false;
    }
    SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
    Pump(0);
    RECT rect;
    rect.left = LVIR_LABEL;
    if (!SendMessageA(list, LVM_GETITEMRECT, row, (LPARAM)&rect)) {
        Say("row %d has no rectangle on screen", row);
        return false;
    }
    LPARAM point = MAKELPARAM(std::max<LONG>(rect.left + 4, 2), (rect.top + rect.bottom) / 2);
    // Posted, so that the list view's own button-down loop finds the button-up.
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(list, WM_LBUTTONUP, 0, point);
    Pump(50);
    bool selected = (SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
    Say(selected ? "row %d selected" : "row %d could not be selected", row);
    return selected;
}

bool SelectAllRows()
{
    HWND list = ListOrSay();
    if (!list)
        return false;
    if (!ListCommand(list, LVC_SELECT_ALL, 0)) {
        Say("the list does not select all its rows");
        return false;
    }
    Pump(0);
    Say("selected: %d rows", (int)SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0));
    return true;
}

// The selected rows to the clipboard; with a file, the clipboard's text in
// code page 1251 written there too.
bool CopyRows(const std::string& target)
{
    HWND list = ListOrSay();
    if (!list)
        return false;
    int selected = (int)SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0);
    if (!ListCommand(list, LVC_COPY, 0)) {
        Say("nothing was copied (%d rows selected)", selected);
        return false;
    }
    Say("copied: %d rows", selected);
    if (target == "clipboard")
        return true;
    std::string text;
    bool read = false;
    if (OpenClipboard(g_host)) {
        HANDLE data = GetClipboardData(CF_TEXT);
        const char* bytes = data ? (const char*)GlobalLock(data) : NULL;
        if (bytes) {
            text.assign(bytes, strnlen(bytes, GlobalSize(data)));
            GlobalUnlock(data);
            read = true;
        }
        CloseClipboard();
    }
    if (!read) {
        Say("the clipboard holds no text to write to %s", target.c_str());
        return false;
    }
    FILE* out = fopen(target.c_str(), "wb");
    bool ok = out && fwrite(text.data(), 1, text.size(), out) == text.size();
    if (out && fclose(out) != 0)
        ok = false;
    Say(ok ? "clipboard text written to %s (%u bytes)" : "the clipboard text could not be written to %s",
        target.c_str(), (unsigned)text.size());
    return ok;
}

bool SaveList(const std::string& path)
{
    HWND list = ListOrSay();
    if (!list)
        return false;
    int rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (!ListCommand(list, LVC_SAVE_CSV, (LPARAM)path.c_str())) {
        Say("the list could not be saved to %s", path.c_str());
        return false;
    }
    Say("list saved: %s (%d rows)", path.c_str(), rows);
    return true;
}

// A search for the text (or the last one again): the row found becomes the
// focused one.
bool FindRow(const std::string* text)
{
    HWND list = ListOrSay();
    if (!list)
        return false;
    LRESULT found = text ? ListCommand(list, LVC_FIND, (LPARAM)text->c_str()) : ListCommand(list, LVC_FIND_NEXT, 0);
    Pump(0);
    FinishPainting();
    std::string what = text ? "find \"" + *text + "\"" : std::string("find next");
    if (found)
        Say("%s: row %d", what.c_str(), FocusedRow(list));
    else
        Say("%s: not found", what.c_str());
    return true;
}

bool WriteBitmap(const char* path, HDC source, int left, int top, int width, int height)
{
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
    if (!memory || !bitmap) {
        if (memory) DeleteDC(memory);
        if (bitmap) DeleteObject(bitmap);
        return false;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info;
    memset(&info, 0, sizeof info);
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;          // bottom-up, as a BMP file stores it
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    DWORD stride = ((DWORD)width * 3 + 3) & ~3u;
    info.biSizeImage = stride * (DWORD)height;
    std::vector<unsigned char> pixels(info.biSizeImage);
    bool ok = GetDIBits(memory, bitmap, 0, height, pixels.data(), (BITMAPINFO*)&info, DIB_RGB_COLORS) == height;
    DeleteObject(bitmap);
    DeleteDC(memory);
    if (!ok)
        return false;

    BITMAPFILEHEADER file;
    memset(&file, 0, sizeof file);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    FILE* out = fopen(path, "wb");
    if (!out)
        return false;
    ok = fwrite(&file, sizeof file, 1, out) == 1 && fwrite(&info, sizeof info, 1, out) == 1 &&
         fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
    return fclose(out) == 0 && ok;
}

// A picture of the host window's client area as it is on the screen (24-bit BMP).
bool TakePicture(const std::string& path)
{
    if (!g_host) {
        Say("no window to take a picture of");
        return false;
    }
    Repaint();
    Pump(300);           // let the display catch up with what was painted
    // The client area: without a window manager (Xvfb) nobody draws the frame.
    RECT rect;
    GetClientRect(g_host, &rect);
    MapWindowPoints(g_host, NULL, (POINT*)&rect, 2);
    HDC screen = GetDC(NULL);
    bool ok = WriteBitmap(path.c_str(), screen, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    ReleaseDC(NULL, screen);
    if (!ok) {
        Say("picture %s could not be written", path.c_str());
        return false;
    }
    Say("picture: %s", path.c_str());
    return true;
}

}  // namespace host
