// The main capture window: a borderless strip across the top of the capture area, with the
// title, the ten buttons and the recording marks. It owns the capture engine and the modeless
// windows around the capture area, and runs the five-state machine that every other window of
// the recorder consults.
#pragma once

#include "capture/recorder_settings.h"
#include "capture/screen_recorder.h"
#include "controls/bitmap_button.h"
#include "controls/dialog_font_helper.h"
#include "controls/icon_button.h"
#include "framework/framework.h"

class CPreviewDlg;
class CBottomDialog;
class CLeftDialog;
class CRightDialog;
class CBlankNoticeDlg;
class CProgressWnd;

constexpr UINT WM_LAYOUT_PANELS = WM_USER + 101;

class CRecorderDlg : public CDialog {
public:
    // settings: read and changed by the window and its menus, loaded when it opens and saved
    // when it closes; it must outlive the window.
    explicit CRecorderDlg(RecorderSettings& settings, CWnd* pParent = nullptr);
    ~CRecorderDlg() override;

    // Places the bars and the strip around the capture area below the window; wParam is a new
    // capture height, 0 keeps it. Called directly by the bars while they drag.
    LRESULT OnLayoutPanels(WPARAM wParam, LPARAM lParam);
    // Does nothing while the Edit dialog runs.
    void MakeGif(int mode);
    // Opens the Edit dialog on the frames (main window, preview and import all come here): only
    // when the frames are ready (state 3, a first frame, capture thread idle), and not a second
    // time. While it runs the preview is hidden and `editing` holds; afterwards the frame count
    // is refreshed, and the GIF is made when the dialog closed with its Preview button. False
    // when it refused.
    bool OpenEditor();
    // Replaces the frames with those of an animated GIF; false (frames untouched) when the file
    // is not an animated GIF that could be read.
    bool LoadGifFile(LPCTSTR path);
    // Acts on a command of the settings menu (also what the menu returns).
    void OnSettingsCommand(UINT id);
    // One step of a long job: false when the window is gone or the user cancelled.
    static bool StepProgress(CProgressWnd* progress);
    // Frames per second of the running (or last) recording: elapsed time and blinking follow it,
    // not a rate changed in the settings meanwhile.
    int RecordingRate() const { return recordingRate; }

    // Shared with the bars, the strip, the preview and the editor.
    RecorderSettings& settings;
    CDialogFontHelper fontHelper;
    HICON icon = nullptr;
    CRect captureRect;
    CPoint grabPoint;
    bool dragLeft = false;
    bool dragRight = false;
    bool dragTop = false;
    bool dragTopLeft = false;
    bool dragTopRight = false;
    bool recBlink = false;
    CScreenRecorder engine;
    CPreviewDlg* preview = nullptr;
    CBottomDialog* bottomBar = nullptr;
    CRightDialog* rightBar = nullptr;
    CLeftDialog* leftBar = nullptr;
    CBlankNoticeDlg* notice = nullptr;
    int state = RecorderIdle;
    int frameCount = 0;
    // True while the Edit dialog runs: it shows and changes the frames in place, so nothing else
    // may start a GIF, an import or a recording then.
    bool editing = false;
    CString gifPath;

    CMyBitmapButton closeButton;
    CMyBitmapButton minimizeButton;
    CMyBitmapButton maximizeButton;
    CIconButton startButton;
    CIconButton stopButton;
    CIconButton editButton;
    CIconButton previewButton;
    CIconButton settingsButton;
    CIconButton tutorialButton;
    CIconButton shareButton;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;

    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnEnterKey();
    void OnCloseButton();
    void OnDestroy();
    void OnStartPause();
    void OnStopRecording();
    void OnPreview();
    void OnEdit();
    void OnSettingsMenu();
    void OnMinimize();
    void OnTutorial();
    void OnShare();
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnDropFiles(HDROP hDropInfo);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnFrameCaptured(WPARAM wParam, LPARAM lParam);
    LRESULT OnCaptureStopped(WPARAM wParam, LPARAM lParam);
    LRESULT OnGifProgress(WPARAM wParam, LPARAM lParam);
    LRESULT OnGifDone(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    bool CanImport() const;
    void ImportFromFileDialog();
    void ImportFromClipboard();
    void OpenEditorAfterImport();
    // Deletes the temporary GIFs made before: all but the one the preview shows and gifPath.
    void DeleteSupersededGifs();
    void RepaintRecordingViews();
    void SetStartButton(UINT textId, int iconId);
    void SetTopmost(bool topmost);
    int recordingRate = 15;  // the rate the running recording was started with
};

// The text after the last "." of the whole name; the end of the name when there is none.
const wchar_t* FindExtension(const wchar_t* name);
