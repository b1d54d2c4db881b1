// Objects shared by the whole program, built before the application object runs.
#pragma once

// Captions laid over ranges of frames (g_captionList); the list owns its records.
#include "recorder/caption_list.h"
