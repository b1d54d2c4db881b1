#include "controls/open_address.h"

#include <shellapi.h>

#include <cwchar>

namespace {

std::function<INT_PTR(LPCTSTR, int)>& Opener()
{
    static std::function<INT_PTR(LPCTSTR, int)> opener;
    return opener;
}

bool StartsWithNoCase(LPCTSTR text, LPCTSTR prefix, size_t length)
{
    return _wcsnicmp(text, prefix, length) == 0;
}

}  // namespace

INT_PTR OpenAddress(LPCTSTR address, int showCommand, HWND owner)
{
    if (!address || !*address)
        return SE_ERR_FNF;
    if (Opener())
        return Opener()(address, showCommand);
    return (INT_PTR)::ShellExecuteW(owner, L"open", address, nullptr, nullptr, showCommand);
}

void SetAddressOpener(std::function<INT_PTR(LPCTSTR address, int showCommand)> opener)
{
    Opener() = std::move(opener);
}

bool IsWebAddress(LPCTSTR address)
{
    if (!address)
        return false;
    size_t scheme = 0;
    if (StartsWithNoCase(address, L"http://", 7))
        scheme = 7;
    else if (StartsWithNoCase(address, L"https://", 8))
        scheme = 8;
    else
        return false;
    if (!address[scheme])
        return false;
    // Quotes would end the quoted argument of a browser's command line early.
    for (LPCTSTR p = address; *p; ++p)
        if (*p == L'"' || *p < 0x20 || *p == 0x7F)
            return false;
    return true;
}
