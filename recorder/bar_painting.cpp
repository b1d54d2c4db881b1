#include "recorder/bar_painting.h"

#include "capture/recorder_state.h"

#include "res/resource.h"

namespace {

constexpr int kOuterBand = 5;
constexpr int kStripMarkWidth = 25;   // the strip's marks: 25 x 5, 15 px in from each end
constexpr int kBarMarkLength = 20;    // the bars' marks: 5 x 20 on the inner side
constexpr int kMarkThickness = 5;

CString LoadFormat(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}

void FillVerticalGradient(CDC& dc, const CRect& r, COLORREF top, COLORREF bottom)
{
    TRIVERTEX v[2] = {};
    v[0].x = r.left;
    v[0].y = r.top;
    v[0].Red = static_cast<COLOR16>(GetRValue(top) << 8);
    v[0].Green = static_cast<COLOR16>(GetGValue(top) << 8);
    v[0].Blue = static_cast<COLOR16>(GetBValue(top) << 8);
    v[1].x = r.right;
    v[1].y = r.bottom;
    v[1].Red = static_cast<COLOR16>(GetRValue(bottom) << 8);
    v[1].Green = static_cast<COLOR16>(GetGValue(bottom) << 8);
    v[1].Blue = static_cast<COLOR16>(GetBValue(bottom) << 8);
    GRADIENT_RECT mesh = {0, 1};
    dc.GradientFill(v, 2, &mesh, 1, GRADIENT_FILL_RECT_V);
}

void DrawStatusText(CDC& dc, const CRect& client, const RecorderView& view)
{
    const StatusText text = ComposeStatusText(view);
    CFont font;
    font.CreateFont(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Verdana");
    const HGDIOBJ oldFont = dc.SelectObject(font.m_hObject);
    const int oldMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF oldColour = dc.SetTextColor(text.colour);
    for (int i = 0; i < text.lineCount; ++i) {
        CRect line = client;
        line.OffsetRect(text.offsets[i].x, text.offsets[i].y);
        dc.DrawText(text.lines[i], &line, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    dc.SetTextColor(oldColour);
    dc.SetBkMode(oldMode);
    dc.SelectObject(oldFont);
}

}  // namespace

bool IndicatorsLit(const RecorderView& view) { return view.recBlink && view.state == RecorderRecording; }

StatusText ComposeStatusText(const RecorderView& view)
{
    StatusText text;
    if (view.state == RecorderRecording) {
        // A rate below 1 would divide by zero; the settings never give one, a damaged file might.
        const int rate = view.rate >= 1 ? view.rate : 1;
        text.colour = bar_colours::kRecordingText;
        text.lineCount = 2;
        text.lines[0].Format(LoadFormat(IDS_STATUS_FRAMES), view.frameCount);
        text.lines[1].Format(LoadFormat(IDS_STATUS_SECONDS), static_cast<double>(view.frameCount) / rate);
        text.offsets[0] = CPoint(7, 0);
        text.offsets[1] = CPoint(7, 16);
    } else if (view.state == RecorderMaking) {
        text.lineCount = 1;
        text.lines[0].Format(LoadFormat(IDS_STATUS_MAKING), view.progress);
        text.offsets[0] = CPoint(7, 6);
    } else {
        const CRect& r = view.captureRect;
        text.lineCount = 2;
        text.lines[0].Format(LoadFormat(IDS_STATUS_TOP_LEFT), r.top, r.left);
        text.lines[1].Format(LoadFormat(IDS_STATUS_SIZE), r.Width(), r.Height());
        text.offsets[0] = CPoint(7, 0);
        text.offsets[1] = CPoint(7, 16);
    }
    return text;
}

void PaintStatusStrip(CDC& dc, const CRect& client, const RecorderView& view)
{
    using namespace bar_colours;
    const int w = client.Width(), h = client.Height();
    dc.FillSolidRect(CRect(0, 0, w, kStripFrameBand), kFrame);
    FillVerticalGradient(dc, CRect(0, kStripFrameBand, w, h), kGradientTop, kGradientBottom);
    dc.FillSolidRect(CRect(0, 0, kOuterBand, h), kOuterEdge);
    dc.FillSolidRect(CRect(w - kOuterBand, 0, w, h), kOuterEdge);
    dc.FillSolidRect(CRect(0, h - kOuterBand, w, h), kOuterEdge);
    if (IndicatorsLit(view)) {
        dc.FillSolidRect(CRect(15, 0, 15 + kStripMarkWidth, kMarkThickness), kIndicator);
        dc.FillSolidRect(CRect(w - 15 - kStripMarkWidth, 0, w - 15, kMarkThickness), kIndicator);
    }
    DrawStatusText(dc, client, view);
}

void PaintEdgeBar(CDC& dc, const CRect& client, bool leftBar, bool indicatorsLit)
{
    using namespace bar_colours;
    const int w = client.Width(), h = client.Height();
    dc.FillSolidRect(CRect(0, 0, w, h), kFrame);
    const CRect outer = leftBar ? CRect(0, 0, kOuterBand, h) : CRect(w - kOuterBand, 0, w, h);
    dc.FillSolidRect(outer, kOuterEdge);
    if (indicatorsLit) {
        // On the inner side of the 20-pixel bar, next to the capture area's corners.
        const int left = leftBar ? 15 : w - 20;
        dc.FillSolidRect(CRect(left, 0, left + kMarkThickness, kBarMarkLength), kIndicator);
        dc.FillSolidRect(CRect(left, h - kBarMarkLength, left + kMarkThickness, h), kIndicator);
    }
}
