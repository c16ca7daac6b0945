// Resource identifiers shared by Zekerpad.rc and the code.
#pragma once

// Dialogs
#define IDD_ABOUTBOX 100
#define IDD_PAGE00 140   // introduction
#define IDD_PAGE01 141   // show selection
#define IDD_PAGE02 142   // analysis
#define IDD_PAGE04 143   // yellow 1
#define IDD_PAGE05 144   // yellow 2
#define IDD_PAGE03 145   // red files
#define IDD_PAGE99 146   // closing
#define IDD_PAGE06 147   // other files
#define IDD_SETTINGS 148 // advanced settings
#define IDD_BACKUP 150   // back-up of the show's folder
#define IDD_FIND_MISSING 151 // search for missing files
#define IDD_CHECK_ALL 152 // every found show checked at once
#define IDD_CHECK_CONTENTS 153 // "Bestanden nakijken": every file of the show read
#define IDD_BACKUP_ALL 154     // a back-up of every show with green light

// Strings
#define IDS_ABOUTBOX 101
#define IDS_DEFAULT_EXT 102
#define IDS_FILTER 103
#define IDS_ERR_MKDIR 107
#define IDS_ERR_SHOW_IN_YELLOW 108
#define IDS_ERR_RENAME 109
#define IDS_ERR_EXISTS 110
#define IDS_ERR_COPY 111
#define IDS_ERR_DELETE 112
#define IDS_ERR_DELETE_TLG 113
#define IDS_ERR_FREESPACE 114
#define IDS_ERR_NO_SPACE 115
#define IDS_ERR_BAK_RENAME 116
#define IDS_FM_TOO_LONG 140    // search for missing files: target path too long
#define IDS_FM_SHOW_FILE 141   // search for missing files: a show is not copied
#define IDS_FM_RED_NEXT 142    // red page: what to do after copies
#define IDS_REPORT_FILTER 150      // save dialog of a report
#define IDS_REPORT_SAVE_TITLE 151
#define IDS_BACKUP_FILE_FAILED 130

// Icons and bitmap
#define IDI_APP 128
#define IDI_FOLDER_OPEN 129
#define IDI_DOT_RED 130
#define IDI_NOTE 131
#define IDI_DOT_YELLOW 132
#define IDI_PICTURE 134
#define IDI_FIGURE 135
#define IDI_DOT_GREEN 136
#define IDB_STATUS 138

// Controls. Several pages reuse an id for a different role; the names
// below are the roles, the page code picks the one it means.
#define IDC_SHOW_EDIT 1000     // selection page: the show path
#define IDC_BROWSE 1001        // selection page: folder button
#define IDC_TREE 1002          // selection and analysis pages
#define IDC_START_SEARCH 1003  // selection page
#define IDC_STATUS_FRAME 1004  // every page: area of the traffic light
#define IDC_TEXT 1006          // explanation / help text on most pages
#define IDC_BUTTON_1007 1007   // intro: settings; red: Start Wings; yellow: Corrigeren
#define IDC_BUTTON_1008 1008   // yellow: Opnieuw analyseren
#define IDC_BUTTON_1009 1009   // red: Opnieuw analyseren; yellow: Start Wings
#define IDC_INTRO_TEXT 1010    // introduction: welcome text
#define IDC_PROGRESS 1011      // yellow pages
#define IDC_LIST 1013          // selection page: found shows as a list
#define IDC_MODE_SELF 1014     // selection page radio group 1
#define IDC_MODE_SEARCH 1015
#define IDC_VIEW_TREE 1016     // selection page radio group 2
#define IDC_VIEW_LIST 1017
#define IDC_VIEW_LABEL 1018
#define IDC_FIND_MISSING 1021  // red page: Bestanden zoeken...
#define IDC_RED_NEXT 1022      // red page: what to do after copies
#define IDC_SAVE_REPORT 1023   // analysis page: save the report
#define IDC_CHECK_ALL 1024     // selection page: check every found show
#define IDC_CHECK_CONTENTS 1025 // analysis page: Bestanden nakijken...
#define IDC_INTRO_CHECK 1026   // introduction: Back-up of show controleren...
#define IDC_INTRO_CHECK_NOTE 1027

// Dialog "Alle shows controleren"
#define IDC_CHECK_STATUS 1160
#define IDC_CHECK_LIST 1161
#define IDC_CHECK_STOP 1162
#define IDC_CHECK_SAVE 1163
#define IDC_CHECK_BACKUP_ALL 1164  // Back-up van alle groene shows...
#define IDC_BACKUP 1020        // closing page: opens the back-up dialog

// Dialog "Bestanden nakijken"
#define IDC_CC_TEXT 1170       // what the check does
#define IDC_CC_STATUS 1171     // which file of how many
#define IDC_CC_FILE 1172       // the file being read
#define IDC_CC_PROGRESS 1173   // bytes read of all files
#define IDC_CC_LIST 1174       // one line per file with a finding
#define IDC_CC_SUMMARY 1175    // the counts
#define IDC_CC_STOP 1176       // Stoppen

// Advanced settings dialog
#define IDC_SUB_AUDIO 1000
#define IDC_SUB_PLAATJES 1001
#define IDC_SUB_OVERIGE 1002

// Search for missing files
#define IDC_FM_TEXT 1130       // what is searched
#define IDC_FM_STATUS 1131     // the folder being searched, then the outcome
#define IDC_FM_TREE 1132       // missing files with the files found for them
#define IDC_FM_HINT 1133       // how to choose
#define IDC_FM_COPY 1134       // Kopiëren naar de show
#define IDC_FM_STOP 1135       // Stoppen
// Back-up dialog
#define IDC_BACKUP_SHOW 1100       // the show's folder, read only
#define IDC_BACKUP_DEST 1101       // destination folder
#define IDC_BACKUP_BROWSE 1102     // folder picker
#define IDC_BACKUP_PLAN 1103       // where it goes, what it copies, free space
#define IDC_BACKUP_START 1104
#define IDC_BACKUP_PROGRESS 1105   // bytes copied
#define IDC_BACKUP_FILE 1106       // the file being copied
#define IDC_BACKUP_STOP 1107
#define IDC_BACKUP_SUMMARY 1108    // what the back-up did
#define IDC_BACKUP_SHOW_LABEL 1109
#define IDC_BACKUP_DEST_LABEL 1110
#define IDC_BACKUP_VERIFY 1111     // Back-up controleren
#define IDC_BACKUP_LIST 1112       // a check only: the back-ups below the folder chosen
#define IDC_BACKUP_WEEKLY 1113     // Elke week automatisch...: shown after a complete back-up
#define IDC_BA_DEST 1180       // every green show: destination folder
#define IDC_BA_BROWSE 1181
#define IDC_BA_PLAN 1182       // how many shows, what is to copy
#define IDC_BA_START 1183
#define IDC_BA_STOP 1184
#define IDC_BA_PROGRESS 1185   // bytes of all shows
#define IDC_BA_FILE 1186       // the show and the file being copied
#define IDC_BA_LIST 1187       // one line per show
#define IDC_BA_SUMMARY 1188
#define IDC_BA_DEST_LABEL 1189

// System menu command of the about box
#define IDM_ABOUTBOX 0x0010
