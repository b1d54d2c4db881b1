// Image buttons: painting one owner-draw item, and the captured parent background.
#include "controls/icon_button.h"

namespace {

// A polyline in a one-pixel pen of a system colour; the DC's pen is put back afterwards.
void SystemPolyline(CDC* pDC, int colorIndex, std::initializer_list<POINT> points)
{
    CPen pen(PS_SOLID, 1, ::GetSysColor(colorIndex));
    HGDIOBJ previous = pDC->SelectObject((HGDIOBJ)pen.m_hObject);
    pDC->Polyline(points.begin(), (int)points.size());
    pDC->SelectObject(previous);
}

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

}  // namespace

void CImageButtonBase::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    // The owner-draw DC belongs to the control; this paint only borrows it.
    CBorrowedDC borrowed(lpDrawItemStruct->hDC);
    CDC* pDC = &borrowed;
    const UINT state = lpDrawItemStruct->itemState;
    const BOOL selected = (state & ODS_SELECTED) != 0;
    if (m_checkBoxMode)
        m_pressed = selected || m_checked;
    else
        m_pressed = selected || (m_menu.GetSafeHmenu() && m_menuOpen);
    m_focused = (state & ODS_FOCUS) != 0;
    m_disabled = (state & ODS_DISABLED) != 0;

    const CRect item(lpDrawItemStruct->rcItem);
    CRect frame = item;
    pDC->SetBkMode(TRANSPARENT);
    if (m_transparent)
        PaintParentBackground(pDC);
    else
        DrawBackground(pDC, &frame);
    DrawFrame(pDC, &frame);

    CString caption;
    GetWindowText(caption);
    const BOOL hasCaption = !caption.IsEmpty();
    CRect captionRect = item;
    if (m_icons[0].icon)
        DrawIconImage(pDC, hasCaption, item, &captionRect, m_pressed, m_disabled);
    if (m_bitmaps[0].bitmap.GetSafeHandle()) {
        pDC->SetBkColor(kWhite);
        DrawBitmapImage(pDC, hasCaption, item, &captionRect, m_pressed, m_disabled);
    }
    if (hasCaption)
        DrawCaptionText(pDC, caption, item, &captionRect, m_pressed, m_disabled);

    if (m_focused && (!m_flat || m_flatFocusRect)) {
        CRect focus = frame;
        focus.DeflateRect(3, 3);
        pDC->DrawFocusRect(focus);
    }
}

void CImageButtonBase::DrawBackground(CDC* pDC, CRect* pRect)
{
    if (!m_flat && (m_focused || m_default)) {
        CBrush black(kBlack);
        pDC->FrameRect(pRect, &black);
        pRect->DeflateRect(1, 1);
    }
    COLORREF color = m_colors[ColorBackNormal];
    if (m_hover || m_pressed)
        color = m_colors[ColorBackHover];
    else if (m_focused)
        color = m_colors[ColorBackFocus];
    pDC->FillSolidRect(pRect, color);
}

void CImageButtonBase::DrawFrame(CDC* pDC, CRect* pRect)
{
    const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const int l = pRect->left, t = pRect->top, r = pRect->right, b = pRect->bottom;
    if (!m_pressed) {
        if (m_flat) {
            if (m_hover && m_borderVisible)
                pDC->Draw3dRect(pRect, highlight, shadow);
            return;
        }
        SystemPolyline(pDC, COLOR_BTNHIGHLIGHT, {{l, b - 1}, {l, t}, {r, t}});
        SystemPolyline(pDC, COLOR_3DLIGHT, {{l + 1, b - 1}, {l + 1, t + 1}, {r, t + 1}});
        SystemPolyline(pDC, COLOR_3DDKSHADOW, {{l, b - 1}, {r - 1, b - 1}, {r - 1, t - 1}});
        SystemPolyline(pDC, COLOR_BTNSHADOW, {{l + 1, b - 2}, {r - 2, b - 2}, {r - 2, t}});
        return;
    }
    if (!m_flat) {
        CBrush brush(shadow);
        pDC->FrameRect(pRect, &brush);
    } else if (m_borderVisible) {
        pDC->Draw3dRect(pRect, shadow, highlight);
    }
}

