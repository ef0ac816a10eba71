// Resource identifiers of the plug-in library (menu, dialog page, bitmaps).
#ifndef ORVEX_RESOURCES_H
#define ORVEX_RESOURCES_H

#define IDR_LIST_MENUS        130   // nine popup submenus "1" .. "9", used by index
#define IDD_DYNAMICS_STRIP    206   // supplier box and the build button above the dynamics list
#define IDB_TAB_IMAGES        153   // 16 x 16, 3 images
#define IDB_GOODS_ICONS       179   // 16 x 16, 5 images: goods row icons 0 .. 4
#define IDB_MARKS             188   // 13 x 13, 7 images
#define IDB_SORT_ARROWS       190   // 13 x 13, 2 images: ascending, descending

#define IDC_SUPPLIER_BOX      1011
#define IDC_BUILD_DYNAMICS    1024
#define IDC_SUPPLIER_LABEL    1012

#define IDM_LOAD_TEXT         131
#define IDM_FORM              133
#define IDM_FACT_FORECAST     138
#define IDM_BIAS              139
#define IDM_DELETE_ORDER      152
#define IDM_EXPORT            154
#define IDM_ADD_TEXT          155
#define IDM_RECOMPUTE         156
#define IDM_PRINT_ORDER       178
#define IDM_GROUP_GOODS       181
#define IDM_UNGROUP_GOODS     182
#define IDM_REFRESH_MOVES     183
#define IDM_MAKE_MAIN         185
#define IDM_UNDO_MOVES        186
#define IDM_FIND_NEXT         192
#define IDM_CORRECT_ORDER     193
#define IDM_DELETE_SELECTED   196
#define IDM_REFRESH_GROUPS    197
#define IDM_DELETE_GROUPS     200
#define IDM_DEVIATION         202
#define IDM_PRINT_ALL_ORDERS  203
#define IDM_DELETE_SUPPLIERS  205
// The grids' own commands in the lists' context menus.
#define IDM_COPY              210
#define IDM_SELECT_ALL        211
#define IDM_FIND              212

#endif
