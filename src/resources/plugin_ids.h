// Resource ids of the plugin folder.
#pragma once
