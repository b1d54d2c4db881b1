// The class-library layer in one include.
#pragma once

#include "framework/app.h"
#include "framework/collections.h"
#include "framework/controls.h"
#include "framework/cstring.h"
#include "framework/dialog.h"
#include "framework/file.h"
#include "framework/file_dialog.h"
#include "framework/gdi.h"
#include "framework/geometry.h"
#include "framework/menu.h"
#include "framework/msgmap.h"
#include "framework/sync.h"
#include "framework/wnd.h"
