// Resource ids of the skineditor folder.
#pragma once

#define IDD_SKIN_REFERENCES 30601
#define IDC_REFERENCES_STATUS 30602
#define IDC_REFERENCES_LIST 30603
