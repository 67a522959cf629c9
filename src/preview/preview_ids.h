// Resource ids of the preview folder.
#pragma once

#define IDD_IMAGE_PREVIEWER 30502
#define IDC_PREVIEW_AREA 30503
#define IDB_PREVIEW_BACKGROUND 128
