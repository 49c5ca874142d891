#pragma once
// Resource identifiers of the display settings dialog; shared by the
// resource script and the code, so plain macros only.
#define IDD_DISPLAY_SETTINGS 101

#define IDC_BORDER 1000
#define IDC_TRANSPARENT 1001
#define IDC_ONLY_MY_CHANNEL 1002
#define IDC_CHANNEL_COLOUR 1003
#define IDC_OPACITY 1004
#define IDC_SPEAKER_COLOUR 1005
#define IDC_WIDTH_SPIN 1006
#define IDC_WIDTH 1007
#define IDC_ACTIVITY_ENABLED 1008
#define IDC_RESET 1009
#define IDC_DURATION 1010
#define IDC_TWO_LINES 1011
#define IDC_DURATION_SPIN 1012
#define IDC_LIST_CHANNEL 1015

#define IDS_COLOUR_KEY_OFF 40003
#define IDS_RESET_QUESTION 40004
#define IDS_LIST_CHANNEL_RESTART 40005
