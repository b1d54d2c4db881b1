// The Edit dialog: the user reworks a finished recording or an imported GIF before the GIF is
// made. The frame strip runs down the left edge; to its right the tool row (insert, delete or
// restore, reverse, slow replay, speed, colour levels, preview), the preview of the current
// frame, and the caption row along the bottom. Every change goes straight into the engine's
// frame list: there is no apply step and no undo.
//
// The main window opens it through the editor runner (RunEditDialog, registered by the
// application) only while its frames are ready and the capture thread is idle.
#pragma once

#include <functional>

#include "controls/dialog_font_helper.h"
#include "controls/icon_button.h"
#include "framework/framework.h"

// Integration points for the parts built beside this dialog: the caption row's colour pickers
// and list, taken when their headers are there.
#include "controls/color_picker_button.h"
#include "controls/list_ctrl_ex.h"

class CRecorderDlg;
class CxImage;
class XListView;
struct CaptionItem;

class CAddTextDlg : public CDialog {
    DECLARE_DYNAMIC(CAddTextDlg)
public:
    // Layout rules of the dialog.
    static constexpr int kMinWidth = 777;   // smallest window size when sized with the mouse
    static constexpr int kMinHeight = 602;
    static constexpr UINT kReplayTimer = 1;
    static constexpr UINT kReplayMs = 200;
    static constexpr int kLayoutCount = 19;

    // recorder: the main window, whose engine holds the frames edited here.
    explicit CAddTextDlg(CRecorderDlg& recorder, CWnd* pParent = nullptr);
    ~CAddTextDlg() override;

    // The frame numbers' picture: null outside 1..count.
    CxImage* FrameImage(int frame) const;
    int FrameCount() const;

    // Frame operations (the buttons' handlers; public so that scripted runs and tests can call
    // them as the buttons do).
    void OnDeleteRestore();
    void OnReverse();
    void OnSpeed();
    void OnInsertImage();
    void OnSlowReplay();
    void OnColorLevels();
    void OnPreview();
    // Sets the colour count from a command of the colour-levels menu (any other command: 256),
    // the button's text, and repaints the preview and the strip.
    void ApplyColorLevels(UINT command);
    // Inserts a picture file's frames through the strip at a 0-based array position; nothing
    // unless the current frame is a frame (1..count) and the position lies in 0..count.
    void InsertImageAt(int index);

    // Caption operations (add_text_dlg_captions.cpp).
    // A caption's x and y stay within this bound whatever is typed, so that picking, drawing
    // and frame preparation never overflow.
    static constexpr int kCaptionCoordMax = 1000000;
    void OnAddText();
    void OnDeleteText();
    // The first selected caption whose frames hold the current frame; null when none.
    CaptionItem* GetCurrentCaption() const;
    // Selects the caption alone, loads its style into the controls and shows its first frame.
    void SelectCaption(CaptionItem* caption);

    CRecorderDlg& recorder;
    CDialogFontHelper fontHelper;
    CPoint dragOffset;   // caption dragging
    CBrush hatchBrush;   // the preview area's background
    CRect previewRect;   // client coordinates
    CRect pictureRect;   // where the current frame was last drawn; empty before the first paint
    float previewScale = 1.0f;  // picture pixels per screen pixel, at least 1
    int currentFrame = 1;       // 1-based
    bool replaying = false;
    XListView* strip = nullptr;  // created when the dialog opens
    CComboBox fontCombo;
    CColorPickerButton textColorPicker;
    CColorPickerButton backColorPicker;
    CListCtrlEx captionList;
    CEdit cellEdit;
    int colorCount = 256;  // 256, 128, 64, 32 or 16; of the preview, the thumbnails and the GIF
    // Set when the dialog closed through Preview: the main window then makes the GIF with
    // colorCount.
    bool previewChosen = false;

    CIconButton addTextButton;
    CIconButton deleteTextButton;
    CIconButton deleteRestoreButton;
    CIconButton previewButton;
    CIconButton insertImageButton;
    CIconButton slowReplayButton;
    CIconButton reverseButton;
    CIconButton speedButton;
    CIconButton colorLevelsButton;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    LRESULT OnFramePicked(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR nIDEvent);
    void OnPaint();
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnSize(UINT nType, int cx, int cy);
    void OnSizing(UINT fwSide, LPRECT pRect);
    void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnDestroy();
    // The caption controls (add_text_dlg_captions.cpp).
    void OnFontChange();
    void OnSizeChange();
    void OnTextColor();
    void OnBackColor();
    void OnBold();
    void OnItalic();
    void OnBackStyleChange();
    void OnCaptionListClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnCaptionListRClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnCaptionListChanged(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    // Layout (add_text_dlg.cpp).
    void LayoutControls(bool record);
    void AnchorControl(int index, const CRect& client, bool record);
    void PlaceStripAndPreview();
    // The slow replay (add_text_dlg_frames.cpp).
    void StartReplay();
    void StopReplay();
    void EnableLockedControls(BOOL enable);
    // Painting (add_text_dlg_paint.cpp): the current frame into the canvas of the preview
    // area's size.
    void DrawCurrentFrame(CDC& canvas, int width, int height);
    // Captions (add_text_dlg_captions.cpp).
    void SetUpCaptionControls();
    void FillFontCombo();
    void InsertCaptionRow(CaptionItem* caption);
    int CaptionRow(const CaptionItem* caption) const;
    void ShowCaptionPlace(const CaptionItem* caption);
    void LoadCaptionStyle(const CaptionItem* caption);
    void SelectCaptionRow(const CaptionItem* caption);
    void SaveCaptionDefaults();
    // Repaints the picture without erasing: where it was last drawn, or the whole preview area
    // while nothing has been drawn there yet.
    void InvalidatePicture();
    // The picture pixel under a client point inside pictureRect.
    CPoint PicturePixel(CPoint point) const;
    // Draws one caption into the picture-size canvas, measuring it first.
    void DrawCaption(CDC& dc, CaptionItem& caption);
    void DrawCaptions(CDC& dc);
    static int OnBeginCellEdit(CWnd** editor, int row, int column, CString* text, DWORD_PTR data,
                               CListCtrlEx* list, int flag);
    static int OnEndCellEdit(CWnd** editor, int row, int column, CString* text, DWORD_PTR data,
                             CListCtrlEx* list, int flag);
    // Submenu 0 of the menu resource under a button, after `prepare` has had it; the chosen
    // command, 0 when dismissed or when the menu cannot be loaded.
    UINT TrackButtonMenu(UINT menuId, CWnd& button, const std::function<void(CMenu&)>& prepare = nullptr);

    // The strip on the engine's frames; its items point at the records and never own them.
    void CreateStrip();

    // What each anchored control keeps, in client pixels, recorded at every opening.
    struct LayoutEntry {
        int left = 0, width = 0, height = 0;
        int top = 0;        // the top row
        int bottomGap = 0;  // the caption row: distance of the bottom edge from the client's
        int rightGap = 0;   // the caption list: distance of the right edge from the client's
    };
    LayoutEntry layout[kLayoutCount];
    bool layoutRecorded = false;
};

// The editor runner that the application registers (recorder/editor_runner.h): runs the
// dialog modally over the main window and returns its colour count when it closed through
// Preview, else 0.
int RunEditDialog(CRecorderDlg& recorder);
