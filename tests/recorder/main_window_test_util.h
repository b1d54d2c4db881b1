// A real main window on the test display for the tests of its menus and imports: message boxes
// answered and logged, the settings file and the test's files removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/recorder_app.h"
#include "framework/file_dialog.h"
#include "framework/menu.h"
#include "recorder/recorder_dlg.h"
#include "res/resource.h"
#include "tests/test_pump.h"

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::DeleteFileW(CRecorderApp::SettingsFilePath());
        AfxSetMessageBoxResponder([this](LPCTSTR text, UINT) {
            boxes.push_back(text);
            return IDOK;
        });
        main = std::make_unique<CRecorderDlg>(theApp);
        theApp.m_pMainWnd = main.get();
        ASSERT_TRUE(main->Create(IDD_RECORDER_DIALOG));
        Pump(200);
    }

    void TearDown() override
    {
        CMenu::SetTestResponder(nullptr);
        CFileDialog::SetTestResponder(nullptr);
        AfxSetMessageBoxResponder(nullptr);
        main->state = RecorderIdle;
        main->SendMessage(WM_COMMAND, IDCANCEL);
        main->DestroyWindow();
        main.reset();
        theApp.m_pMainWnd = nullptr;
        ::DeleteFileW(CRecorderApp::SettingsFilePath());
        for (const CString& f : files)
            ::DeleteFileW(f);
    }

    std::unique_ptr<CRecorderDlg> main;
    std::vector<CString> boxes;  // texts of the message boxes shown
    std::vector<CString> files;  // deleted at the end
};
