// The process's one way of handing an address (a web page, or a document the program ships) to
// the user's default program. Every window opens addresses through OpenAddress, so a test can
// put its own opener in place and nothing leaves the process while it runs.
#pragma once

#include <windows.h>

#include <functional>

// Returns what the shell's "open" returns: above 32 on success, an error number of 32 or less
// otherwise.
INT_PTR OpenAddress(LPCTSTR address, int showCommand, HWND owner = nullptr);

// Replaces the shell with this opener for the whole process; an empty function restores it.
void SetAddressOpener(std::function<INT_PTR(LPCTSTR address, int showCommand)> opener);

// True for an http:// or https:// address (any letter case) with something after the scheme and
// no double quote or control character in it: the only kind a link may open.
bool IsWebAddress(LPCTSTR address);
