// Names for the temporary GIFs that the recorder writes and the preview compresses.
#pragma once

#include "framework/cstring.h"

// A new file in the user's temporary folder named "<hour>-<minute>-<second>-<month>-<day>-<n>.gif".
// The file is created (empty) so that no other call gets the same name; an empty text means no
// name could be made (the folder path is too long or no free name was found).
CString MakeTempGifName();
