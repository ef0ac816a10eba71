// Resource and command identifiers of the viewer (OrvexHost.rc). The three
// commands of «Вид» follow each other (a radio group).
#ifndef ORVEX_VIEWER_IDS_H
#define ORVEX_VIEWER_IDS_H

#define IDR_VIEWER_MENU     100
#define IDR_VIEWER_KEYS     101
#define IDI_VIEWER          102

#define IDM_OPEN_FOLDER     40001
#define IDM_CONVERT         40002
#define IDM_EXIT            40003
#define IDM_SAVE_LIST       40004
#define IDM_VIEW_CODES      40020
#define IDM_VIEW_DECIMAL    40021
#define IDM_VIEW_HEX        40022
#define IDM_GUIDE           40010
#define IDM_ABOUT           40011

#endif
