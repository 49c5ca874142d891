#pragma once
// Resource identifiers of the plugin library.
#define IDS_DISCONNECTED_UPPER 40000
#define IDS_DISCONNECTED_LOWER 40001
#define IDS_UNKNOWN_CLIENT 40002
#define IDS_LIST_CLASS 40003
#define IDS_RESET_QUESTION 40004
#define IDD_LIST_SETTINGS 100
#define IDI_PLUGIN 101