CRect CImageButtonBase::PlaceImageAndText(BOOL bHasCaption, const CRect& rcItem, CRect* pCaptionRect,
                                          BOOL bPressed, int width, int height) const
{
    CRect image = rcItem;
    auto centreX = [&] { image.left += (image.Width() - width) / 2; };
    auto centreY = [&] { image.top += (image.Height() - height) / 2; };
    switch (m_alignment) {
    case AlignImageLeft:
        if (bHasCaption) {
            image.left += m_imageMargin.x;
            pCaptionRect->left += width + m_imageMargin.x;
        } else {
            centreX();
        }
        centreY();
        break;
    case AlignImageAbove:
        centreX();
        if (bHasCaption) {
            image.top = rcItem.top + m_imageMargin.y;
            pCaptionRect->top += height;
        } else {
            centreY();
        }
        break;
    case AlignImageRight:
        if (bHasCaption) {
            CRect client;
            GetClientRect(&client);
            const int captionWidth = pCaptionRect->Width();
            pCaptionRect->left = m_imageMargin.x;
            pCaptionRect->right = captionWidth - width - m_imageMargin.x;
            image.left = client.right - width - m_imageMargin.x;
            centreY();
        } else {
            centreX();
        }
        break;
    default:
        break;  // the image sits at the top-left corner
    }
    if (bPressed && !m_checkBoxMode)
        image.OffsetRect(m_pressedOffset);
    return image;
}

int CImageButtonBase::ShownSlot(bool hasOut, BOOL bPressed) const
{
    if (!hasOut)
        return 0;
    if (m_checkBoxMode)
        return bPressed ? 0 : 1;
    return bPressed || m_hover ? 0 : 1;
}

void CImageButtonBase::DrawIconImage(CDC* pDC, BOOL bHasCaption, const CRect& rcItem, CRect* pCaptionRect,
                                     BOOL bPressed, BOOL bDisabled)
{
    const IconSlot& slot = m_icons[ShownSlot(m_icons[1].icon != nullptr, bPressed)];
    const CRect image = PlaceImageAndText(bHasCaption, rcItem, pCaptionRect, bPressed, slot.width, slot.height);
    // The icon's own size: larger extents would stretch the icon over the button.
    pDC->DrawState(image.TopLeft(), CSize(slot.width, slot.height), slot.icon.get(),
                   bDisabled ? DSS_DISABLED : DSS_NORMAL);
}

void CImageButtonBase::DrawBitmapImage(CDC* pDC, BOOL bHasCaption, const CRect& rcItem, CRect* pCaptionRect,
                                       BOOL bPressed, BOOL bDisabled)
{
    const BitmapSlot& slot = m_bitmaps[ShownSlot(m_bitmaps[1].bitmap.GetSafeHandle() != nullptr, bPressed)];
    const CRect image = PlaceImageAndText(bHasCaption, rcItem, pCaptionRect, bPressed, slot.width, slot.height);
    const int w = slot.width, h = slot.height;
    CDC source;
    if (!source.CreateCompatibleDC(pDC))
        return;
    // Mask with AND (transparent pixels keep what is below, the others turn black), then the
    // bitmap, whose transparent pixels are black, with OR. Mask bits of 0 take the text colour.
    auto compose = [&](CDC* target, int x, int y) {
        target->SetBkColor(kWhite);
        target->SetTextColor(kBlack);
        HGDIOBJ previous = source.SelectObject(slot.mask.GetSafeHandle());
        target->BitBlt(x, y, w, h, &source, 0, 0, SRCAND);
        source.SelectObject(slot.bitmap.GetSafeHandle());
        target->BitBlt(x, y, w, h, &source, 0, 0, SRCPAINT);
        source.SelectObject(previous);
    };
    if (!(bDisabled && m_showDisabledBitmap)) {
        compose(pDC, image.left, image.top);
        return;
    }
    CDC work;
    CBitmap workBitmap;
    if (!work.CreateCompatibleDC(pDC) || !workBitmap.CreateCompatibleBitmap(pDC, w, h))
        return;
    HGDIOBJ previous = work.SelectObject(workBitmap.GetSafeHandle());
    work.FillSolidRect(0, 0, w, h, kWhite);
    compose(&work, 0, 0);
    work.SelectObject(previous);
    pDC->DrawState(image.TopLeft(), CSize(w, h), (HBITMAP)workBitmap.GetSafeHandle(), DSS_DISABLED);
}

