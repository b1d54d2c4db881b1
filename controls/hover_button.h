// CHoverButton: an image button that also tells its parent when the mouse enters and leaves it,
// by posting WM_HOVER_NOTICE (wParam 0; lParam 1 once when the hover look begins, 0 on every
// mouse-leave). Hover ends of other kinds (focus loss, disabling, ...) post nothing.
#pragma once

#include "controls/icon_button.h"

constexpr UINT WM_HOVER_NOTICE = WM_USER + 911;

class CHoverButton : public CImageButtonBase {
public:
    CHoverButton() = default;

protected:
    void OnHoverBegins() override;
    void OnMouseLeave();
    DECLARE_MESSAGE_MAP()

private:
    void PostNotice(LPARAM lParam) const;
};
