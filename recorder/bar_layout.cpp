#include "recorder/bar_layout.h"

#include "capture/recorder_state.h"

namespace {

// Width of the grab bands along the strip's edges, and the side of its bottom-right grip.
constexpr int kEdgeBand = 3;
constexpr int kGripSide = 15;
// The strip's coloured outer band.
constexpr int kOuterBand = 5;

bool Inside(CPoint p, int left, int top, int right, int bottom)
{
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
}

}  // namespace

DragEdge StripZoneAt(CPoint p, CSize client)
{
    const int w = client.cx, h = client.cy;
    if (Inside(p, 0, h - kEdgeBand, kEdgeBand, h))
        return DragEdge::BottomLeft;
    if (Inside(p, w - kGripSide, h - kGripSide, w, h))
        return DragEdge::BottomRight;
    if (Inside(p, 0, 0, kEdgeBand, h))
        return DragEdge::Left;
    if (Inside(p, w - kEdgeBand, 0, w, h))
        return DragEdge::Right;
    if (Inside(p, 0, h - kEdgeBand, w, h))
        return DragEdge::Bottom;
    return DragEdge::None;
}

LPCTSTR ZoneCursor(DragEdge edge)
{
    switch (edge) {
    case DragEdge::BottomLeft:
        return IDC_SIZENESW;
    case DragEdge::BottomRight:
        return IDC_SIZENWSE;
    case DragEdge::Left:
    case DragEdge::Right:
        return IDC_SIZEWE;
    case DragEdge::Bottom:
        return IDC_SIZENS;
    case DragEdge::None:
        break;
    }
    return nullptr;
}

bool BarsMayResize(int recorderState)
{
    // The frames already taken fix the capture size.
    return recorderState != RecorderRecording && recorderState != RecorderPaused;
}

PanelResize ComputePanelResize(DragEdge edge, CPoint cursor, const CRect& w)
{
    PanelResize r;
    const int captureHeight = cursor.y - w.bottom - kBottomDragAllowance;
    const bool heightOk = captureHeight >= kMinCaptureHeight;
    const bool leftOk = w.right - cursor.x >= kMinMainWindowWidth;
    const bool rightOk = cursor.x - w.left >= kMinMainWindowWidth;
    const CRect fromLeft(cursor.x, w.top, w.right, w.bottom);
    const CRect fromRight(w.left, w.top, cursor.x, w.bottom);

    switch (edge) {
    case DragEdge::BottomLeft:
        if (leftOk && heightOk)
            r = {true, true, fromLeft, captureHeight};
        break;
    case DragEdge::BottomRight:
        if (rightOk && heightOk)
            r = {true, true, fromRight, captureHeight};
        break;
    case DragEdge::Left:
        if (leftOk)
            r = {true, true, fromLeft, 0};
        break;
    case DragEdge::Right:
        if (rightOk)
            r = {true, true, fromRight, 0};
        break;
    case DragEdge::Bottom:
        if (heightOk)
            r = {true, false, CRect(), captureHeight};
        break;
    case DragEdge::None:
        break;
    }
    return r;
}

StripButtonPlaces PlaceStripButtons(CSize client, CSize page, CSize notice)
{
    StripButtonPlaces places;
    const int x = client.cx - page.cx - 15;
    places.page = CPoint(x, client.cy - page.cy - 9);
    places.notice = CPoint(x - notice.cx - 12, client.cy - notice.cy - 7);
    // Room left of the page button, and the whole notice button inside the strip's outer band:
    // on a narrow strip it would otherwise hang off the strip's left end.
    places.showNotice = x - page.cx > 10 && places.notice.x >= kOuterBand;
    return places;
}

CRect NoticePopupRect(CSize picture, const CRect& strip)
{
    const int left = strip.right - picture.cx - 30;
    const int top = strip.top - picture.cy;
    return CRect(left, top, left + picture.cx, top + picture.cy);
}
