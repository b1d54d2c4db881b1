// CConfinedTracker: a rectangle tracker whose rectangle never leaves a limit rectangle. While the
// user moves or draws it, every change is pushed back inside the limit, keeping the size the
// rectangle had before the change.
#pragma once

#include "framework/rect_tracker.h"

class CConfinedTracker : public CRectTracker {
public:
    CConfinedTracker() = default;
    ~CConfinedTracker() override = default;

    void OnChangedRect(const CRect& rectOld) override;

    // In the tracker's coordinates. Empty (the default) means no limit.
    CRect m_rectLimit;
};
