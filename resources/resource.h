// Every resource and control id of the program, in one place. Plain
// #defines so that windres, the user interface and the portable core's
// field table can all include it.
#pragma once

// Menus
#define IDR_MAIN_MENU 101

// Icons and bitmaps
#define IDI_APPLICATION_ICON 119
#define IDI_CHECK_TICKED 120
#define IDI_CHECK_EMPTY 123
// The small icons of the menus and the toolbar buttons
#define IDI_DELETE_CONTACT 124
#define IDI_EDIT_CONTACT 125
#define IDI_ADD_CONTACT 126
#define IDI_NEW_BOOK 134
#define IDI_SAVE_BOOK 135
#define IDI_OPEN_BOOK 136
#define IDI_FEEDBACK 155
#define IDI_ABOUT 156
#define IDI_GROUPS 157
#define IDI_HELP_TOPICS 158
#define IDI_SETTINGS 159
#define IDI_SAVE_DEFAULT 160
#define IDI_SYNC 172

// Dialog templates
#define IDD_CONTACT_EDITOR 121
#define IDD_DIRECTORY 146
#define IDD_COLUMN_MAPPING 147
#define IDD_ABOUT 149
#define IDD_HELP 150
#define IDB_HELP_BANNER 151
#define IDD_SETTINGS 152
#define IDD_GROUPS 153
#define IDD_EXPORT_VCARD 154
#define IDD_PROGRESS 161

// Menu commands
#define IDM_FILE_OPEN 40001
#define IDM_ITEM_ADD 40002
#define IDM_ITEM_DELETE 40003
#define IDM_SETTINGS 40004
#define IDM_FILE_SAVE 40008
#define IDM_EXPORT_VCF 40009
#define IDM_FILE_EXIT 40011
#define IDM_FILE_SAVE_AS 40012
#define IDM_EXPORT_CSV 40014
#define IDM_FEEDBACK 40015
#define IDM_IMPORT_VCF 40016
#define IDM_IMPORT_CSV 40017
#define IDM_HELP_TOPICS 40018
#define IDM_ABOUT 40019
#define IDM_ITEM_EDIT 40021
#define IDM_ITEM_DELETE_TICKED 40022
#define IDM_IMPORT_VCF_DIRECTORY 40026
#define IDM_GROUPS 40028
#define IDM_FILE_NEW 40029
#define IDM_FILE_SAVE_DEFAULT 40036
#define IDM_ITEM_SELECT_ALL 40037
#define IDM_ITEM_SORT_BY_NAME 40040
#define IDM_SYNC 40041

// The ids the owner-drawn menus give the items that only open a menu:
// the four bar items (IDM_DRAW_BAR_FIRST + position) and the submenus 导入 and 输出.
// They are never sent as commands.
#define IDM_DRAW_BAR_FIRST 40030
#define IDM_DRAW_BAR_LAST 40033
#define IDM_DRAW_IMPORT_MENU 40034
#define IDM_DRAW_EXPORT_MENU 40035

// Main window controls
#define IDC_ADD_BUTTON 40050
#define IDC_DELETE_BUTTON 40051
#define IDC_EDIT_BUTTON 40052
#define IDC_CONTACT_LIST 40100
#define IDC_QUICK_SEARCH 40101
#define IDC_FIELD_FILTER 40105
#define IDC_GROUP_FILTER 40106

// Contact editor: the control that edits each contact field
#define IDC_EDIT_SURNAME 1000
#define IDC_EDIT_GIVEN_NAME 1001
#define IDC_EDIT_GENDER 1005
#define IDC_EDIT_NICKNAME 1025
#define IDC_EDIT_MOBILE 1026
#define IDC_EDIT_QQ 1027
#define IDC_EDIT_EMAIL 1028
#define IDC_EDIT_COMPANY 1029
#define IDC_EDIT_DEPARTMENT 1030
#define IDC_EDIT_JOB_TITLE 1031
#define IDC_EDIT_WORK_COUNTRY 1032
#define IDC_EDIT_WORK_PROVINCE 1033
#define IDC_EDIT_WORK_CITY 1034
#define IDC_EDIT_WORK_PHONE 1036
#define IDC_EDIT_WORK_FAX 1037
#define IDC_EDIT_WORK_STREET 1041
#define IDC_EDIT_HOME_COUNTRY 1042
#define IDC_EDIT_HOME_PROVINCE 1043
#define IDC_EDIT_HOME_CITY 1044
#define IDC_EDIT_HOME_STREET 1045
#define IDC_EDIT_HOME_PHONE 1046
#define IDC_EDIT_HOME_POSTCODE 1047
#define IDC_EDIT_HOME_FAX 1048
#define IDC_EDIT_WORK_POSTCODE 1050
#define IDC_EDIT_BIRTHDAY 1062

