// The global objects live in this one file so that their construction order is fixed: the
// caption list, then the application object (and destruction in the reverse order).
#include "app/globals.h"
#include "app/recorder_app.h"

CPtrList g_captionList(10);
CRecorderApp theApp;
