#include "controls/drop_down_list.h"

#include <algorithm>

void FitDropDownList(HWND combo, int rows)
{
    // A simple combo box shows its list all the time; anything but a combo box has no info.
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    if ((::GetWindowLongPtrW(combo, GWL_STYLE) & 3) == CBS_SIMPLE || !::GetComboBoxInfo(combo, &info))
        return;
    const int count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
    const int shown = std::clamp(count, 1, std::max(1, rows));
    const int entryHeight = std::max(1, static_cast<int>(::SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0)));
    RECT field;
    ::GetWindowRect(combo, &field);  // the selection field alone
    // The list's border, one pixel above and below, and a pixel of slack for the platforms that
    // round the list down to whole entries.
    const int listHeight = shown * entryHeight + 4;
    ::SetWindowPos(combo, nullptr, 0, 0, field.right - field.left, (field.bottom - field.top) + listHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}
