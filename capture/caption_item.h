// One text caption laid over a range of frames: where it sits, which frames carry it, its
// background style and the image library's text record that draws it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "image/ximage.h"

// Background styles of a caption.
enum CaptionStyle : int32_t {
    CAPTION_STYLE_NONE = 0,
    CAPTION_STYLE_BOX = 1,      // filled rectangle in the background colour
    CAPTION_STYLE_OUTLINE = 2,  // letters outlined in the background colour
};

// Longest caption text: the record holds it NUL-terminated in 4096 UTF-16 units.
constexpr size_t kCaptionTextMax = sizeof(CXTEXTINFO::text) / sizeof(WCHAR) - 1;
// Longest face name of a caption's font (LOGFONTW holds 32 units with the terminator).
constexpr size_t kCaptionFaceMax = LF_FACESIZE - 1;

// A plain record of fixed size, made on the heap and owned by the caption list.
struct CaptionItem {
    uint8_t selected;    // 1 = chosen for editing, else 0
    int32_t x;           // left edge of the text box, picture pixels from the left column
    int32_t y;           // bottom edge of the text box, picture rows from the top (exclusive)
    int32_t width;       // measured size of the text in pixels, 0 until first drawn
    int32_t height;
    int32_t firstFrame;  // frames carrying the caption, 1-based, both ends inclusive
    int32_t lastFrame;
    int32_t style;       // CaptionStyle
    CXTEXTINFO textInfo; // handed whole to CxImage::DrawStringEx
};

// A zero-filled caption (no text, every flag 0, opacity 0.0, left alignment); delete it, or
// hand it to the caption list, which then owns it.
CaptionItem* NewCaptionItem();

// Copies at most kCaptionTextMax characters of text (null: empty) into the record, always
// terminated; a longer text is cut.
void SetCaptionText(CaptionItem& item, const wchar_t* text);
void SetTextInfoText(CXTEXTINFO& info, const wchar_t* text);

// The same for the font's face name, at most kCaptionFaceMax characters.
void SetCaptionFaceName(CaptionItem& item, const wchar_t* face);

// Length of the stored text, never reading past the record's 4096 units.
size_t CaptionTextLength(const CXTEXTINFO& info);

// True when frame (1-based) lies in firstFrame..lastFrame.
inline bool CaptionCoversFrame(const CaptionItem& item, int frame) {
    return item.firstFrame <= frame && frame <= item.lastFrame;
}
