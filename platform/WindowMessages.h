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

// wParam values of WM_LINK_SKYPEWINDOW.
constexpr int SKYPE_WINDOW_HIDDEN = 20;
constexpr int SKYPE_WINDOW_NORMAL = 21;
