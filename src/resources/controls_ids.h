// Resource ids of the controls folder.
#pragma once
