#pragma once

#include <cstdint>

// Told which option of a menu list the player confirmed: the option's id and
// its place in the list. Menus implement it beside UIDoneHandler and hand
// that part of themselves to their list; the list never owns a handler
// (except a page object, see UIOptionsPage).
class UISelectHandler {
public:
	virtual ~UISelectHandler() = default;
	virtual void OnSelect(uint8_t id, uint8_t index) = 0;
};
