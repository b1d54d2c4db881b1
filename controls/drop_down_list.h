// How tall a drop-down combo box's list opens. The control shows only its selection field; its
// window height, set by the template or by a layout that moves it, decides the list's height.
// A layout that keeps the field's height leaves a list one or two entries tall.
#pragma once

#include <windows.h>

// Gives the combo box a window height that opens its list `rows` entries tall, or as tall as
// its entries when there are fewer. Call it after the list is filled and after every move that
// sets the control's height. Anything but a drop-down combo box is left alone.
void FitDropDownList(HWND combo, int rows = 8);
