// Resource ids the window framework loads from the plugin's module: the docking
// panels' tab icon and the splitter's cursors.
#pragma once

#define IDI_TAB_ICON 119
#define IDC_SPLIT_SIDE_BY_SIDE 120
#define IDC_SPLIT_STACKED 121
