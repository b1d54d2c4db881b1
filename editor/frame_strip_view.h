// The frame strip: the scrolling column of frames beside the Edit dialog's preview, one row
// per frame of the engine's frame list (thumbnail, number, delay, kept box). It edits the
// engine's records in place: selection, kept/deleted flags, delays, saving a frame, and
// inserting pictures or a GIF's frames. Every change of the current item is posted to the
// parent as WM_FRAME_PICKED; the context menu's delete/restore is sent to it as WM_COMMAND 7.
//
// The owner hands the strip the engine's frame list (SetFrames); without one the strip uses
// the frames of the application's main window (CRecorderDlg). Items point at the records and
// never own them. The strip is a view: it deletes itself when its window is destroyed.
//
// A row's thumbnail is made when the row is first painted, so adding a thousand frames costs
// next to nothing and only the rows scrolled into view are ever scaled.
#pragma once

#include <memory>
#include <vector>

#include "capture/screen_recorder.h"
#include "editor/strip_item.h"
#include "framework/scroll_view.h"

class CProgressWnd;

class XListView : public CScrollView {
    DECLARE_DYNCREATE(XListView)
public:
    // Commands of the context menu, and the parent's delete/restore command.
    static constexpr UINT kDeleteRestoreCommand = 7;
    // Control id of the delay edit.
    static constexpr UINT kDelayEditId = 1;

    XListView();
    ~XListView() override;

    // The engine's frame list that the strip edits and inserts into (not owned).
    void SetFrames(FrameRecordArray* frameList) { frames = frameList; }
    // Colour count of the thumbnails: 256, 128, 64, 32 or 16 (anything else shows 256).
    void SetColorCount(int count);
    int GetColorCount() const { return colorCount; }

    // Appends an unselected row for the record (its thumbnail comes with its first paint); a
    // null record adds nothing.
    void AddFrame(FrameRecord* record);
    // Lays the rows out again and sets new scroll sizes, as when the view was first placed.
    void Reinitialize();
    // Lays the rows out for the current width and sets new scroll sizes.
    void UpdateScrollSizes();
    // Deletes every row with its thumbnail; the frames stay with the engine.
    void ClearItems();
    UINT GetItemHeight() const { return itemHeight; }
    int GetItemCount() const { return static_cast<int>(items.size()); }
    // The row of 1-based item n; null outside 1..count.
    CStripItem* GetItem(int n) const;
    // The 0-based index of the top row shown.
    UINT GetFirstVisibleRow() const;

    // Flips kept/deleted of the selected frames; the first selected frame decides. No repaint.
    void ToggleDeleted();
    // Every frame's delay one hundredth shorter (not below 1) or longer (not above 999).
    void SpeedUp();
    void SlowDown();
    // Gives item n (1-based) the delay, or every selected item when n is selected.
    void SetDelay(UINT n, UINT delay);
    // Opens the in-place delay edit over item n's delay text.
    void EditDelay(UINT n);
    // The kept box of item n was clicked.
    void ToggleKeep(UINT n);
    // Keyboard moves of the selection.
    void SelectNext();
    void SelectPrevious();
    // Selects frame n alone (1-based), scrolls it into view and makes it current, without
    // reporting a pick; outside 1..count only clears the selection.
    void ShowFrame(UINT n);
    // The frame list was reversed in place: each row takes the record now at its place, the
    // thumbnails move with their frames, and the selection is cleared.
    void FollowReversedFrames();
    // Writes item n's full-size frame picture to a file the user names (bmp, jpg or png).
    void SaveFrame(UINT n);

    // Asks for a picture file and inserts it (one still frame, fitted on black into the
    // recording's size, delay 100) or every frame of an animated GIF at the 0-based index
    // (0..count); the new rows are selected and the first of them becomes current.
    void InsertImageFrames(int index);
    // Puts the record into the engine's list and a selected row into the strip, both at the
    // index, or into neither: false when it was not taken (the record stays the caller's).
    bool InsertFrame(int index, FrameRecord* record);
    // One step of a long job with message pumping; FALSE when the window is gone or cancelled.
    static BOOL StepProgress(CProgressWnd* progress);

    UINT currentItem = 0;  // 1-based; 0 = none
    UINT itemHeight = 1000;
    std::vector<std::unique_ptr<CStripItem>> items;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnInitialUpdate() override;

protected:
    void OnDraw(CDC* pDC) override;

    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    FrameRecordArray* Frames() const;
    // The width the rows are laid out for: the client width beside the vertical bar.
    int LayoutWidth() const;
    // The 1-based item under a client point (may be past the last item).
    UINT ItemAt(CPoint point) const;
    void SelectOnly(UINT n);
    // Item n alone selected and current, reported to the parent: a plain pick.
    void PickOnly(UINT n);
    void SelectRange(UINT first, UINT last);
    void ReportCurrent() const;
    // Moves the selection to 0-based index, scrolling it into view; reports it when asked.
    void MoveSelectionTo(size_t index, bool report);
    bool IsValidItem(UINT n) const { return n >= 1 && n <= items.size(); }

    FrameRecordArray* frames = nullptr;
    int colorCount = 256;
};
