#include "objects/GameStepHost.h"

#include "engine/core/Entity.h"
#include "objects/GameLink.h"
#include "objects/Player.h"
#include "objects/PlayerStats.h"

#include <algorithm>

namespace {
constexpr int kMostHalves = 255; // hearts are counted in a byte
} // namespace

GameStepHost &GameStepHost::Instance()
{
	static GameStepHost host;
	return host;
}

PlayerStats *GameStepHost::StatsOf(Entity *player)
{
	Player *hero = dynamic_cast<Player *>(player);
	return hero != nullptr ? &hero->GetStats() : nullptr;
}

void GameStepHost::ShowMessage(const char *text, float seconds, uint8_t kind)
{
	GameLink::Get().ShowMessage(text, seconds, kind);
}

bool GameStepHost::IsBusy()
{
	return GameLink::Get().IsBusy();
}

bool GameStepHost::IsMessageVisible()
{
	return GameLink::Get().IsMessageVisible();
}

void GameStepHost::ShowLetters(bool on)
{
	GameLink::Get().ShowLetters(on);
}

uint32_t GameStepHost::PlayTimeMs()
{
	return GameLink::Get().PlayTimeMs();
}

void GameStepHost::AddMaxHearts(Entity *player, uint8_t halves)
{
	if (PlayerStats *stats = StatsOf(player))
		stats->maxHearts = static_cast<uint8_t>(std::min(stats->maxHearts + halves, kMostHalves));
}

void GameStepHost::RefillHearts(Entity *player)
{
	if (PlayerStats *stats = StatsOf(player))
		stats->hearts = stats->maxHearts;
}

void GameStepHost::AddChicken(Entity *player, uint8_t amount)
{
	if (PlayerStats *stats = StatsOf(player))
		stats->AddWeight(amount);
}

void GameStepHost::StorePlayerStats(Entity *player)
{
	if (PlayerStats *stats = StatsOf(player))
		GameLink::Get().StorePlayerStats(*stats);
}