// vCard export, directory and CSV column mapping dialogs
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
#define IDC_TIP_BUTTON 9
#define IDC_DIRECTORY_EDIT 1000
#define IDC_ENCODING_LIST 1005
#define IDC_MAPPING_FIELD_LIST 1005
#define IDC_DIRECTORY_BROWSE 1015
#define IDC_IGNORE_REMAINING 1074
#define IDC_MAPPING_PROMPT 1075
#define IDC_EXPORT_TICKED 1077
#define IDC_EXPORT_ALL 1078
#define IDC_EXPORT_BROWSE 1079

// Help dialog
#define IDC_HELP_TEXT 1000
#define IDC_HELP_TOPIC_LIST 1021

// About box
#define IDC_ABOUT_PRODUCT 1019
#define IDC_ABOUT_VERSION 1020
#define IDC_ABOUT_AUTHOR 1022

// Contact editor: the group list and the buttons
#define IDC_EDIT_GROUP 1016
#define IDC_EDITOR_NEW 1003
#define IDC_EDITOR_NEXT 1049
#define IDC_EDITOR_PREVIOUS 1051
#define IDC_EDITOR_ITEMS 1080

// The contact's other information
#define IDD_CONTACT_ITEMS 170
#define IDC_ITEM_LIST 1081
#define IDC_ITEM_KIND 1082
#define IDC_ITEM_LABEL 1083
#define IDC_ITEM_VALUE 1084
#define IDC_ITEM_ADD 1085
#define IDC_ITEM_CHANGE 1086
#define IDC_ITEM_REMOVE 1087

// Settings dialog: the default file name and one check box per column flag
#define IDC_SETTINGS_DEFAULT_FILE 1000
#define IDC_SHOW_GENDER 1011
#define IDC_SHOW_NICKNAME 1012
#define IDC_SHOW_BIRTHDAY 1052
#define IDC_SHOW_MOBILE 1053
#define IDC_SHOW_QQ 1054
#define IDC_SHOW_EMAIL 1055
#define IDC_SHOW_HOME_ADDRESS 1056
#define IDC_SHOW_WORK_ADDRESS 1057
#define IDC_SHOW_COMPANY 1058
#define IDC_SHOW_DEPARTMENT 1063
#define IDC_SHOW_JOB_TITLE 1064
#define IDC_SHOW_HOME_PHONE 1065
#define IDC_SHOW_WORK_PHONE 1066
#define IDC_SHOW_WORK_POSTCODE 1067
#define IDC_SHOW_WORK_FAX 1068
#define IDC_SHOW_HOME_POSTCODE 1069
#define IDC_SHOW_HOME_FAX 1070

// Group dialog
#define IDC_GROUP_NAME 1000
#define IDC_GROUP_LIST 1021
#define IDC_GROUP_ADD 1071
#define IDC_GROUP_RENAME 1072
#define IDC_GROUP_DELETE 1073

// Progress of long work
#define IDC_PROGRESS_TEXT 1076

// Synchronisation with a CardDAV server
#define IDD_SYNC 171
#define IDC_SYNC_SERVER 1090
#define IDC_SYNC_USER 1091
#define IDC_SYNC_PASSWORD 1092
#define IDC_SYNC_REMEMBER 1093
#define IDC_SYNC_CONNECT 1094
#define IDC_SYNC_BOOKS 1095
#define IDC_SYNC_START 1096
#define IDC_SYNC_PROGRESS 1097
#define IDC_SYNC_STATUS 1098
#define IDC_SYNC_STOP 1099
#define IDC_SYNC_CONFLICTS 1100
#define IDC_SYNC_KEEP_LOCAL 1101
#define IDC_SYNC_KEEP_SERVER 1102
