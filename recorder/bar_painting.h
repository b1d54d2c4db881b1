// Painting of the status strip and the edge bars, and the strip's status text, as functions of
// the main window's values, so they can be drawn and checked in a memory DC.
#pragma once

#include "framework/framework.h"

namespace bar_colours {
constexpr COLORREF kFrame = RGB(128, 128, 128);         // the strip's top band, the bars' inner part
constexpr COLORREF kOuterEdge = RGB(33, 126, 104);      // 5-pixel outer bands
constexpr COLORREF kGradientTop = RGB(227, 227, 227);   // strip below its top band ...
constexpr COLORREF kGradientBottom = RGB(255, 255, 255);  // ... down to white
constexpr COLORREF kIndicator = RGB(255, 215, 0);       // recording marks
constexpr COLORREF kRecordingText = RGB(0, 0, 99);
constexpr COLORREF kText = RGB(0, 0, 0);
}  // namespace bar_colours

// Height of the grey band along the strip's top edge.
constexpr int kStripFrameBand = 15;

// What the bars show of the main window.
struct RecorderView {
    int state = 0;           // a RecorderState
    bool recBlink = false;   // recording marks lit
    CRect captureRect;       // screen coordinates
    int frameCount = 0;
    int rate = 15;           // frames per second of the recording shown
    int progress = 0;        // percent of the GIF being made
};

// The recording marks show only while recording, in the lit half of their blink.
bool IndicatorsLit(const RecorderView& view);

// The one or two lines of the strip's status text, each drawn into the client rectangle moved
// by its offset, vertically centred there.
struct StatusText {
    COLORREF colour = bar_colours::kText;
    int lineCount = 0;
    CString lines[2];
    CPoint offsets[2];
};

// Recording: frame count and elapsed seconds; making the GIF: the percentage; otherwise the
// capture area's top-left corner (top first) and its size. Formats come from the string table.
StatusText ComposeStatusText(const RecorderView& view);

void PaintStatusStrip(CDC& dc, const CRect& client, const RecorderView& view);
void PaintEdgeBar(CDC& dc, const CRect& client, bool leftBar, bool indicatorsLit);
