// CShadeButton: an image button whose face is a generated, slightly noisy shaded picture in the
// button's system colours (eight shade kinds, or plain noise), with a lighter copy while hovered.
#pragma once

#include "controls/dib.h"
#include "controls/icon_button.h"

class CShadeButton : public CIconButton {
public:
    enum : int {
        ShadeNoise = 0,
        ShadeDiagonal = 1,
        ShadeVertical = 2,
        ShadeHorizontal = 3,
        ShadeVerticalBump = 4,
        ShadeHorizontalBump = 5,
        ShadeCorners = 6,
        ShadeBevel = 7,
        ShadeStreaks = 8,
    };

    CShadeButton() = default;

    // Builds the normal and the hover face for the window's current size (a resized button needs
    // a new call): granularity 0..255 is the noise strength, highlight the percent by which the
    // hover face moves toward the highlight colour, colouring the percent by which both move
    // toward the colour. False, and no faces, for a window under 1 x 1 or over 32767 pixels a
    // side, or a bevel under 2 pixels high.
    bool BuildShadeImages(int shade, int granularity, int highlight, int colouring, COLORREF color);

protected:
    void DrawBackground(CDC* pDC, CRect* pRect) override;
    void DrawFrame(CDC* pDC, CRect* pRect) override;

    CDib m_normal;
    CDib m_hoverImage;
};
