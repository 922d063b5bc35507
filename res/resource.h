// Resource ids of Setup.exe: templates, pictures, strings and controls.
#pragma once

#define IDD_SETUP 102          // main window
#define IDD_COPY_PROGRESS 103  // "Copying Files"
#define IDD_WIZARD_INFO 112
#define IDD_WIZARD_DEST 113
#define IDD_STATUS 139         // status popup
#define IDD_WIZARD_FOLDER 140
#define IDD_READ_ONLY 141      // "Read-Only-File detected"

#define IDR_MAINFRAME 128      // the window icon
#define IDB_WIZARD 139         // the wizard pages' picture

#define IDS_WIZARD_CAPTION 111
#define IDS_APP_NAME 57344

#define IDC_PROGRESS 1003
#define IDC_STATUS_TEXT 1005
#define IDC_INFO_TEXT 1010
#define IDC_DEST_DIR 1011
#define IDC_FOLDER_NAME 1019
#define IDC_DEST_DRIVE_LETTER 1020
#define IDC_DEST_DRIVES 1021
#define IDC_FREE_LABEL 1022
#define IDC_FREE_SPACE 1023
#define IDC_DEST_NEEDED 1024
#define IDC_SYS_NEEDED 1025
#define IDC_FOLDERS 1031
#define IDC_READ_ONLY_TEXT 1032
#define IDC_DONT_SHOW_AGAIN 1033

// The window class of the main window, so that it sees its own creation.
#define SETUP_WINDOW_CLASS "VantlerSetup"
