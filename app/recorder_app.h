// The application object and the settings that every window of the recorder reads.
#pragma once

#include "capture/recorder_settings.h"
#include "framework/framework.h"

class CRecorderApp : public CWinApp, public RecorderSettings {
public:
    CRecorderApp();
    ~CRecorderApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    void RunMainDialog();
    void LoadSettings() { Load(SettingsFilePath()); }
    void SaveSettings() { Save(SettingsFilePath()); }
    void LoadLanguageDll();
    void ReadLanguageSetting();

    // kelvo.ini beside the executable.
    static CString SettingsFilePath() { return RecorderSettings::FilePath(); }

    HMODULE languageLibrary = nullptr;  // never saved

protected:
    DECLARE_MESSAGE_MAP()
};

extern CRecorderApp theApp;
