// Resource ids of the barcode-scanner test program.
#pragma once

#include "capture_controls.h"

#define IDR_MAINFRAME 128
#define IDD_BEAMLET_DIALOG IDD_CAPTURE_DIALOG
#define IDC_TRIGGER 1002
