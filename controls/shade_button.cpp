#include "controls/shade_button.h"

#include <algorithm>
#include <cstdlib>

#include "image/packed_dib.h"

namespace {

// Values of the C runtime's generator run 0..32767.
constexpr int kRandMax = 32767;

int Cube(int t) { return t * t * t / 128 / 128; }

// The faces' pixel bytes, walked in block order: row 0 is the bottom row of the picture.
class Face {
public:
    Face(CDib& dib, int granularity)
        : dib_(dib), w_(dib.GetWidth()), h_(dib.GetHeight()), g_(granularity), lo_(granularity),
          hi_(255 - granularity), q_(kRandMax / std::max(2 * granularity, 1))
    {
    }

    BYTE& At(int x, int y) { return dib_.GetBits()[(size_t)y * dib_.GetStride() + (size_t)x]; }
    int Noise() const { return std::rand() / q_; }
    // Every pixel from a formula of its place, then the noise, in 8 bits.
    template <class Fill>
    void ForEach(Fill fill)
    {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x)
                At(x, y) = (BYTE)fill(x, y);
    }
    void AddNoise()
    {
        ForEach([&](int x, int y) { return At(x, y) + Noise() - g_; });
    }

    void Build(int shade);

private:
    void Bevel();
    void Streaks();

    CDib& dib_;
    const int w_, h_, g_, lo_, hi_, q_;
};

void Face::Build(int shade)
{
    const int span = hi_ - lo_;
    switch (shade) {
    case CShadeButton::ShadeDiagonal: {
        const int a = span / 2;
        ForEach([&](int x, int y) { return a * y / h_ + lo_ + (w_ - x) * a / w_; });
        AddNoise();
        break;
    }
    case CShadeButton::ShadeVertical:
        ForEach([&](int, int y) { return span * y / h_ + lo_; });
        AddNoise();
        break;
    case CShadeButton::ShadeHorizontal:
        ForEach([&](int x, int) { return (w_ - x) * span / w_ + lo_; });
        AddNoise();
        break;
    case CShadeButton::ShadeVerticalBump:
        ForEach([&](int, int y) { return (128 - g_) * Cube(y * 255 / h_ - 127) / 128 + 128; });
        AddNoise();
        break;
    case CShadeButton::ShadeHorizontalBump:
        ForEach([&](int x, int) { return (128 - g_) * Cube((w_ - x) * 255 / w_ - 127) / 128 + 128; });
        AddNoise();
        break;
    case CShadeButton::ShadeCorners:
        ForEach([&](int x, int y) {
            int v = (128 - g_) * (Cube(y * 255 / h_ - 127) + Cube((w_ - x) * 255 / w_ - 127)) / 128 + 128;
            if (v < lo_)
                v = lo_;
            if (v > hi_)
                v = hi_;
            return v;
        });
        AddNoise();
        break;
    case CShadeButton::ShadeBevel:
        Bevel();
        break;
    case CShadeButton::ShadeStreaks:
        Streaks();
        break;
    default:
        ForEach([&](int, int) { return Noise() + 128 - g_; });
        break;
    }
}

void Face::Bevel()
{
    ForEach([&](int, int y) { return (128 - 2 * g_) * Cube(y * 255 / h_ - 127) / 128 + 128; });
    AddNoise();
    // Rounded ends: the left and right parts beyond an ellipse-like edge shade the other way.
    const int r = std::min(w_ / 6, 16);
    const long long a = (long long)h_ * h_ / 4;
    if (r > 0 && a > 0) {
        for (int y = 0; y < h_; ++y) {
            const long long dy = y - h_ / 2;
            const long long k = (w_ / 2 - r) + dy * dy * r / a;
            for (int x = 0; x < w_; ++x) {
                const long long dx = x - w_ / 2;
                if (dx > k)
                    At(x, y) = (BYTE)((w_ - x) * 128 / r + lo_);
                else if (dx + k < 0)
                    At(x, y) = (BYTE)(hi_ - x * 128 / r);
            }
        }
    }
    AddNoise();
}

void Face::Streaks()
{
    dib_.Clear(0);
    const int m = std::min(w_, h_);
    for (int i = 0; i < 200; ++i) {
        const int x0 = std::rand() / std::max(kRandMax / w_, 1);
        const int y0 = std::rand() / std::max(kRandMax / h_, 1);
        const int n = std::rand() / std::max(kRandMax / m, 1) / 2;
        const BYTE v = (BYTE)(std::rand() / (kRandMax / 40));
        for (int j = 0; j < n; ++j) {
            if (x0 - j > 0 && y0 + j < h_)
                dib_.SetPixelIndex(x0 - j, y0 + j, v);
            if (x0 + j < w_ && y0 > j)
                dib_.SetPixelIndex(w_ - x0 + j, y0 - j, v);
        }
    }
    const int a = (hi_ - lo_ - 40) / 2;
    ForEach([&](int x, int y) { return At(x, y) + a * y / h_ + (w_ - x) * a / w_; });
    ForEach([&](int x, int y) { return At(x, y) + Noise(); });
}

}  // namespace

bool CShadeButton::BuildShadeImages(int shade, int granularity, int highlight, int colouring, COLORREF color)
{
    m_normal.Release();
    m_hoverImage.Release();
    CRect window;
    GetWindowRect(&window);
    const int w = window.Width(), h = window.Height();
    if (w < 1 || h < 1 || w > pixels::kMaxSide || h > pixels::kMaxSide)
        return false;
    if (shade == ShadeBevel && h < 2)
        return false;
    if (!m_normal.Create(w, h, 8))
        return false;
    granularity = std::clamp(granularity, 0, 255);

    // Shadow to face over the first half of the palette, face to highlight over the second.
    const COLORREF s = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF f = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF hl = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    auto between = [](COLORREF from, COLORREF to, int step) {
        return RGB(((128 - step) * GetRValue(from) + step * GetRValue(to)) / 128,
                   ((128 - step) * GetGValue(from) + step * GetGValue(to)) / 128,
                   ((128 - step) * GetBValue(from) + step * GetBValue(to)) / 128);
    };
    for (int i = 0; i < 256; ++i) {
        const COLORREF c = i < 128 ? between(s, f, i) : between(f, hl, i - 127);
        m_normal.SetPaletteEntry(i, GetRValue(c), GetGValue(c), GetBValue(c));
    }
    m_normal.BlendPalette(color, colouring);

    Face(m_normal, granularity).Build(shade);

    m_hoverImage.CopyFrom(m_normal);
    m_hoverImage.BlendPalette(::GetSysColor(COLOR_BTNHIGHLIGHT), highlight);
    return true;
}

void CShadeButton::DrawBackground(CDC* pDC, CRect*)
{
    if (m_hover)
        m_hoverImage.Draw(pDC, m_pressed ? 1 : 0, m_pressed ? 1 : 0);
    else
        m_normal.Draw(pDC, 0, 0);
}

void CShadeButton::DrawFrame(CDC* pDC, CRect* pRect) { CIconButton::DrawFrame(pDC, pRect); }
