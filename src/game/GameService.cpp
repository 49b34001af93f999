#include "game/GameService.h"

#include "map/Missions.h"
#include "objects/CollectableKind.h"
#include "game/Achievements.h"
#include "game/GameProgress.h"
#include "game/GameServiceSteam.h"

namespace {

GameService *g_service = nullptr;

}

void GameService::SyncAchievements()
{
	// A quest's achievement has the name of the flag that completes it.
	const Missions &missions = Missions::Instance();
	for (size_t index = 0; index < missions.GetCount(); index++) {
		const Mission *mission = missions.GetMission(index);
		if (mission == nullptr || !GameProgress::FlagId(mission->save))
			continue;
		if (const AchievementDef *def = Achievements::Instance().Find(mission->save))
			UnlockAchievement(def->idText);
	}
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
