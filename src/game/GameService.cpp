#include "game/GameService.h"

#include "objects/CollectableKind.h"
#include "game/GameServiceSteam.h"

namespace {

GameService *g_service = nullptr;

}

void GameService::SyncAchievements()
{
	for (uint32_t index = 0; index < CollectableKind::kSetCount; index++) {
		const CollectableKind *kind = CollectableKind::Get(index);
		if (kind != nullptr && CollectableKind::CountCollected(index) >= kind->count)
			UnlockAchievement(kind->name);
	}
}

GameService &GetGameService()
{
	return g_service != nullptr ? *g_service : GameServiceSteam::Instance();
}

void SetGameService(GameService *service)
{
	g_service = service;
}
