// The watermark dialog: the text that every GIF gets in one corner, its place, size, colours and
// style, with a live sample to the right of the controls. Every control writes its setting the
// moment it changes; there is no OK or Cancel. The settings reach kelvo.ini when the main window
// closes, and the engine takes a copy of them when it next makes a GIF.
#pragma once

#include "capture/recorder_settings.h"
#include "controls/color_picker_button.h"
#include "controls/dialog_font_helper.h"
#include "framework/framework.h"
#include "res/logo_ids.h"

class CLogoSettingDlg : public CDialog {
public:
    enum { IDD = IDD_LOGO_SETTING };
    // The watermark text keeps at most this many UTF-16 units.
    static constexpr int kMaxTextLength = 30;
    // The places the position list offers (0 top left, 1 bottom left, 2 top right, 3 bottom
    // right); any other stored value shows no selection and is kept.
    static constexpr int kPlaceCount = 4;

    // settings: edited in place; it must outlive the dialog.
    explicit CLogoSettingDlg(RecorderSettings& settings, CWnd* pParent = nullptr);

    // Enter never closes the dialog: in the text edit it stores the text and updates the sample;
    // an open drop-down list closes on its highlighted item.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The sample area in client coordinates: the group box's rectangle moved right by its own
    // width and 22 pixels.
    CRect SampleRect() const;
    // Paints the sample, w x h, into a DC whose origin is the sample's top left.
    void DrawSample(CDC& dc, int w, int h);

    // The typed text as stored: white space trimmed at both ends, then at most kMaxTextLength
    // units, never ending between the two halves of a surrogate pair.
    static CString WatermarkTextFrom(CString typed);
    // Where the watermark box of tw x th goes in an area of w x h: the places the GIF uses.
    static CPoint SamplePlace(int position, int w, int h, int tw, int th);

    RecorderSettings& settings;
    CDialogFontHelper fontHelper;
    CColorPickerButton textPicker;
    CColorPickerButton boxPicker;
    CComboBox positionList;
    CComboBox sizeList;
    CBrush sampleBrush;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnEnableLogo();
    void OnClose();
    void OnPaint();
    void OnPositionChange();
    void OnTextColour();
    void OnBoxColour();
    void OnTextKillFocus();
    void OnSizeChange();
    void OnBoxCheck();
    void OnBoldCheck();
    void OnItalicCheck();
    DECLARE_MESSAGE_MAP()

private:
    void StoreText();
    void StorePosition();
    void StoreSize();
    void EnableDependents(bool enable);
    void RedrawSample();
    bool Checked(int id) const { return IsDlgButtonChecked(id) == BST_CHECKED; }
};
