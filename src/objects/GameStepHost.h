#pragma once

#include "map/CustomStepHost.h"

class PlayerStats;

// The custom sequences' host in the running game: the HUD and the play
// clock through the game link, the hero's hearts and chicken in the stats
// of the entity the step names (when that entity is the hero). One for the
// whole program; it holds nothing.
class GameStepHost : public CustomStepHost {
public:
	static GameStepHost &Instance();

	void ShowMessage(const char *text, float seconds, uint8_t kind) override;
	bool IsBusy() override;
	bool IsMessageVisible() override;
	void ShowLetters(bool on) override;
	uint32_t PlayTimeMs() override;

	void AddMaxHearts(Entity *player, uint8_t halves) override;
	void RefillHearts(Entity *player) override;
	void AddChicken(Entity *player, uint8_t amount) override;
	void StorePlayerStats(Entity *player) override;

	// The hero's stats; null for any other entity.
	static PlayerStats *StatsOf(Entity *player);
};
