// Resource ids of the tester folder.
#pragma once
