// Names for the temporary GIFs that the recorder writes and the preview compresses, and the
// process's own list of them: only files named here are ever deleted as temporary GIFs.
#pragma once

#include <initializer_list>

#include "framework/cstring.h"

// A new file in the user's temporary folder named "<hour>-<minute>-<second>-<month>-<day>-<n>.gif".
// The file is created (empty) so that no other call gets the same name; an empty text means no
// name could be made (the folder path is too long or no free name was found). The name joins
// the list of this process's temporary GIFs.
CString MakeTempGifName();

// Deletes path when MakeTempGifName made it in this process, and drops it from the list; any
// other file is left alone. True when the name was on the list.
bool DeleteTempGif(const CString& path);

// Deletes every temporary GIF this process made except those named in keep (empty names and
// paths of other origins may be among them); the list then holds only the kept ones.
void DeleteTempGifsExcept(std::initializer_list<CString> keep);
