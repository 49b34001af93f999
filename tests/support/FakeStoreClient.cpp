// A store client library of the tests' own, built as a shared library and
// loaded by the game service exactly as the real client would be: by name,
// with its entry points looked up by name. It keeps its achievements in
// memory, counts what the game asks of it, and lets the test decide whether
// it starts and whether it hands out its statistics interface. Built twice:
// once whole, once (FAKE_CLIENT_PARTIAL) without its context entry point.
#include "game/GameServiceSteam.h"

#include <cstring>
#include <set>
#include <string>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

bool g_starts = true;
bool g_givesInterface = true;
std::set<std::string> g_achieved;
int g_sets = 0;
int g_stores = 0;

bool GetAchievement(void *, const char *name, bool *achieved)
{
	if (name == nullptr || achieved == nullptr)
		return false;
	*achieved = g_achieved.count(name) != 0;
	return true;
}

bool SetAchievement(void *, const char *name)
{
	g_sets++;
	g_achieved.insert(name);
	return true;
}

bool StoreStats(void *)
{
	g_stores++;
	return true;
}

bool Unused(void *)
{
	return false;
}

struct UserStats {
	void **table;
};

void *g_table[GameServiceSteam::kStoreStatsSlot + 1];
UserStats g_userStats{g_table};

}

FAKE_EXPORT bool SteamAPI_Init()
{
	return g_starts;
}

FAKE_EXPORT int32_t SteamAPI_GetHSteamUser()
{
	return 1;
}

#ifndef FAKE_CLIENT_PARTIAL
FAKE_EXPORT void *SteamInternal_ContextInit(void *data)
{
	auto *record = static_cast<GameServiceSteam::ContextRecord *>(data);
	if (record->counter != 1) {
		record->counter = 1;
		record->fill(&record->userStats);
	}
	return &record->userStats;
}
#endif

FAKE_EXPORT void *SteamInternal_FindOrCreateUserInterface(int32_t user, const char *version)
{
	if (user != 1 || !g_givesInterface || std::strcmp(version, GameServiceSteam::kUserStatsVersion) != 0)
		return nullptr;
	for (void *&entry : g_table)
		entry = reinterpret_cast<void *>(&Unused);
	g_table[GameServiceSteam::kGetAchievementSlot] = reinterpret_cast<void *>(&GetAchievement);
	g_table[GameServiceSteam::kSetAchievementSlot] = reinterpret_cast<void *>(&SetAchievement);
	g_table[GameServiceSteam::kStoreStatsSlot] = reinterpret_cast<void *>(&StoreStats);
	return &g_userStats;
}

// --- What the tests set and read ---

FAKE_EXPORT void FakeClient_Reset(bool starts, bool givesInterface)
{
	g_starts = starts;
	g_givesInterface = givesInterface;
	g_achieved.clear();
	g_sets = 0;
	g_stores = 0;
}

FAKE_EXPORT void FakeClient_SetAchieved(const char *name)
{
	g_achieved.insert(name);
}

FAKE_EXPORT int FakeClient_Sets()
{
	return g_sets;
}

FAKE_EXPORT int FakeClient_Stores()
{
	return g_stores;
}
