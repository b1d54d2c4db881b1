// CxImage: the picture class of every frame. A 24-bit or 8-bit picture held in plain memory as
// a packed DIB, with the file codecs (BMP, JPEG and PNG through the Windows Imaging Component,
// GIF through our own codec), scaling, colour reduction, copying one picture into another,
// drawing to a device context and drawing text into the picture.
//
// Objects hold no platform handles between calls, so a picture made on one thread can be
// used on another (never by two at once).
#pragma once

#include <windows.h>

#include "image/packed_dib.h"

// Image types.
enum ENUM_CXIMAGE_FORMATS : DWORD {
    CXIMAGE_FORMAT_UNKNOWN = 0,
    CXIMAGE_FORMAT_BMP = 1,
    CXIMAGE_FORMAT_GIF = 2,
    CXIMAGE_FORMAT_JPG = 3,
    CXIMAGE_FORMAT_PNG = 4,
};

// Interpolation for Resample2: the generalised bicubic method.
enum InterpolationMethod { IM_BICUBIC2 = 5 };
// What Resample2 reads beyond the picture's edges: the edge pixels, repeated.
enum OverflowMethod { OM_REPEAT = 5 };
// Mix operation: the source picture's pixels replace the target's.
enum ImageOpType { OpDstCopy = 6 };

// Text description for CxImage::DrawStringEx.
struct CXTEXTINFO {
    WCHAR text[4096];  // NUL-terminated
    LOGFONTW lfont;
    COLORREF fcolor;   // text colour
    long align;        // DT_LEFT, DT_CENTER or DT_RIGHT for the lines inside the box
    BYTE smooth;       // 0: hard-edged letters; else anti-aliased
    BYTE opaque;       // 1: fill the text box with bcolor
    COLORREF bcolor;   // box colour
    float b_opacity;   // transparency of the box: 0.0 solid .. 1.0 invisible
    BYTE b_outline;    // kept for the record; not drawn
    BYTE b_round;      // corner radius of the box in pixels
};

class CxImage {
public:
    // An empty (not valid) picture that remembers its type.
    explicit CxImage(DWORD imagetype = CXIMAGE_FORMAT_UNKNOWN);
    // A copy. copypixels false gives a picture of the same size, depth and colour table with
    // all pixels 0. Pictures carry no selection and no alpha channel, so the last two
    // arguments change nothing.
    CxImage(const CxImage& src, bool copypixels = true, bool copyselection = true,
            bool copyalpha = true);
    // Loads a file (see Load).
    CxImage(const TCHAR* filename, DWORD imagetype);
    // Decodes a picture held in memory (see Decode).
    CxImage(const BYTE* buffer, DWORD size, DWORD imagetype);
    CxImage& operator=(const CxImage&) = default;
    ~CxImage() = default;

    // Reads a file of the given type; when the data is not of that type (or the type is
    // CXIMAGE_FORMAT_UNKNOWN) the format found in the data is used instead. GIF files give
    // their first frame as an 8-bit picture and count all frames; the other formats give
    // 24-bit pictures. False, and an empty picture, when nothing can be read.
    bool Load(const TCHAR* filename, DWORD imagetype = CXIMAGE_FORMAT_UNKNOWN);
    bool Decode(const BYTE* buffer, DWORD size, DWORD imagetype);
    // Writes the picture as BMP, JPEG, PNG or GIF. A 24-bit picture written as GIF keeps its
    // exact colours when it has at most 256, else it is dithered to a fixed colour cube.
    bool Save(const TCHAR* filename, DWORD imagetype) const;
    // Encodes into a new buffer (buffer must be null on entry); release it with FreeMemory.
    // An 8-bit picture encoded as GIF keeps its 256-entry colour table and pixel indexes.
    bool Encode(BYTE*& buffer, long& size, DWORD imagetype) const;
    static void FreeMemory(void* memblock);

    bool IsValid() const { return dib_.IsValid(); }
    DWORD GetWidth() const { return static_cast<DWORD>(dib_.Width()); }
    DWORD GetHeight() const { return static_cast<DWORD>(dib_.Height()); }
    WORD GetBpp() const { return static_cast<WORD>(dib_.BitsPerPixel()); }
    // Format of the data last read (the one found, after a fallback), else the constructor's.
    DWORD GetType() const { return type_; }
    // Frames of the file last read: every image of a GIF; 1 for other pictures; 0 when empty.
    long GetNumFrames() const { return IsValid() ? numFrames_ : 0; }
    // Type for a file extension (without the dot): bmp, jpg, jpeg, png, gif in any case.
    static DWORD GetTypeIdFromName(const TCHAR* ext);

