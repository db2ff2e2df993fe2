// Resource ids of Devtune. The numbers are fixed: the running sheet is found by the caption
// string, and the page templates are part of what the device's users see.
#pragma once

// Strings
#define IDS_SHEET_CAPTION 103
#define IDS_USB_MODE_TAB 106
#define IDS_USB_CABLE_TAB 108

// Icons
#define IDI_SHEET 107

// Dialogs
#define IDD_USB_MODE_PAGE 132
#define IDD_USB_CABLE_PAGE 133

// USB mode page (IDD_USB_MODE_PAGE): one radio button per mode, 1004 + mode
#define IDC_MODE_ACTIVESYNC 1004
#define IDC_MODE_CARDREADER 1005
#define IDC_MODE_ALLDISABLED 1006

// USB cable page (IDD_USB_CABLE_PAGE)
#define IDC_CABLE_CONNECT 1030
#define IDC_CABLE_DISCONNECT 1032

#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif
