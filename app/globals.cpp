// The program's one global object, built before the entry function runs.
#include "app/recorder_app.h"

CRecorderApp theApp;
