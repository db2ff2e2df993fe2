#pragma once

#define IDD_MINIMAL_DIALOG 102
#define IDC_TEXT 1000
