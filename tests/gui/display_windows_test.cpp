// The status popup, the "Copying Files" dialog and the read-only dialog
// through their real windows.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/copy_progress_dlg.h"
#include "app/read_only_dlg.h"
#include "app/status_dlg.h"
#include "framework/main_window.h"
#include "res/resource.h"
#include "tests/gui/window_test_support.h"

namespace {

class DisplayWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&icc);
        m_hwndOwner = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480,
                                      nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_hwndOwner, nullptr);
    }
    void TearDown() override { DestroyWindow(m_hwndOwner); }
    static void Pump()
    {
        Sleep(30);  // past the pump's interval, so that the next call looks at the queue
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }

    HWND m_hwndOwner = nullptr;
    SpyMessageBoxes m_boxes;
};

TEST_F(DisplayWindows, StatusPopupDisablesOnlyAnOwnerThatWasEnabled)
{
    CStatusDlg status;
    ASSERT_TRUE(status.Create(m_hwndOwner));
    status.SetStatusText("Initializing Setup...");
    status.Show(SW_SHOW);
    Pump();
    HWND hwnd = status.CDialogWindow::GetHandle();
    EXPECT_FALSE(IsWindowEnabled(m_hwndOwner));
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(gui::ItemText(hwnd, IDC_STATUS_TEXT), "Initializing Setup...");
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CAPTION, 0);
    gui::SaveScreenshot(hwnd, ScreenshotPath("status-popup"));
    status.Destroy();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(IsWindowEnabled(m_hwndOwner));

    EnableWindow(m_hwndOwner, FALSE);
    ASSERT_TRUE(status.Create(m_hwndOwner));
    status.Destroy();
    EXPECT_FALSE(IsWindowEnabled(m_hwndOwner));
    EnableWindow(m_hwndOwner, TRUE);

    // Destroyed with its object, the owner comes back too.
    {
        CStatusDlg other;
        other.Create(m_hwndOwner);
    }
    EXPECT_TRUE(IsWindowEnabled(m_hwndOwner));
}

