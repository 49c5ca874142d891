#pragma once
// Controls of the List Channel settings dialog (IDD_LIST_SETTINGS); shared
// by the resource script and the code, so plain macros only. Control ids
// live apart from string ids, so 40004 and 40005 clash with nothing here.
#define IDC_LIST_AWAY_COLOUR 1000
#define IDC_LIST_TEXT_COLOUR 1002
#define IDC_LIST_RESET 1003
#define IDC_LIST_BORDER 1004
#define IDC_LIST_TRANSPARENT 40004
#define IDC_LIST_OPACITY 40005
