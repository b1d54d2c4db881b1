// Frame preparation: the kept frames become the output frames of the GIF, with the captions
// drawn in before scaling (so they scale with the picture) and the watermark after.
#include <cwchar>
#include <memory>
#include <new>
#include <string>

#include "capture/caption_list.h"
#include "capture/screen_recorder.h"
#include "image/gdi_objects.h"

namespace {

// The watermark box's size when it cannot be measured.
constexpr int kDefaultTextWidth = 20;
constexpr int kDefaultTextHeight = 15;

// Place of the watermark box: (x, y) = left edge and bottom edge (exclusive).
void WatermarkPlace(int position, int w, int h, int textW, int textH, long& x, long& y) {
    switch (position) {
    case 0: x = 0; y = textH; break;              // top left
    case 1: x = 0; y = h; break;                  // bottom left
    case 3: x = w - textW; y = h; break;          // bottom right
    default: x = w - textW; y = textH; break;     // top right
    }
}

}  // namespace

void CScreenRecorder::MeasureWatermarkText(int& width, int& height) {
    if (!watermarkOn) return;
    ximage_gdi::ScreenDc screen;
    if (!screen.Get()) return;
    ximage_gdi::MemoryDc dc(screen.Get());
    if (!dc.Get()) return;
    LOGFONTW described = watermarkText.lfont;
    described.lfFaceName[LF_FACESIZE - 1] = 0;
    ximage_gdi::GdiObject<HFONT> font(CreateFontIndirectW(&described));
    if (!font.Get()) return;
    ximage_gdi::Selection selected(dc.Get(), font.Get());
    if (!selected.Ok()) return;  // measuring in another font would misplace the box
    watermarkText.align = 0;
    const size_t length = CaptionTextLength(watermarkText);
    RECT measured{0, 0, 0, 0};
    DrawTextW(dc.Get(), watermarkText.text, static_cast<int>(length), &measured,
              DT_CALCRECT | DT_NOPREFIX);
    width = measured.right - measured.left;
    height = measured.bottom - measured.top;
}

void CScreenRecorder::DrawCaptions(CxImage& picture, int frameNumber) {
    POSITION pos = captions.GetHeadPosition();
    while (pos) {
        const CaptionItem* caption = GetNextCaption(captions, pos);
        if (!caption || !CaptionCoversFrame(*caption, frameNumber)) continue;
        // The record's text and face name need not be terminated; never read past them.
        const std::wstring text(caption->textInfo.text, CaptionTextLength(caption->textInfo));
        const LOGFONTW& lf = caption->textInfo.lfont;
        if (caption->style == CAPTION_STYLE_OUTLINE) {
            const std::wstring face(lf.lfFaceName, wcsnlen(lf.lfFaceName, kCaptionFaceMax));
            // Hard-edged letters in the background colour at the eight neighbouring offsets
            // and the centre, then the letters in the text colour on top.
            const RGBQUAD outline = CxImage::RGBtoRGBQUAD(caption->textInfo.bcolor);
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy)
                    picture.DrawString(nullptr, caption->x + dx, caption->y + dy, text.c_str(),
                                       outline, face.c_str(), lf.lfHeight, lf.lfWeight,
                                       lf.lfItalic, lf.lfUnderline, false);
            picture.DrawString(nullptr, caption->x, caption->y, text.c_str(),
                               CxImage::RGBtoRGBQUAD(caption->textInfo.fcolor), face.c_str(),
                               lf.lfHeight, lf.lfWeight, lf.lfItalic, lf.lfUnderline, false);
        } else {
            // Style 1's box comes from the record's opaque flag.
            CXTEXTINFO info = caption->textInfo;
            picture.DrawStringEx(nullptr, caption->x, caption->y, &info, false);
        }
    }
}

void CScreenRecorder::ProcessFrames(int mode) {
    const INT_PTR n = frames.GetSize();
    if (n < 1) return;
    int textW = kDefaultTextWidth, textH = kDefaultTextHeight;
    if (watermarkOn) MeasureWatermarkText(textW, textH);
    int w = 0, h = 0;
    OutputSize(mode, w, h);

    const float step = static_cast<float>(60.0 / static_cast<double>(n));
    for (INT_PTR i = 0; i < n; ++i) {
        if (quitRequested) return;  // the program is closing
        const FrameRecord* source = frames[i];
        // Deleted frames are skipped but still count for frame numbers and progress.
        if (source && source->image && source->image->IsValid() && source->image->GetFlags() != 0) {
            std::unique_ptr<CxImage> copy(new CxImage(*source->image, true, true, true));
            DrawCaptions(*copy, static_cast<int>(i) + 1);
            copy->Resample2(w, h, IM_BICUBIC2, OM_REPEAT, nullptr, false);
            if (watermarkOn) {
                long x = 0, y = 0;
                WatermarkPlace(watermarkPos, w, h, textW, textH, x, y);
                copy->DrawStringEx(nullptr, x, y, &watermarkText, false);
            }
            copy->SetTransIndex(-1);
            std::unique_ptr<FrameRecord> record(new FrameRecord{copy.get(), source->delay});
            if (processedFrames.Add(record.get()) < 0) throw std::bad_alloc();
            copy.release();
            record.release();
        }
        const int percent = static_cast<int>(static_cast<float>(i) * step);
        if (percent < 60) PostReport(WM_GIF_PROGRESS, 0, percent);
    }
}
