// Commands a program sends to a framework list view's own window: the keys and
// context-menu commands of a grid (select all, copy, save as CSV, find), for a
// host that drives the grid as a user would without knowing its objects.
//
// The message is registered (RegisterWindowMessageA with the name below) and
// sent with SendMessageA to the SysListView32 window that a CListView made;
// wParam is the command, lParam its argument.
#ifndef CWIN_LISTVIEWCOMMANDS_H
#define CWIN_LISTVIEWCOMMANDS_H

#define CWIN_LISTVIEW_COMMAND_MESSAGE "CWin_ListView_Command"

enum ListViewCommand
{
    // Every row selected (Ctrl+A). Result 1.
    LVC_SELECT_ALL = 1,
    // The selected rows, column titles first, as tab-separated text to the
    // clipboard in CF_UNICODETEXT and CF_TEXT (code page 1251), lines ended by
    // CR LF, number columns with a decimal comma (Ctrl+C). Result 1 when copied,
    // 0 when nothing is selected or the clipboard refused.
    LVC_COPY = 2,
    // lParam: const char* path (code page 1251). The whole list in its shown
    // order as ';'-separated CSV in code page 1251, titles first, CR LF, number
    // columns with a decimal comma; the file appears only whole. Result 1 when
    // written, 0 when not (a file already there stays as it was).
    LVC_SAVE_CSV = 3,
    // lParam: const char* text. The next row after the focused one (row 0 when
    // none) whose shown cells hold the text, case-insensitive in code page
    // 1251, wrapping at the end; it becomes the only selected and focused row,
    // scrolled into view. Result 1 when found, 0 when not.
    LVC_FIND = 4,
    // The last text again (F3). As LVC_FIND; 0 when there is no last text.
    LVC_FIND_NEXT = 5
};

#endif
