#pragma once

class Player;

// Something the hero uses with the use button when it stands in front of
// it: the player asks CanUse, then calls Use with itself. The fireplace is
// the one object that takes this way.
class IUseable {
public:
	virtual ~IUseable() = default;

	virtual bool CanUse() = 0;
	// player is the hero using the object; never owned.
	virtual void Use(Player *player) = 0;
};
