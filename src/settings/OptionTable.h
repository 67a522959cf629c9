// What the Options dialog shows and edits: one descriptor per setting, and the
// rules that turn stored values into control contents and back.
#pragma once

#include <string>
#include <vector>

class SettingsStore;

namespace options {

enum Kind : int { CheckBox = 0, NumberBox = 1, TextBox = 2, ChoiceBox = 3 };

struct OptionDescriptor {
    int controlId = 0;
    int secondaryId = -1;  // -1 when the option has no second control
    int kind = TextBox;
    std::wstring group;
    std::wstring key;
    std::wstring description;
    std::vector<std::wstring> choices{};  // a choice box's values, the default first
};

// The plugin's options in the order the dialog lists them.
std::vector<OptionDescriptor> standardOptions();

// The first descriptor whose control or secondary control has this id, or null.
const OptionDescriptor* findByControl(const std::vector<OptionDescriptor>& table, int controlId);

// The localisation key of a control's description, e.g. "1020_HELP".
std::wstring helpKey(int controlId);

// The text a number or text box shows for the stored value (empty when absent
// or of another type; a number is shown unsigned).
std::wstring boxText(const SettingsStore& store, const OptionDescriptor& option);
bool isChecked(const SettingsStore& store, const OptionDescriptor& option);
// The choice a choice box shows: the stored one, or the first when the stored
// value is none of them.
std::size_t choiceIndex(const SettingsStore& store, const OptionDescriptor& option);

// Stores what the user confirmed. An empty text box stores the empty string,
// so a login or password can be removed again; a number box without a valid
// unsigned number stores 0; a choice box stores its choice (the first for
// another text).
void storeText(SettingsStore& store, const OptionDescriptor& option, const std::wstring& text);
void storeChecked(SettingsStore& store, const OptionDescriptor& option, bool checked);

// The number a number box holds, as the dialog reads it: blanks around an
// unsigned decimal; anything else, or a number above 4294967295, is 0.
unsigned parseUnsigned(const std::wstring& text);

}  // namespace options
