// Objects shared by the whole program, built before the application object runs.
#pragma once

#include "framework/collections.h"

// Captions laid over ranges of frames; the list holds pointers, their owners delete them.
extern CPtrList g_captionList;
