#include "editor/strip_item.h"

#include <algorithm>
#include <new>
#include <utility>

#include "image/octree_quantizer.h"

CStripItem::CStripItem() = default;

CStripItem::CStripItem(FrameRecord* record) : frame(record) {}

bool CStripItem::MakeThumbnail()
{
    CxImage* picture = frame ? frame->image : nullptr;
    if (!picture || !picture->IsValid()) {
        DropThumbnail();
        return false;
    }
    if (thumbnail && thumbnailSource == picture)
        return true;
    DropThumbnail();
    const long width = static_cast<long>(picture->GetWidth());
    const long height = static_cast<long>(picture->GetHeight());
    const float sx = width / static_cast<float>(kThumbWidth);
    const float sy = height / static_cast<float>(kThumbHeight);
    long tw, th;
    if (sx >= sy) {
        tw = kThumbWidth;
        th = static_cast<long>(height / sx);
    } else {
        tw = static_cast<long>(width / sy);
        th = kThumbHeight;
    }
    // Scaled straight into the thumbnail: the frame's picture is read, never copied.
    auto made = std::unique_ptr<CxImage>(new (std::nothrow) CxImage);
    if (!made || !picture->Resample2(tw, th, IM_BICUBIC2, OM_REPEAT, made.get(), false) || !made->IsValid())
        return false;
    thumbnail = std::move(made);
    thumbnailSource = picture;
    return true;
}

void CStripItem::DropThumbnail()
{
    thumbnail.reset();
    thumbnailSource = nullptr;
    reduced.reset();
    reducedColors = 0;
}

void CStripItem::SwapThumbnails(CStripItem& other)
{
    std::swap(thumbnail, other.thumbnail);
    std::swap(thumbnailSource, other.thumbnailSource);
    std::swap(reduced, other.reduced);
    std::swap(reducedColors, other.reducedColors);
}

const CxImage* CStripItem::ShownThumbnail(int colorCount)
{
    if (!MakeThumbnail())
        return nullptr;
    if (colorCount >= 256)
        return thumbnail.get();
    // Below 256 colours the row shows what the reduced GIF would; the reduced copy is kept for
    // the next paints at the same count.
    if (reduced && reducedColors == colorCount)
        return reduced.get();
    reduced.reset();
    reducedColors = 0;
    auto copy = std::unique_ptr<CxImage>(new (std::nothrow) CxImage(*thumbnail, true, true, true));
    if (!copy || !copy->IsValid())
        return thumbnail.get();
    COctreeQuantizer quantizer(static_cast<unsigned>(std::max(colorCount, 2)), 7);
    quantizer.AddImage(thumbnail->GetDIB());
    RGBQUAD palette[256] = {};
    quantizer.FillPalette(palette);
    copy->DecreaseBpp(8, false, palette, static_cast<DWORD>(colorCount));
    reduced = std::move(copy);
    reducedColors = colorCount;
    return reduced.get();
}

int CStripItem::Layout(int width, int yOffset)
{
    const int w = std::max(width, kMinLayoutWidth);
    const int thumbHeight = (w - 27) * 3 / 4;
    itemRect = RECT{0, 0, w, thumbHeight + 29};
    thumbRect = RECT{22, 5, w - 5, 5 + thumbHeight};
    checkRect = RECT{5, 15, 17, 27};
    delayRect = RECT{22, thumbRect.bottom + 2, w - 5, thumbRect.bottom + 17};
    if (yOffset != 0)
        OffsetRects(yOffset);
    return thumbHeight + 29;
}

void CStripItem::OffsetRects(int yOffset)
{
    for (RECT* r : {&itemRect, &thumbRect, &checkRect, &delayRect})
        ::OffsetRect(r, 0, yOffset);
}

void CStripItem::CopyRects(const CStripItem& other)
{
    itemRect = other.itemRect;
    thumbRect = other.thumbRect;
    checkRect = other.checkRect;
    delayRect = other.delayRect;
}

bool CStripItem::IsKept() const
{
    return frame && frame->image && frame->image->GetFlags() != 0;
}

void CStripItem::Draw(CDC* pDC, int number, int colorCount)
{
    DrawThumbnail(pDC, colorCount);

    CFont font;
    CFont* oldFont = nullptr;
    if (font.CreateFont(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, L"Verdana"))
        oldFont = pDC->SelectObject(&font);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));

    CString text;
    text.Format(L"%3d", number);
    RECT box = itemRect;
    pDC->DrawText(text, &box, 0);
    text.Format(L"%4d*0.01 sec", frame ? frame->delay : 0);
    box = delayRect;
    pDC->DrawText(text, &box, DT_SINGLELINE | DT_BOTTOM);

    DrawCheckBox(pDC);
    if (oldFont)
        pDC->SelectObject(oldFont);
}

void CStripItem::DrawThumbnail(CDC* pDC, int colorCount)
{
    if (!frame)
        return;
    CPen pen;
    CRect border(thumbRect);
    if (selected) {
        pen.CreatePen(PS_SOLID, 3, ::GetSysColor(COLOR_HIGHLIGHT));
        border.InflateRect(3, 3);
    } else {
        pen.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_INACTIVEBORDER));
    }
    CPen* oldPen = pen.m_hObject ? pDC->SelectObject(&pen) : nullptr;
    pDC->Rectangle(&border);
    if (oldPen)
        pDC->SelectObject(oldPen);

    const CxImage* picture = ShownThumbnail(colorCount);
    if (!picture || !picture->IsValid())
        return;
    CRect inner(thumbRect);
    inner.DeflateRect(2, 2);
    if (inner.Width() <= 0 || inner.Height() <= 0)
        return;
    const CPoint centre = inner.CenterPoint();

    const long w = static_cast<long>(picture->GetWidth());
    const long h = static_cast<long>(picture->GetHeight());
    const float fx = w / static_cast<float>(inner.Width());
    const float fy = h / static_cast<float>(inner.Height());
    if (fx < 1 && fy < 1) {
        picture->Draw(pDC->m_hDC, centre.x - w / 2, centre.y - h / 2, -1, -1, nullptr, false);
    } else if (fx > fy) {
        picture->Stretch(pDC->m_hDC, inner.left, static_cast<long>(centre.y - h / (2 * fx)), inner.Width(),
                         static_cast<long>(h / fx), SRCCOPY);
    } else {
        picture->Stretch(pDC->m_hDC, static_cast<long>(centre.x - w / (2 * fy)), inner.top,
                         static_cast<long>(w / fy), inner.Height(), SRCCOPY);
    }
}

void CStripItem::DrawCheckBox(CDC* pDC)
{
    pDC->Rectangle(&checkRect);
    if (!IsKept())
        return;
    const CRect box(checkRect);
    const CPoint centre = box.CenterPoint();
    pDC->MoveTo(box.left + 2, centre.y);
    pDC->LineTo(centre.x, box.bottom - 3);
    pDC->LineTo(box.right - 2, box.top + 2);
}
