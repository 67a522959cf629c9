// The skin's element and attribute names that take one kind of value.
#include "skin/SkinVocabulary.h"

#include <algorithm>
#include <initializer_list>

namespace skin {

namespace {

bool oneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

bool isNumericElement(std::string_view e) {
    return oneOf(
        e, {"posx",         "posy",        "left",         "right",      "top",        "bottom",      "centerleft",
            "centerright",  "centertop",   "centerbottom", "width",      "height",     "offsetx",     "offsety",
            "textoffsetx",  "textoffsety", "textwidth",    "itemgap",    "bordersize", "depth",       "timeperimage",
            "fadetime",     "pauseatend",  "spinwidth",    "spinheight", "radiowidth", "radioheight", "sliderwidth",
            "sliderheight", "movement",    "focusposition"});
}

bool isNumericAttribute(std::string_view a) {
    return oneOf(a, {"x", "y", "w", "h", "width", "height", "center", "min", "max", "time", "delay", "start", "end",
                     "acceleration", "border", "repeat"});
}

bool isColourElement(std::string_view e) {
    return oneOf(e, {"textcolor", "focusedcolor", "disabledcolor", "selectedcolor", "shadowcolor", "invalidcolor",
                     "colordiffuse"});
}

bool isLabelElement(std::string_view e) { return oneOf(e, {"label", "label2", "altlabel", "hinttext"}); }

}  // namespace skin
