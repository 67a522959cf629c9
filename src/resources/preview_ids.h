// Resource ids of the preview folder.
#pragma once
