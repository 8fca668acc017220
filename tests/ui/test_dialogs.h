// Resource ids of the dialogs the dialog-layer tests run.
#pragma once

#define IDD_KIT_TEST 500
#define IDD_KIT_CHILD 501

#define IDC_KIT_NAME 1100
#define IDC_KIT_FIRST_INT 1101
#define IDC_KIT_SECOND_INT 1102
#define IDC_KIT_LAST_TEXT 1103
#define IDC_KIT_A0 1110
#define IDC_KIT_A1 1111
#define IDC_KIT_A2 1112
#define IDC_KIT_B0 1120
#define IDC_KIT_B_CHECK 1121
#define IDC_KIT_B1 1122
#define IDC_KIT_C0 1130
