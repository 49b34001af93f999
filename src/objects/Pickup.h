#pragma once

#include "objects/Prop.h"

#include <cstdint>

class Player;

// An item lying in the world that the hero takes by walking into it: coins,
// coolers, keys, swords, the axe, the dress and the collectables. It floats
// half a unit above its place, bobs and spins, and shows (and can be
// touched) only while its map flag's group is on. What taking it gives is
// the player's business; OnTaken is the hook for items that hand something
// over themselves. A pickup the map remembers as taken leaves at its start.
// The same classes are made without a map for the item in a hand: that one
// is drawn by its holder, without a shadow.
class Pickup : public Prop {
public:
	static constexpr float kFloatHeight = 0.5f; // above the home position
	static constexpr float kBobHeight = 0.2f;

	explicit Pickup(uint32_t entityKind);

	// Out of step with its neighbours, gone when taken on an earlier visit,
	// else a touch-only box.
	// The look of its kind's row, unless it was taken before.
	void AddLooks(std::vector<EntityLook> &looks) const override;
	// The look of a kind's row (a fixed-look pickup, or an item in a hand);
	// nothing for another kind.
	static void AddLookOf(std::vector<EntityLook> &looks, uint32_t kind);
	void Start() override;
	// Bob, spin and the map flag; no physics.
	void Update(float dt) override;
	// Only while present; in a hand, the model alone.
	void Render() override;

	// The hero took it.
	virtual void OnTaken(Player *player);

	bool IsPresent() const { return present != 0; }
	float GetSpin() const { return spin; }

protected:
	// The start of the classes with a fixed look: Start, then the model of
	// the kind's row; a coin or cooler whose flag is set goes inactive.
	void StartWithModel();
	// Taken on an earlier visit: its group is open, and its start takes it
	// off the map.
	bool TakenBefore() const;
	// False when Start took the pickup off the map.
	bool IsStillPlaced() const { return lifeState < kLifeRemoved; }

private:
	float spin = 0.0f; // radians
	uint8_t present = 1;
};
