// Small file helpers shared by the main window, the import, the preview and the frame strip.
#pragma once

// Size of an existing file in KB (bytes / 1024.0); 0.0 when it cannot be opened. The file is
// opened for reading only and may be open elsewhere for reading or writing.
float FileSizeKB(const wchar_t* path);
