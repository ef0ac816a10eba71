// The user's clicks on the plug-in's window, given as the messages a user's
// input gives, and pictures of the window.
#include "PluginDriver.h"

#include <commctrl.h>

#include <stdio.h>
#include <string.h>

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
// id, when not -1) that also passes the style test.
HWND FindDescendant(const char* className, int itemId = -1, LONG_PTR styleMask = 0)
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
    Repaint();
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
static int MostGoodsSupplier(IOrvexPlugin* plugin, const Fed& fed, int boxCount)
{
    int best = -1;
    size_t bestCount = 0;
    for (size_t k = 0; k < fed.supplierCodes.size(); ++k) {
        int32_t id = plugin->FindSupplierId(fed.supplierCodes[k].c_str());
        auto goods = fed.suppliedGoods.find(id);
        size_t count = goods == fed.suppliedGoods.end() ? 0 : goods->second.size();
        if (best < 0 || count > bestCount) {
            best = (int)k;
            bestCount = count;
        }
    }
    if (best < 0)
        return -1;
    // Suppliers loaded from the list file come before the ones added here.
    int loaded = boxCount - (int)fed.supplierCodes.size();
    return loaded < 0 ? -1 : loaded + best;
}

bool PickSupplier(IOrvexPlugin* plugin, const Fed& fed, const std::string& which)
{
    HWND box = FindDescendant(WC_COMBOBOXA, kSupplierBoxId);
    if (!box) {
        Say("no supplier box (item %d) in the window", kSupplierBoxId);
        return false;
    }
    int count = (int)SendMessageA(box, CB_GETCOUNT, 0, 0);
    int index = -1;
    if (which == "most") {
        index = MostGoodsSupplier(plugin, fed, count);
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
    Repaint();
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
    Repaint();
    if (!ReportTime(after) || (existed && CompareFileTime(&before, &after) == 0)) {
        Say("double click on row %d: no %s was written", row, kReportName);
        return false;
    }
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof directory, directory);
    Say("double click on row %d: report %s", row, JoinPath(directory, kReportName).c_str());
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
