#include "app/status_dlg.h"

#include "res/resource.h"

CStatusDlg::CStatusDlg() : CModelessDisplayDlg(IDD_STATUS) {}
