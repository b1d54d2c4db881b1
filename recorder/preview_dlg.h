// The preview and sharing window: shows a finished GIF with its frame count, size and
// dimensions, and lets it leave the program: saved under a chosen name, copied to the
// clipboard, made smaller for the micro-blogging service, or handed to the sibling poster
// program. The main window creates it hidden, hands it every finished GIF and destroys it when
// it closes; the window shows itself when a GIF arrives.
#pragma once

#include "controls/dialog_font_helper.h"
#include "controls/gif_explorer.h"
#include "controls/icon_button.h"
#include "framework/framework.h"

class CProgressWnd;
class CRecorderDlg;

class CPreviewDlg : public CDialog {
    DECLARE_DYNAMIC(CPreviewDlg)
public:
    explicit CPreviewDlg(CWnd* pParent = nullptr);
    ~CPreviewDlg() override;

    // The info line reads "<frames>F, <size>K, <width>*<height>". A hidden window is also sized
    // for the picture, placed beside the main window (inside the screen's work area) and shown,
    // unless the main window is minimised.
    void ShowGifInfo(int frames, int width, int height, float sizeKB);
    // Shows the GIF file in the view and, when it loads, its info (ShowGifInfo); gifPath becomes
    // path. False when the file is not a usable GIF (the window then stays as it was).
    bool ShowPlainGif(const CString& path);
    // Shows the window again with the GIF it showed before, if it shows one (after the main
    // window failed to make the GIF that the micro-blog command asked for).
    void ShowAgain();
    void LayoutPreview();

    void SaveGifAs();
    void CopyGifToClipboard();
    void UploadToImageHost();
    void ShareToMicroBlog();
    // Makes the compressed copy of the main window's GIF at the level qualityChoice names and
    // shows it. On failure the user is told, and the GIF shown before stays shown.
    // editorColours: the GIF was made for the Edit dialog's colour count; when the count cannot
    // be applied, the GIF is shown as written instead (the user told, unless they cancelled).
    void CompressForMicroBlog(bool editorColours = false);
    // Steps the progress window and handles waiting messages; FALSE when it is gone or cancelled.
    BOOL StepProgress(CProgressWnd* progress);

    // The compression level qualityChoice for an Edit-dialog colour count (16 .. 256); 0 for
    // any other count.
    static int QualityChoiceForColours(int colours);
    // Colour count and grey palette of a compression level; unknown levels give 256, no grey.
    static void CompressionFor(int choice, int* colours, bool* gray);
    // A program in the executable's folder.
    static CString SiblingProgramPath(LPCTSTR fileName);

    CDialogFontHelper fontHelper;
    CString gifPath;        // the GIF shown and acted on
    int qualityChoice = 0;  // a command id of the quality menu; 0 = none chosen
    CStatic infoLine;
    CGifexplorer browser;
    CIconButton btnMicroBlog;
    CIconButton btnSave;
    CIconButton btnEdit;
    CIconButton btnShare;
    CIconButton btnImport;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Every command is dropped while the Edit dialog runs: it must not start a GIF job or a
    // second editor on the frames it shows.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    void OnEnterKey();
    void OnSize(UINT nType, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    void OnSaveMenu();
    void OnMakeMicroBlogGif();
    void OnClose();
    void OnDestroy();
    void OnEditFrames();
    void OnShare();
    void OnOpenProductPage();
    DECLARE_MESSAGE_MAP()

private:
    // The main window, when the application's main window is one.
    static CRecorderDlg* Recorder();
    // Shows the window with SW_SHOWNORMAL, unless the main window is minimised.
    void ShowUnlessMainMinimized();
    void DeleteCompressedCopy();

    CString compressedCopy;  // the last compressed copy made here; deleted when replaced or at the end
};
