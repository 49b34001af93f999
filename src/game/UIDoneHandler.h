#pragma once

// Told when a menu or panel closes (the player backed out or chose to close
// it): a menu list reports its "back" gesture here. Menus and the in-game
// scene implement it; whoever installs a handler keeps it alive while
// installed.
class UIDoneHandler {
public:
	virtual ~UIDoneHandler() = default;
	virtual void OnDone() = 0;
};
