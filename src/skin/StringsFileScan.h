// Reading a strings file (gettext's format) of a skin or of the media center
// into its string definitions.
#pragma once

#include <string>

#include "skin/SkinModel.h"

namespace skin {

// A text in UTF-16 with its byte order mark becomes UTF-8; any other is left as it is.
void utf16ToUtf8(std::string& bytes);

// The file's strings: one definition per "msgctxt \"#number\"" entry, with
// its msgstr (or else msgid) as the value; the file's problem counts the
// lines not understood. The file's line starts must be filled.
void scanStringsFile(SkinFile& file);

}  // namespace skin
