// Resource ids of Marvolen.exe: dialog templates, strings, the icon, control
// and menu ids. Read by the resource compiler and by C++ alike.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_MAIN 102
#define IDD_PROGRESS 129

// Strings
#define IDS_ABOUTBOX 101
#define IDS_VERSION_PREFIX 102
#define IDS_APP_TITLE 103

// Icon
#define IDR_MAINFRAME 128

// Window-menu item of the main dialog (below 0xF000, low four bits clear)
#define IDM_ABOUTBOX 0x0010

// Controls of IDD_MAIN
#define IDC_FILE_NAME 1000
#define IDC_GENERATE 1001
#define IDC_BIT_8 1002
#define IDC_BIT_16 1003
#define IDC_SAMPLE_RATE 1005
#define IDC_MONO 1006
#define IDC_STEREO 1007
#define IDC_STATION_NHK 1008
#define IDC_STATION_NIPPON 1009
#define IDC_NOTICE_FREQ1 1010
#define IDC_NOTICE_FREQ2 1011
#define IDC_MAIN_FREQ 1012
#define IDC_BIT_24 1013

// Controls of IDD_PROGRESS
#define IDC_PROGRESS 1014

// Controls of IDD_ABOUTBOX
#define IDC_VERSION_TEXT 1015
#define IDC_COPYRIGHT_TEXT 1016
#define IDC_HOLDER_TEXT 1017

// Static controls nobody addresses
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
