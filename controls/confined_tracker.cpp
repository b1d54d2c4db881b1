#include "controls/confined_tracker.h"

void CConfinedTracker::OnChangedRect(const CRect& rectOld)
{
    // A rubber band drawn up or to the left is inverted while it is tracked; it still has an
    // area and must stay inside the limit, so emptiness is judged on the normalised rectangle.
    CRect normalized = m_rect;
    normalized.NormalizeRect();
    if (normalized.IsRectEmpty() || m_rectLimit.IsRectEmpty())
        return;
    m_rect = normalized;
    CRect old = rectOld;
    old.NormalizeRect();
    const int w = old.Width();
    const int h = old.Height();
    if (m_rect.left < m_rectLimit.left) {
        m_rect.left = m_rectLimit.left;
        m_rect.right = m_rect.left + w;
    }
    if (m_rect.top < m_rectLimit.top) {
        m_rect.top = m_rectLimit.top;
        m_rect.bottom = m_rect.top + h;
    }
    if (m_rect.right > m_rectLimit.right) {
        m_rect.right = m_rectLimit.right;
        m_rect.left = m_rect.right - w;
    }
    if (m_rect.bottom > m_rectLimit.bottom) {
        m_rect.bottom = m_rectLimit.bottom;
        m_rect.top = m_rect.bottom - h;
    }
}
