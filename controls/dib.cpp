#include "controls/dib.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "image/handles.h"
#include "image/packed_dib.h"

namespace {

static_assert(sizeof(BITMAPFILEHEADER) == 14, "the file header is written as it lies in memory");

WORD ColorsFor(int bitCount)
{
    switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

bool WriteAll(HANDLE file, const BYTE* data, size_t size)
{
    // WriteFile takes 32-bit counts; the block is written in pieces well below that.
    constexpr size_t kPiece = 1u << 24;
    while (size > 0) {
        const DWORD piece = (DWORD)std::min(size, kPiece);
        DWORD written = 0;
        if (!::WriteFile(file, data, piece, &written, nullptr) || written != piece)
            return false;
        data += piece;
        size -= piece;
    }
    return true;
}

}  // namespace

CDib::~CDib() { Release(); }

BYTE* CDib::Create(int width, int height, int bitCount)
{
    Release();
    if (width < 1 || height < 1 || width > pixels::kMaxSide || height > pixels::kMaxSide ||
        (long long)width * height > pixels::kMaxPixels)
        return nullptr;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return nullptr;

    const size_t stride = ((size_t)bitCount * (size_t)width + 31) / 32 * 4;
    const size_t imageSize = stride * (size_t)height;
    const WORD colors = ColorsFor(bitCount);
    const size_t blockSize = sizeof(BITMAPINFOHEADER) + colors * 4u + imageSize;
    m_block.reset(new (std::nothrow) BYTE[blockSize]());
    if (!m_block)
        return nullptr;

    m_colorCount = colors;
    m_stride = (DWORD)stride;
    m_header.biSize = sizeof(BITMAPINFOHEADER);
    m_header.biWidth = width;
    m_header.biHeight = height;
    m_header.biPlanes = 1;
    m_header.biBitCount = (WORD)bitCount;
    m_header.biCompression = BI_RGB;
    m_header.biSizeImage = (DWORD)imageSize;
    std::memcpy(m_block.get(), &m_header, sizeof(m_header));
    return m_block.get();
}

void CDib::Release()
{
    m_memDC.DeleteDC();
    m_section.DeleteObject();
    m_sectionBits = nullptr;
    m_block.reset();
    m_header = BITMAPINFOHEADER{};
    m_stride = 0;
    m_colorCount = 0;
}

size_t CDib::GetBlockSize() const
{
    if (!m_block)
        return 0;
    return sizeof(BITMAPINFOHEADER) + GetPaletteSize() + (size_t)m_stride * (size_t)m_header.biHeight;
}

BYTE* CDib::GetBits() const
{
    return m_block ? m_block.get() + sizeof(BITMAPINFOHEADER) + GetPaletteSize() : nullptr;
}

RGBQUAD* CDib::Palette() const
{
    return m_block && m_colorCount ? reinterpret_cast<RGBQUAD*>(m_block.get() + sizeof(BITMAPINFOHEADER)) : nullptr;
}

BYTE* CDib::Pixel(int x, int y) const
{
    return GetBits() + (size_t)(m_header.biHeight - y - 1) * m_stride + (size_t)x;
}

void CDib::SetPaletteEntry(int index, BYTE red, BYTE green, BYTE blue)
{
    RGBQUAD* palette = Palette();
    if (!palette || index < 0 || index >= m_colorCount)
        return;
    palette[index] = RGBQUAD{blue, green, red, 0};
}

RGBQUAD CDib::ToPaletteEntry(COLORREF color)
{
    return RGBQUAD{GetBValue(color), GetGValue(color), GetRValue(color), 0};
}

void CDib::BlendPalette(COLORREF color, int percent)
{
    RGBQUAD* palette = Palette();
    if (!palette)
        return;
    percent = std::clamp(percent, 0, 100);
    const RGBQUAD target = ToPaletteEntry(color);
    auto mix = [percent](BYTE channel, BYTE toward) {
        return (BYTE)((channel * (100 - percent) + toward * percent) / 100);
    };
    for (int i = 0; i < m_colorCount; ++i) {
        RGBQUAD& entry = palette[i];
        entry.rgbBlue = mix(entry.rgbBlue, target.rgbBlue);
        entry.rgbGreen = mix(entry.rgbGreen, target.rgbGreen);
        entry.rgbRed = mix(entry.rgbRed, target.rgbRed);
    }
}

void CDib::Clear(BYTE value)
{
    if (m_block)
        std::memset(GetBits(), value, (size_t)m_stride * (size_t)m_header.biHeight);
}

void CDib::SetPixelIndex(int x, int y, BYTE index)
{
    // One byte per pixel only: at 1 or 4 bits a byte offset of x lands past the row.
    if (!Palette() || m_header.biBitCount != 8)
        return;
    if (x < 0 || y < 0 || x >= m_header.biWidth || y >= m_header.biHeight)
        return;
    *Pixel(x, y) = index;
}

void CDib::CopyFrom(const CDib& other)
{
    if (&other == this)
        return;
    if (!other.m_block) {
        Release();
        return;
    }
    if (!Create(other.GetWidth(), other.GetHeight(), other.GetBitCount()))
        return;
    std::memcpy(m_block.get(), other.m_block.get(), other.GetBlockSize());
}

void CDib::Draw(CDC* pDC, int x, int y)
{
    if (!m_block || !pDC || !pDC->GetSafeHdc())
        return;
    if (!m_section.GetSafeHandle()) {
        void* bits = nullptr;
        HBITMAP section = ::CreateDIBSection(pDC->GetSafeHdc(), reinterpret_cast<BITMAPINFO*>(m_block.get()),
                                             DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!section)
            return;
        if (!bits) {
            ::DeleteObject(section);
            return;
        }
        m_section.Attach(section);
        m_sectionBits = bits;
    }
    std::memcpy(m_sectionBits, GetBits(), (size_t)m_stride * (size_t)m_header.biHeight);
    if (!m_memDC.GetSafeHdc() && !m_memDC.CreateCompatibleDC(pDC))
        return;
    HGDIOBJ previous = m_memDC.SelectObject(m_section.GetSafeHandle());
    pDC->BitBlt(x, y, m_header.biWidth, m_header.biHeight, &m_memDC, 0, 0, SRCCOPY);
    m_memDC.SelectObject(previous);
}

void CDib::MakeGrayPalette()
{
    if (!Palette())
        return;
    for (int i = 0; i < m_colorCount; ++i)
        SetPaletteEntry(i, (BYTE)i, (BYTE)i, (BYTE)i);
    SetPaletteEntry(0, 0, 0, 0);
    SetPaletteEntry(m_colorCount - 1, 255, 255, 255);
}

BOOL CDib::SaveAsBmp(LPCTSTR fileName) const
{
    if (!fileName || !*fileName || !m_block)
        return FALSE;
    const size_t blockSize = GetBlockSize();
    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = 0x4D42;  // "BM"
    fileHeader.bfSize = (DWORD)(blockSize + sizeof(fileHeader));
    fileHeader.bfOffBits = (DWORD)(sizeof(BITMAPINFOHEADER) + GetPaletteSize() + sizeof(fileHeader));

    bool written;
    {
        WinHandle file(::CreateFileW(fileName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                     nullptr));
        if (!file)
            return FALSE;
        written = WriteAll(file.Get(), reinterpret_cast<const BYTE*>(&fileHeader), sizeof(fileHeader)) &&
                  WriteAll(file.Get(), m_block.get(), blockSize);
    }
    if (!written)
        ::DeleteFileW(fileName);
    return written ? TRUE : FALSE;
}
