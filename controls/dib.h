// CDib: a small device-independent bitmap in one memory block (information header, palette,
// then the pixel rows bottom-up), drawn through a DIB section that it makes at the first draw.
// The shade button keeps its generated faces in it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>

#include "framework/gdi.h"

class CDib {
public:
    CDib() = default;
    virtual ~CDib();
    CDib(const CDib&) = delete;
    CDib& operator=(const CDib&) = delete;

    // A zero-filled picture; null (and the object empty) for a side outside 1..32767, more
    // pixels than the image layer accepts, a depth other than 1, 4, 8, 16, 24 or 32 bits, or a
    // block that cannot be allocated.
    BYTE* Create(int width, int height, int bitCount);
    void Release();

    size_t GetBlockSize() const;
    DWORD GetPaletteSize() const { return m_colorCount * 4u; }
    // The pixel rows inside the block; null without a block.
    BYTE* GetBits() const;
    int GetWidth() const { return m_header.biWidth; }
    int GetHeight() const { return m_header.biHeight; }
    DWORD GetStride() const { return m_stride; }
    WORD GetBitCount() const { return m_header.biBitCount; }
    WORD GetColorCount() const { return m_colorCount; }

    void SetPaletteEntry(int index, BYTE red, BYTE green, BYTE blue);
    static RGBQUAD ToPaletteEntry(COLORREF color);
    // Moves every palette entry toward the colour by the percent (limited to 0..100).
    void BlendPalette(COLORREF color, int percent);
    // Every image byte becomes the value.
    void Clear(BYTE value);
    // 8-bit pictures only; y counts from the top. Points outside the picture are ignored.
    void SetPixelIndex(int x, int y, BYTE index);
    // Becomes a copy of the other picture; copying onto itself changes nothing.
    void CopyFrom(const CDib& other);
    void Draw(CDC* pDC, int x, int y);
    // Entry i = grey level i, then entry 0 black and the last entry white.
    void MakeGrayPalette();
    // A .bmp file of the picture: TRUE when every byte was written; no file is left behind on
    // failure.
    BOOL SaveAsBmp(LPCTSTR fileName) const;

private:
    RGBQUAD* Palette() const;
    BYTE* Pixel(int x, int y) const;

    std::unique_ptr<BYTE[]> m_block;
    BITMAPINFOHEADER m_header = {};
    DWORD m_stride = 0;
    WORD m_colorCount = 0;
    CBitmap m_section;
    CDC m_memDC;
    void* m_sectionBits = nullptr;
};