TEST_F(DisplayWindows, CopyProgressCancelFlagAndBar)
{
    CCopyProgressDlg progress;
    ASSERT_TRUE(progress.Create(m_hwndOwner));
    HWND hwnd = progress.CDialogWindow::GetHandle();
    EXPECT_EQ(gui::Text(hwnd), "Copying Files");
    EXPECT_FALSE(IsWindowEnabled(m_hwndOwner));
    EXPECT_EQ(SendDlgItemMessageA(hwnd, IDC_PROGRESS, PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendDlgItemMessageA(hwnd, IDC_PROGRESS, PBM_GETRANGE, FALSE, 0), 100);

    progress.SetStatusText("C:\\Vantler\\Tessel.exe");
    EXPECT_EQ(progress.SetProgressPos(40), 0);
    EXPECT_EQ(progress.SetProgressPos(40), 40);
    // The bar follows by its timer when the queue is served.
    Sleep(60);
    Pump();
    EXPECT_EQ(SendDlgItemMessageA(hwnd, IDC_PROGRESS, PBM_GETPOS, 0, 0), 40);
    EXPECT_EQ(gui::ItemText(hwnd, IDC_STATUS_TEXT), "C:\\Vantler\\Tessel.exe");

    // Two clicks before a check count once; OK (Enter) does nothing.
    gui::Press(hwnd, IDCANCEL);
    gui::Press(hwnd, IDCANCEL);
    gui::Press(hwnd, IDOK);
    Sleep(30);
    EXPECT_TRUE(progress.CheckCancel());
    Sleep(30);
    EXPECT_FALSE(progress.CheckCancel());
    EXPECT_TRUE(IsWindow(hwnd));
    Pump();
    gui::SaveScreenshot(hwnd, ScreenshotPath("copying-files"));

    progress.Destroy();
    EXPECT_TRUE(IsWindowEnabled(m_hwndOwner));
}

TEST_F(DisplayWindows, ReadOnlyDialogAnswersAndKeepsItsCheckBox)
{
    CReadOnlyDlg dialog;
    dialog.m_strFileName = "C:\\Vantler\\Tessel.hlp";
    const INT_PTR nResult = RunDriven([&] { return dialog.DoModal(); },
                                      [&] {
                                          HWND hwnd = gui::WaitForWindow("#32770", "Read-Only-File detected");
                                          ASSERT_NE(hwnd, nullptr);
                                          EXPECT_EQ(gui::ItemText(hwnd, IDC_READ_ONLY_TEXT),
                                                    "Setup has detected the Read-Only-File\r\nC:\\Vantler\\Tessel.hlp."
                                                    "\r\nOverwrite this file ?");
                                          EXPECT_EQ(IsDlgButtonChecked(hwnd, IDC_DONT_SHOW_AGAIN), BST_UNCHECKED);
                                          SendDlgItemMessageA(hwnd, IDC_DONT_SHOW_AGAIN, BM_CLICK, 0, 0);
                                          gui::SaveScreenshot(hwnd, ScreenshotPath("read-only-file"));

                                          gui::Press(hwnd, IDCANCEL);
                                          gui::Box box = gui::WaitForBox();
                                          EXPECT_EQ(box.strText, "Do you really want to quit Setup ?");
                                          EXPECT_EQ(m_boxes.StyleOf(box.strText), 36u);
                                          gui::Answer(box, IDNO);
                                          EXPECT_TRUE(IsWindowVisible(hwnd));
                                          EXPECT_EQ(IsDlgButtonChecked(hwnd, IDC_DONT_SHOW_AGAIN), BST_CHECKED);
                                          gui::Press(hwnd, IDNO);
                                      });
    EXPECT_EQ(nResult, 2);
    EXPECT_EQ(dialog.m_nDontShowAgain, 1);
}

// The dialog opens centred on its owner with the focus on "&Yes" (a Space
// must not tick the check box), and its question shows whole however long
// the path: one without blanks cannot wrap and is shortened in the middle.
TEST_F(DisplayWindows, ReadOnlyDialogStartsOnYesCentredWithTheQuestionWhole)
{
    const std::string strLong = "C:\\" + std::string(171, 'v') + "\\Deep\\Tessel.hlp";
    ASSERT_EQ(strLong.size(), 190u);
    SetMainWindow(m_hwndOwner);
    for (const std::string& strPath : {std::string("C:\\Vantler\\Tessel.hlp"), strLong}) {
        SCOPED_TRACE(strPath);
        CReadOnlyDlg dialog;
        dialog.m_strFileName = strPath;
        RunDriven([&] { return dialog.DoModal(); },
                  [&] {
                      HWND hwnd = gui::WaitForWindow("#32770", "Read-Only-File detected");
                      ASSERT_NE(hwnd, nullptr);
                      EXPECT_EQ(gui::Focus(hwnd), GetDlgItem(hwnd, IDOK));
                      const POINT ptCentred = gui::CentredPlace(hwnd, m_hwndOwner);
                      EXPECT_EQ(ptCentred.x, gui::WindowRect(hwnd).left);
                      EXPECT_EQ(ptCentred.y, gui::WindowRect(hwnd).top);

                      HWND hwndText = GetDlgItem(hwnd, IDC_READ_ONLY_TEXT);
                      const std::string strText = gui::Text(hwndText);
                      const std::string strShown = strText.substr(39, strText.find(".\r\n", 39) - 39);
                      EXPECT_EQ(strText, "Setup has detected the Read-Only-File\r\n" + strShown +
                                             ".\r\nOverwrite this file ?");
                      if (strPath == strLong)
                          EXPECT_EQ(strShown.substr(0, 7), "C:\\...\\") << strShown;
                      else
                          EXPECT_EQ(strShown, strPath);
                      EXPECT_EQ(strShown.substr(strShown.size() - 11), "\\Tessel.hlp");
                      // Each line fits the text's width, and all three its height.
                      RECT rc;
                      GetClientRect(hwndText, &rc);
                      HDC hdc = GetDC(hwndText);
                      const LRESULT lFont = SendMessageA(hwndText, WM_GETFONT, 0, 0);
                      HGDIOBJ hOld = SelectObject(hdc, reinterpret_cast<HGDIOBJ>(lFont));
                      TEXTMETRICA tm;
                      GetTextMetricsA(hdc, &tm);
                      EXPECT_LE(3 * tm.tmHeight, rc.bottom);
                      size_t nStart = 0;
                      for (size_t nEnd = 0; nEnd != std::string::npos; nStart = nEnd + 2) {
                          nEnd = strText.find("\r\n", nStart);
                          const std::string strLine = strText.substr(nStart, nEnd - nStart);
                          SIZE size;
                          GetTextExtentPoint32A(hdc, strLine.c_str(), static_cast<int>(strLine.size()), &size);
                          EXPECT_LE(size.cx, rc.right) << strLine;
                      }
                      SelectObject(hdc, hOld);
                      ReleaseDC(hwndText, hdc);
                      gui::SaveScreenshot(hwnd, ScreenshotPath("read-only-file-" + std::to_string(strPath.size())));
                      gui::Press(hwnd, IDOK);
                  });
    }
    SetMainWindow(nullptr);
}

}  // namespace
