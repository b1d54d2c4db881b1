#include "controls/drop_down_list.h"

#include <algorithm>

void FitDropDownList(HWND combo, int rows)
{
    wchar_t className[16] = L"";
    if (!::IsWindow(combo) || !::GetClassNameW(combo, className, 16) || ::lstrcmpiW(className, L"ComboBox") != 0)
        return;
    const LONG_PTR type = ::GetWindowLongPtrW(combo, GWL_STYLE) & 3;
    if (type != CBS_DROPDOWN && type != CBS_DROPDOWNLIST)
        return;
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    if (!::GetComboBoxInfo(combo, &info))
        return;
    const int count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
    const int shown = std::clamp(count, 1, std::max(1, rows));
    const int fieldHeight = info.rcItem.bottom - info.rcItem.top;
    int itemHeight = static_cast<int>(::SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
    if (itemHeight <= 0)
        itemHeight = std::max(1, fieldHeight);
    RECT field;
    ::GetWindowRect(combo, &field);  // the selection field alone
    // The list's border, one pixel above and below, and a pixel of slack for the platforms that
    // round the list down to whole entries.
    const int listHeight = shown * itemHeight + 4;
    ::SetWindowPos(combo, nullptr, 0, 0, field.right - field.left, (field.bottom - field.top) + listHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}
