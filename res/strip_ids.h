// Resource ids of the frame strip.
#pragma once

#define IDR_STRIP_MENU 168
#define ID_STRIP_DELETE_RESTORE 32844
#define ID_STRIP_SAVE_FRAME 32845
