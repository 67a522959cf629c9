// Resource ids of the plugin (used by the .rc script and the C++ code).
#pragma once

#define IDI_TAB_ICON 119
#define IDC_SPLIT_SIDE_BY_SIDE 120
#define IDC_SPLIT_STACKED 121
#define IDB_PREVIEW_BACKGROUND 128
#include "plugin_ids.h"
#include "settings_ids.h"
#include "controls_ids.h"
#include "tester_ids.h"
#include "preview_ids.h"
