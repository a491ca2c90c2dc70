// Resource and control identifiers of Setting.dll. The numbers are part of the module's
// interface (templates and controls are found by them), so they never change.
#pragma once

// Dialog templates
#define IDD_SETTING 102
#define IDD_SETPASS 103
#define IDD_MSGDLG 131
#define IDD_WAITING 132

// Settings dialog (102)
#define IDC_CHECK_SCHEDULE 1001
#define IDC_CHECK_EV_CYCLE 1002
#define IDC_CHECK_EV_SYSFOLDER 1004
#define IDC_CHECK_EV_NEWPROGRAM 1005
#define IDC_SCHEDULE_FRAME 1006
#define IDC_CHECK_TRAYICON 1011
#define IDC_CHECK_TOASTER 1012
#define IDC_BTN_OK 1013
#define IDC_BTN_APPLY 1014
#define IDC_BTN_CANCEL 1015
#define IDC_STATIC_SC_TITLE 1016
#define IDC_COMBO_SCHEDULE 1017
#define IDC_STATIC_SC_MINUTES 1018
#define IDC_STATIC_EV_MIN 1019
#define IDC_STATIC_NT_TITLE 1020
#define IDC_COMBO_EV_CYCLE 1021
#define IDC_NOTI_FRAME 1032
#define IDC_VP_FRAME 1037
#define IDC_CHECK_PROTECT 1038
#define IDC_STATIC_RESIZE 1039
#define IDC_STATIC_SZ_SHOW 1040
#define IDC_AR_FRAME 1041
#define IDC_CHECK_AR 1042
#define IDC_COMBO_AR 1043
#define IDC_SEC_FRAME 1044
#define IDC_PASSWORD 1045
#define IDC_STATIC_TOTHELATEST 1048
// Not in the template: the window the dialog makes over its close box for the keyboard and
// screen readers.
#define IDC_CLOSE_BOX 1060

// Password dialog (103)
#define IDC_E_CURPASS 1024
#define IDC_E_NEWPASS 1025
#define IDC_E_NEWPASS2 1026
#define IDC_S_CURPASS 1050
#define IDC_S_NEWPASS 1051
#define IDC_S_NEWPASS2 1052
#define IDC_S_FORGETPASS 1053

// Message dialog (131)
#define IDC_MSG_NO 1019
#define IDC_MSG_TEXT 1021
#define IDC_MSG_OK 1024
#define IDC_MSG_YES 1033
#define IDC_MSG_HEADING 1036

// Waiting dialog (132)
#define IDC_STATIC_WAIT 1023

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
