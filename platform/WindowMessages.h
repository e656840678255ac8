#pragma once

// Numbers of the private window messages the program's windows and subsystems post to each
// other. Each message travels as a WindowMessage event whose event type is its number.

constexpr int WM_USER = 0x0400;

constexpr int WM_TRAY_CALLBACK = WM_USER + 257;      // 1281: mouse action on the tray icon
constexpr int WM_LEVEL_MY_SIDE = WM_USER + 273;      // 1297: wParam = level 0..512 of port 38377
constexpr int WM_LEVEL_REMOTE_SIDE = WM_USER + 274;  // 1298: wParam = level 0..512 of port 38376
constexpr int WM_FINISH_RECORDING = WM_USER + 275;   // 1299: finish the running recording
constexpr int WM_LINK_USERSTATUS = WM_USER + 507;    // 1531: wParam = UserStatusCode
constexpr int WM_LINK_USERHANDLE = WM_USER + 508;    // 1532: the current user's handle is known
constexpr int WM_LINK_CALL = WM_USER + 510;          // 1534: wParam = call slot or -1, lParam 2/1
constexpr int WM_LINK_REFUSED = WM_USER + 521;       // 1545: Skype refused access
constexpr int WM_LINK_SKYPEWINDOW = WM_USER + 525;   // 1549: wParam 20 minimised/hidden, 21 normal
constexpr int WM_NOTIFIER_CLICKED = WM_USER + 123;   // 0x47B: the popup notifier was clicked
constexpr int WM_DELETE_RECORD = 0x844;              // history: delete a record
constexpr int WM_OPEN_RECORD_FOLDER = 0x845;         // history: show a record in its folder
constexpr int WM_RECORD_MENU = 0x846;                // history: context menu of a record

// lParam values of WM_LINK_CALL.
constexpr int LINK_CALL_PARTNER_KNOWN = 1;
constexpr int LINK_CALL_STATUS_CHANGED = 2;

// wParam and lParam of WM_TRAY_CALLBACK: the tray icon's id and the mouse action on it.
constexpr int TRAY_ICON_ID = 1;
constexpr int WM_LBUTTONUP = 0x0202;
constexpr int WM_RBUTTONUP = 0x0205;

// wParam values of WM_LINK_SKYPEWINDOW.
constexpr int SKYPE_WINDOW_HIDDEN = 20;
constexpr int SKYPE_WINDOW_NORMAL = 21;

// Configuration messages of the segmented level/busy bar (CKCBusyProgressCtrl); each takes its
// value in wParam (WM_BUSY_SET_RANGE: wParam low, lParam high; colours as 0x00BBGGRR).
constexpr int WM_BUSY_SET_BLOCKS = WM_USER + 1;
constexpr int WM_BUSY_SET_POSITION = WM_USER + 2;
constexpr int WM_BUSY_SET_GAP = WM_USER + 3;
constexpr int WM_BUSY_SET_INTERVAL = WM_USER + 4;
constexpr int WM_BUSY_SET_RANGE = WM_USER + 5;
constexpr int WM_BUSY_SET_MODE = WM_USER + 6;
constexpr int WM_BUSY_START = WM_USER + 7;
constexpr int WM_BUSY_STOP = WM_USER + 8;
constexpr int WM_BUSY_STEP = WM_USER + 9;
constexpr int WM_BUSY_SET_BUSY_TYPE = WM_USER + 10;
constexpr int WM_BUSY_SET_FILL_TYPE = WM_USER + 11;
constexpr int WM_BUSY_SET_FILL_LENGTH = WM_USER + 12;
constexpr int WM_BUSY_SET_BACKGROUND = WM_USER + 13;
constexpr int WM_BUSY_SET_BLOCK_FILL = WM_USER + 14;
constexpr int WM_BUSY_SET_BLOCK_BORDER = WM_USER + 15;
constexpr int WM_BUSY_SET_HIGHLIGHT_FILL = WM_USER + 16;
constexpr int WM_BUSY_SET_HIGHLIGHT_BORDER = WM_USER + 17;
constexpr int WM_BUSY_RECALC_SIZE = WM_USER + 18;
constexpr int WM_BUSY_RESET = WM_USER + 19;
constexpr int WM_BUSY_USE_SYSTEM_BACKGROUND = WM_USER + 20;
