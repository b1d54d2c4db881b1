// The seam through which the main window opens the Edit dialog. The recording windows do not
// know the editor: the application registers the function that runs it at start-up, and tests
// may register their own.
#pragma once

class CRecorderDlg;

// Runs the Edit dialog modally on the main window's frames. Returns the colour count (16 .. 256)
// when the user closed it with its Preview button, so that the caller makes the GIF with it;
// 0 when it was closed any other way (or could not be opened).
using EditorRunner = int (*)(CRecorderDlg& recorder);

// Null unregisters: the main window then opens no editor.
void SetEditorRunner(EditorRunner runner);
EditorRunner GetEditorRunner();
