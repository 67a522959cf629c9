// Resource ids of the settings folder.
#pragma once
