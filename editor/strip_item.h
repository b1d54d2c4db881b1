// One row of the frame strip: the frame it shows (the engine's record, never owned), the row's
// thumbnail (owned) and the rectangles where the row was last laid out or painted.
#pragma once

#include <windows.h>

#include <memory>

#include "capture/screen_recorder.h"
#include "framework/gdi.h"
#include "image/ximage.h"

class CStripItem {
public:
    // Largest thumbnail; a thumbnail is always this wide or this high.
    static constexpr int kThumbWidth = 80;
    static constexpr int kThumbHeight = 60;
    // Narrowest row the layout accepts: a thumbnail box of no height.
    static constexpr int kMinLayoutWidth = 27;

    // A layout template: no frame, no thumbnail, empty rectangles.
    CStripItem();
    // An unselected row for the record, its thumbnail made at once; a null record gives none.
    explicit CStripItem(FrameRecord* record);
    CStripItem(const CStripItem&) = delete;
    CStripItem& operator=(const CStripItem&) = delete;

    // Lays the row out for a width (at least kMinLayoutWidth is used) and moves it down by
    // yOffset; returns the row height.
    int Layout(int width, int yOffset);
    void OffsetRects(int yOffset);
    void CopyRects(const CStripItem& other);

    // Paints the row: thumbnail, 1-based number, delay and check box. colorCount below 256
    // shows the thumbnail reduced to that many colours.
    void Draw(CDC* pDC, int number, int colorCount);
    void DrawThumbnail(CDC* pDC, int colorCount);
    void DrawCheckBox(CDC* pDC);

    // Kept frames have a picture whose flags word is not 0.
    bool IsKept() const;

    RECT itemRect = {};
    RECT thumbRect = {};
    RECT checkRect = {};
    RECT delayRect = {};
    BYTE selected = 0;
    FrameRecord* frame = nullptr;
    std::unique_ptr<CxImage> thumbnail;
};
