// What a row edit changes in the document: the plan that gives the control
// under the caret the value typed into one of its rows, or the reason it
// cannot be written.
#pragma once

#include "controls/ControlBlock.h"

#include <string>

class TiXmlElement;

namespace controls {

struct RowEdit {
    BlockEdit edit;        // offsets into the block's element; Kind::None when nothing is to change
    std::wstring problem;  // why the value cannot be written; empty when it can (or already stands)
};

// The change to the control element of `block` (as the XML parser read it:
// `control`) that gives its child `tag` the text `value`; the tag "type"
// stands for the control's type attribute. Values are written in `codePage`.
RowEdit planRowEdit(const BlockText& block, const TiXmlElement& control, unsigned codePage, const std::wstring& tag,
                    const std::wstring& value);

// The value of the control element's "type" attribute as the document spells it.
std::wstring typeOf(const TiXmlElement& control, unsigned codePage);

}  // namespace controls
