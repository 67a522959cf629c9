// quorrel-host.exe: the stand-in editor, interactive or driven by a script.
#include "Host.h"

int wmain(int, wchar_t**) {
    return 1;
}
