#pragma once

// Resource IDs shared by jumbla.rc and the C++ code. Kept free of anything but
// #define so that windres and the compiler both read it.

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_MAIN 102

// String table (a separate ID space from the dialogs, so 102 is taken twice)
#define IDS_ABOUTBOX 101
#define IDS_SHUFFLE_PLAY 102
#define IDS_CAPTION 103
#define IDS_DROP_CAPTION 104
#define IDS_PLAYLIST_FILTER 105
#define IDS_OPEN_TITLE 106
#define IDS_SAVE_TITLE 107
#define IDS_SAVE_FAILED 108
#define IDS_LOAD_SAVED 109
#define IDS_ONE_FILE_ONLY 110
#define IDS_NOT_VQL 111
#define IDS_UNREADABLE 112
#define IDS_PLAYER_MISSING 113
#define IDS_PLAYER_NOT_STARTED 114

// Icon group and banner bitmaps: the banner as drawn for 96 DPI (the one the
// dialog template names) and at 125, 150 and 200 % of its size
#define IDR_MAINFRAME 128
#define IDB_BANNER 130
#define IDB_BANNER_125 131
#define IDB_BANNER_150 132
#define IDB_BANNER_200 133
// The largest image of IDR_MAINFRAME stored as a plain bitmap: the larger
// ones are PNG-compressed, which Windows XP cannot decode.
#define IDR_MAINFRAME_PLAIN_SIZE 64

// Controls of IDD_MAIN
#define IDC_PLAY 1000
#define IDC_PATH 1001
#define IDC_LOAD 1002
#define IDC_ENTRIES 1003
#define IDC_SHUFFLE 1005
#define IDC_SAVE 1007
#define IDC_MODE_TITLE 1009
#define IDC_MODE_FILENAME 1010
#define IDC_BANNER 1011

// Controls of IDD_ABOUTBOX
#define IDC_ABOUT_ICON 1100

// System-menu commands: the low four bits must be clear (the system uses them)
// and the values must stay below 0xF000, where the SC_* commands begin.
#define IDM_ABOUTBOX 0x0010
#define IDM_SHUFFLE_PLAY 0x0020
