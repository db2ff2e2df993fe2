// Controls that the serial capture drives in a test program's main dialog (template 102).
#pragma once

#define IDD_CAPTURE_DIALOG 102
#define IDC_LOG_BOX 1000
#define IDC_PORT_BUTTON 1001
