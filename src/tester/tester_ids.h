// Resource ids of the tester folder.
#pragma once

#define IDD_ORMU_COMMANDS 30501
