#include "game/Achievements.h"

#include <algorithm>

#include "engine/core/NameHash.h"
#include "game/GameProgress.h"
#include "game/TalvexGame.h"

Achievements &Achievements::Instance()
{
	static Achievements achievements;
	return achievements;
}

void Achievements::SyncFromFlags()
{
	if (!TalvexGame::Current().IsInGame())
		return;
	for (uint16_t id : definitions)
		if (!IsUnlocked(id) && GameProgress::FlagId(id))
			Unlock(id);
}

void Achievements::Unlock(uint16_t id)
{
	if (id == 0 || IsUnlocked(id))
		return;
	unlocked.push_back(id);
	GameProgress::SetFlagId(id, 1);
}

bool Achievements::IsUnlocked(uint16_t id) const
{
	return std::find(unlocked.begin(), unlocked.end(), id) != unlocked.end();
}

void Achievements::UnlockByName(const char *name)
{
	Unlock(name != nullptr ? HashName(name) : 0);
}
