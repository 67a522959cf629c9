// Resource ids the window framework loads from the plugin's module: the docking
// panels' tab icon and the splitter's cursors.
#pragma once

#define IDI_TAB_ICON 119
#define IDC_SPLIT_SIDE_BY_SIDE 120
#define IDC_SPLIT_STACKED 121

// The progress window of long work.
#define IDD_PROGRESS 30520
#define IDC_PROGRESS_COUNT 30521
#define IDC_PROGRESS_BAR 30522
#define IDC_PROGRESS_NAME 30523
