// The program's start-up road: the main window opens from its template, is placed from the
// settings, and writes the settings file when it closes.
#include <gtest/gtest.h>

#include "app/recorder_app.h"
#include "recorder/recorder_dlg.h"

namespace {

CRect g_seenWindow;
CString g_seenTitle;

// Runs inside the main window's modal loop: look at the window, then close it as the user would.
void CALLBACK CloseMainWindow(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    CWnd* main = AfxGetMainWnd();
    if (!main || !main->m_hWnd)
        return;
    main->GetWindowRect(&g_seenWindow);
    main->GetWindowText(g_seenTitle);
    main->PostMessage(WM_CLOSE);
}

TEST(MainWindow, OpensAtTheSavedPlaceAndSavesTheSettingsOnClose)
{
    DeleteFileW(CRecorderApp::SettingsFilePath());
    SetTimer(nullptr, 0, 300, &CloseMainWindow);
    theApp.RunMainDialog();

    EXPECT_EQ(300, g_seenWindow.left);
    EXPECT_EQ(200, g_seenWindow.top);
    EXPECT_EQ(620, g_seenWindow.Width());
    EXPECT_STREQ(L"Lumisho GIF制作", (LPCTSTR)g_seenTitle);
    EXPECT_EQ(nullptr, AfxGetMainWnd());

    // The close path wrote the file, and the next run reads the position back.
    CRecorderApp reloaded;
    reloaded.LoadSettings();
    EXPECT_EQ(300, reloaded.WndPosLeft);
    EXPECT_EQ(200, reloaded.WndPosTop);
    EXPECT_EQ(580, reloaded.WndPosEmptyWidth);
    EXPECT_EQ(380, reloaded.WndPosEmptyHeight);
    DeleteFileW(CRecorderApp::SettingsFilePath());
}

}  // namespace
