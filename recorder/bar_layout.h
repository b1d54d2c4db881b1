// Geometry of the windows that frame the capture area: where the status strip's resize zones
// are, how a drag on the bars resizes the main window, where the strip's buttons and the notice
// popup go. Plain functions of the values involved, so the rules can be checked without windows.
#pragma once

#include "framework/geometry.h"

// Fixed sizes of the frame around the capture area, in pixels.
constexpr int kEdgeBarWidth = 20;
constexpr int kStatusStripHeight = 55;
// The smallest main window a drag may leave (a capture area 20 pixels wide) and the lowest
// capture area.
constexpr int kMinMainWindowWidth = 60;
constexpr int kMinCaptureHeight = 60;
// A bottom drag puts the strip's lower edge this far under the cursor: the capture height is the
// cursor's distance below the main window less this.
constexpr int kBottomDragAllowance = 40;

// Which edge or corner a press on a bar grabbed.
enum class DragEdge {
    None,
    BottomLeft,
    BottomRight,
    Left,
    Right,
    Bottom,
};

// The status strip's zone under a client point (client size given); zones overlap at the
// corners, and the first in the order bottom-left, bottom-right, left, right, bottom wins.
DragEdge StripZoneAt(CPoint point, CSize client);

// The resize cursor of a zone (an IDC_ value), null for DragEdge::None.
LPCTSTR ZoneCursor(DragEdge edge);

// While recording or paused the capture area keeps its size.
bool BarsMayResize(int recorderState);

// What one mouse move of a drag does to the main window.
struct PanelResize {
    bool apply = false;        // false: this move changes nothing at all
    bool moveWindow = false;   // the main window takes newWindow (screen coordinates)
    CRect newWindow;
    int captureHeight = 0;     // for the panel layout; 0 keeps the capture height
};

// The resize for a drag of the given edge with the cursor at a screen point, the main window
// being at mainWindow (screen). A move that would make the window narrower than 60 pixels or
// the capture area lower than 60 pixels changes nothing; the drag itself goes on.
PanelResize ComputePanelResize(DragEdge edge, CPoint cursor, const CRect& mainWindow);

// Places of the strip's two buttons for a strip client size; the notice button is shown only
// when there is room for it left of the page button and it lies wholly inside the strip.
struct StripButtonPlaces {
    CPoint page;
    bool showNotice = false;
    CPoint notice;
};
StripButtonPlaces PlaceStripButtons(CSize client, CSize pageButton, CSize noticeButton);

// The notice popup sits on the strip's top edge, its right edge 30 pixels left of the strip's
// right end, at the picture's size.
CRect NoticePopupRect(CSize picture, const CRect& strip);
