// Resource ids of the controls folder.
#pragma once

#define IDD_ORMU_CONTROLS 3100
#define IDC_CONTROLS_TYPE_LIST 3101
#define IDC_CONTROLS_ATTRIBUTES 3102
