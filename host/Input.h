// What a user does with the keyboard, the mouse and the clipboard, played into
// the host's windows as the system would deliver it.
#pragma once

#include "HostImpl.h"

#include <cstddef>
#include <vector>

namespace host {

// A typed character, or a key (with modifiers) pressed and released.
struct KeyStroke {
    bool isChar = false;
    wchar_t ch = 0;
    UINT vk = 0;
    bool ctrl = false, alt = false, shift = false;
};

// Focuses the window and types, through the host's loop (accelerators and
// dialog keys work).
void typeKeys(Host::Impl& host, HWND window, const std::vector<KeyStroke>& keys);
// Left button down and up (twice with a double click between) at the
// centre, or at a list box's selected item.
void clickAt(HWND window, bool doubleClick);
// Selects an item of a list box, combo box, list view or tab control and
// sends the notifications a user's choice sends.
void chooseItem(HWND list, std::size_t index);

}  // namespace host
