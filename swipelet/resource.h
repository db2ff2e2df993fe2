// Resource ids of the card-reader test program.
#pragma once

#include "capture_controls.h"

#define IDR_MAINFRAME 128
#define IDD_SWIPELET_DIALOG IDD_CAPTURE_DIALOG
#define IDC_BANNER 200
#define IDC_READ_MSR_VERSION 1002
#define IDC_READ_FIRMWARE_VERSION 1003
