// Resource ids of Uninst.exe. The status text and the bar carry the ids of
// Setup.exe's "Copying Files", which the removal's display looks like.
#pragma once

// The version resource's, and the log's first line.
#define UNINSTALL_VERSION 1, 0, 0, 0
#define UNINSTALL_VERSION_TEXT "1.0.0.0"

#define IDR_MAINFRAME 128       // the window icon
#define IDD_REMOVE_PROGRESS 201  // "Removing Files"
#define IDD_SHARED_FILE 202      // "Remove Shared File?"

#define IDC_PROGRESS 1003
#define IDC_STATUS_TEXT 1005
#define IDC_SHARED_TEXT 1040
#define IDC_YES_TO_ALL 1041
#define IDC_NO_TO_ALL 1042
