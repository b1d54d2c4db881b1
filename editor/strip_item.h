// One row of the frame strip: the frame it shows (the engine's record, never owned), the row's
// thumbnail (owned) and the rectangles where the row was last laid out or painted.
//
// The thumbnail is made the first time the row is painted, not when the row is made: a strip of
// a thousand frames shows a handful, and scaling every picture up front kept the Edit dialog
// from opening for seconds. Once made it is kept, with its copy reduced to the colour count
// last painted, until the frame's picture changes.
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
    // An unselected row for the record; its thumbnail waits for the first paint.
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

    // Makes the thumbnail (at most 80 x 60, the frame's shape) unless the one there was made
    // from the frame's present picture; false when there is no picture to make it from.
    bool MakeThumbnail();
    // Forgets the thumbnail and its reduced copy; the next paint makes them again.
    void DropThumbnail();
    // Trades thumbnails, reduced copies included, with another row, as when two rows' frames
    // trade places: nothing is made again.
    void SwapThumbnails(CStripItem& other);

    RECT itemRect = {};
    RECT thumbRect = {};
    RECT checkRect = {};
    RECT delayRect = {};
    BYTE selected = 0;
    FrameRecord* frame = nullptr;
    std::unique_ptr<CxImage> thumbnail;  // null until the row is first painted

private:
    // The thumbnail as the row shows it at colorCount, its reduced copy made when needed.
    const CxImage* ShownThumbnail(int colorCount);

    const CxImage* thumbnailSource = nullptr;  // the picture the thumbnail was made from
    std::unique_ptr<CxImage> reduced;          // the thumbnail at reducedColors colours
    int reducedColors = 0;
};