void CImageButtonBase::DrawCaptionText(CDC* pDC, LPCTSTR lpszText, const CRect&, CRect* pCaptionRect, BOOL bPressed,
                                       BOOL bDisabled)
{
    CRect frame = *pCaptionRect;
    if (bPressed && !m_checkBoxMode)
        frame.OffsetRect(m_pressedOffset);
    // The control's font, whether or not the owner-draw DC already has it.
    CFont* font = GetFont();
    HGDIOBJ previousFont = font && font->GetSafeHandle() ? pDC->SelectObject(font->GetSafeHandle()) : nullptr;

    constexpr UINT kFormat = DT_WORDBREAK | DT_CENTER;
    CRect measured = frame;
    pDC->DrawText(lpszText, -1, &measured, kFormat | DT_CALCRECT);
    measured.OffsetRect((frame.Width() - measured.Width()) / 2, (frame.Height() - measured.Height()) / 2);
    pDC->SetBkMode(TRANSPARENT);
    if (bDisabled) {
        // Engraved: a light copy one pixel down and right under the shadow-coloured text.
        CRect raised = measured;
        raised.OffsetRect(1, 1);
        pDC->SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
        pDC->DrawText(lpszText, -1, &raised, kFormat);
        pDC->SetTextColor(::GetSysColor(COLOR_BTNSHADOW));
        pDC->DrawText(lpszText, -1, &measured, kFormat);
    } else {
        BYTE text = ColorTextNormal, back = ColorBackNormal;
        if (m_hover || m_pressed) {
            text = ColorTextHover;
            back = ColorBackHover;
        } else if (m_focused) {
            text = ColorTextFocus;
            back = ColorBackFocus;
        }
        pDC->SetTextColor(m_colors[text]);
        pDC->SetBkColor(m_colors[back]);
        pDC->DrawText(lpszText, -1, &measured, kFormat);
    }
    if (previousFont)
        pDC->SelectObject(previousFont);
}

// ---------------------------------------------------------------------------------------------
// Transparent mode

void CImageButtonBase::CaptureBackgroundFrom(CDC* pSource)
{
    CWnd* parent = GetParent();
    if (!pSource || !parent)
        return;
    CRect client;
    GetClientRect(&client);
    CRect place;
    GetWindowRect(&place);
    parent->ScreenToClient(&place);
    if (!m_backgroundDC.CreateCompatibleDC(pSource))
        return;
    if (!m_backgroundBitmap.CreateCompatibleBitmap(pSource, client.Width(), client.Height())) {
        m_backgroundDC.DeleteDC();
        return;
    }
    m_previousBitmap = m_backgroundDC.SelectObject(m_backgroundBitmap.GetSafeHandle());
    m_backgroundDC.BitBlt(0, 0, client.Width(), client.Height(), pSource, place.left, place.top, SRCCOPY);
}

void CImageButtonBase::DropBackground()
{
    if (m_backgroundDC.GetSafeHdc()) {
        if (m_previousBitmap)
            m_backgroundDC.SelectObject(m_previousBitmap);
        m_backgroundDC.DeleteDC();
    }
    m_previousBitmap = nullptr;
    m_backgroundBitmap.DeleteObject();
}

void CImageButtonBase::PaintParentBackground(CDC* pDC)
{
    if (!m_backgroundDC.GetSafeHdc()) {
        CClientDC parentDC(GetParent());
        CaptureBackgroundFrom(&parentDC);
    }
    if (!m_backgroundDC.GetSafeHdc())
        return;
    CRect client;
    GetClientRect(&client);
    pDC->BitBlt(0, 0, client.Width(), client.Height(), &m_backgroundDC, 0, 0, SRCCOPY);
}

DWORD CImageButtonBase::CaptureParentBackground(CDC* pDC)
{
    if (!m_transparent || !pDC)
        return kErrBadValue;
    DropBackground();
    CaptureBackgroundFrom(pDC);
    return kOk;
}
