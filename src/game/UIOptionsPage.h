#pragma once

#include "game/UISelectHandler.h"

class UIOptions;

// One page of a menu as an object of its own: it fills the list it is shown
// in and answers the choices made on it. A list given a page owns it, makes
// it its select handler, and deletes it when another page replaces it or the
// list goes.
class UIOptionsPage : public UISelectHandler {
public:
	~UIOptionsPage() override = default;
	// Adds this page's options (and title) to the list.
	virtual void Fill(UIOptions &list) = 0;
};
