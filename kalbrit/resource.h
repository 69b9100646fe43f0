#pragma once
// Resource ids of Kalbrit.exe.
#define IDD_KALBRIT 101
#define IDD_HISTORY 102

#define IDC_LANG_ENGLISH 1001
#define IDC_LANG_JAPANESE 1002
#define IDC_PORT 1003
#define IDC_TIMEOUT 1004
#define IDC_COMMUNITY 1005
#define IDC_TARGET_ALL 1006
#define IDC_TARGET_ONE 1007
#define IDC_TARGET 1008
#define IDC_PROHIBIT_NONE 1009
#define IDC_PROHIBIT_MASK 1010
#define IDC_PROHIBITION 1011
#define IDC_FILE_PATH 1012
#define IDC_SAVE 1013
#define IDC_HISTORY 1014
#define IDC_ACCEPT_V2C 1016
#define IDC_MERGE_REPEATS 1017

#define IDC_HISTORY_LIST 1020
#define IDC_HISTORY_REFRESH 1021
#define IDC_HISTORY_FOLDER 1022
#define IDC_SEND_TEST 1015

// The Devices list ([usKarn_names]) and the list-dialog controls every list
// kind's templates share.
#define IDD_DEVICES 110
#define IDD_DEVICE_ENTRY 111
#define IDC_DEVICES 1040
#define IDC_LIST 1041
#define IDC_LIST_ADD 1042
#define IDC_LIST_CHANGE 1043
#define IDC_LIST_REMOVE 1044
#define IDC_ENTRY_KEY 1045
#define IDC_ENTRY_VALUE 1046

// The SNMPv3 users list ([usKarn_v3]): the list adds a test button, the
// user entry its own fields beside IDC_ENTRY_KEY (the name).
#define IDD_V3_USERS 112
#define IDD_V3_USER_ENTRY 113
#define IDC_V3_USERS 1047
#define IDC_LIST_TEST 1048
#define IDC_ENTRY_AUTH 1049
#define IDC_ENTRY_AUTH_PASS 1050
#define IDC_ENTRY_AUTH_AGAIN 1051
#define IDC_ENTRY_PRIV 1052
#define IDC_ENTRY_PRIV_PASS 1053
#define IDC_ENTRY_PRIV_AGAIN 1054
#define IDC_ENTRY_KEEP_NOTE 1055