    // The flags word (the recorder keeps 1 for a kept frame and 0 for a deleted one).
    // With bLockReservedFlags the upper 16 bits are reserved and keep their value.
    DWORD GetFlags() const { return flags_; }
    void SetFlags(DWORD flags, bool bLockReservedFlags = true);

    // The packed DIB (header, colour table, bottom-up rows padded to 4 bytes); valid until
    // the picture next changes. Null for an empty picture.
    void* GetDIB() const;
    long GetTransIndex() const { return transIndex_; }
    void SetTransIndex(long idx) { transIndex_ = idx; }
    static RGBQUAD RGBtoRGBQUAD(COLORREF cr);

    // Becomes a 24-bit copy of the bitmap's pixels. hpal is not needed for screen bitmaps.
    bool CreateFromHBITMAP(HBITMAP hbmp, HPALETTE hpal = nullptr);
    // Scales to newx x newy (sizes below 1 become 1) into iDst, or in place when iDst is
    // null. The result is 24-bit. Shrinking averages unless disableAveraging.
    bool Resample2(long newx, long newy, InterpolationMethod mode = IM_BICUBIC2,
                   OverflowMethod ofMethod = OM_REPEAT, CxImage* const iDst = nullptr,
                   bool const disableAveraging = false);
    // Copies imgsrc2 into this picture: pixel (x, y) takes the source pixel
    // (x + lXOffset, y + lYOffset) where it exists, rows counted from the bottom. A negative
    // offset moves the source right or up. The picture becomes 24-bit if it was not.
    bool Mix(const CxImage& imgsrc2, ImageOpType op, long lXOffset = 0, long lYOffset = 0,
             bool bMixAlpha = false);
    // Reduces to 8 bits with ppal (256 entries) as colour table: each pixel takes the nearest
    // of the first clrimportant entries (all when 0), by squared RGB distance, the lowest
    // index on ties; errordiffusion spreads the error by Floyd-Steinberg.
    bool DecreaseBpp(DWORD nbit, bool errordiffusion, RGBQUAD* ppal = nullptr,
                     DWORD clrimportant = 0);

    // Draws the picture to the device context, at its own size when cx or cy is below 0.
    // bSmooth uses halftone stretching. Returns 1, or 0 when nothing was drawn.
    long Draw(HDC hdc, long x = 0, long y = 0, long cx = -1, long cy = -1,
              RECT* pClipRect = nullptr, bool bSmooth = false) const;
    long Draw(HDC hdc, const RECT& rect, RECT* pClipRect = nullptr, bool bSmooth = false) const;
    long Stretch(HDC hdc, long xoffset, long yoffset, long xsize, long ysize,
                 DWORD dwRop = SRCCOPY) const;

    // Text drawn into the picture; hdc is not needed and may be null. The text box is the
    // size that DrawText measures (DT_CALCRECT) for the font; its left edge is x and its
    // bottom edge y (rows from the top, exclusive). Returns 1 when drawn, 0 otherwise.
    // DrawString: hard-edged letters in color, no background; lSize is the font height.
    long DrawString(HDC hdc, long x, long y, const TCHAR* text, RGBQUAD color,
                    const TCHAR* font, long lSize = 0, long lWeight = 400, BYTE bItalic = 0,
                    BYTE bUnderline = 0, bool bSetAlpha = false);
    // DrawStringEx: the box in bcolor first when opaque, then the letters in fcolor.
    long DrawStringEx(HDC hdc, long x, long y, CXTEXTINFO* pTextType, bool bSetAlpha = false);

private:
    bool DecodeAs(const BYTE* buffer, DWORD size, DWORD imagetype);
    // Gives the picture 24 bits per pixel (text and mixing work on those).
    bool MakeTrueColour();
    bool PaintText(long x, long y, const LOGFONTW& font, const WCHAR* text, long align,
                   bool smooth, bool box, RGBQUAD textColour, RGBQUAD boxColour,
                   float boxTransparency, long boxRadius);

    pixels::PackedDib dib_;
    DWORD type_ = CXIMAGE_FORMAT_UNKNOWN;
    DWORD flags_ = 0;
    long transIndex_ = -1;
    long numFrames_ = 0;
};
