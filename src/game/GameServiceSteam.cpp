#include "game/GameServiceSteam.h"

#include <SDL.h>

#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"

namespace {

using InitFn = bool (*)();
using GetUserFn = int32_t (*)();
using ContextInitFn = void *(*)(void *record);
using FindInterfaceFn = void *(*)(int32_t user, const char *version);
using GetAchievementFn = bool (*)(void *self, const char *name, bool *achieved);
using SetAchievementFn = bool (*)(void *self, const char *name);
using StoreStatsFn = bool (*)(void *self);

// The entry points found when the client was reached; read by the context's
// fill call, which the client makes with no way to hand us anything else.
FindInterfaceFn g_findInterface = nullptr;
GetUserFn g_getUser = nullptr;

void FillContext(void *context)
{
	auto *userStats = static_cast<void **>(context);
	if (userStats == nullptr || g_findInterface == nullptr || g_getUser == nullptr)
		return;
	*userStats = g_findInterface(g_getUser(), GameServiceSteam::kUserStatsVersion);
}

template <typename Fn>
Fn FindEntry(void *library, const char *name)
{
	void *entry = SDL_LoadFunction(library, name);
	if (entry == nullptr)
		Log("Game service: no entry point %s\n", name);
	return reinterpret_cast<Fn>(entry);
}

}

GameServiceSteam &GameServiceSteam::Instance()
{
	static GameServiceSteam service;
	return service;
}

void GameServiceSteam::SetLibraryName(const char *name)
{
	libraryName = name != nullptr ? name : kLibraryName;
}

void GameServiceSteam::Disconnect()
{
	// The library stays loaded: the client is never shut down explicitly.
	userStats = nullptr;
	library = nullptr;
	context = ContextRecord{};
	ready = 0;
	failed = 0;
}

bool GameServiceSteam::Connect()
{
	if (library == nullptr)
		library = OpenLibrary();
	if (library == nullptr) {
		Log("Game service: cannot load %s: %s\n", libraryName.c_str(), SDL_GetError());
		return false;
	}
	auto init = FindEntry<InitFn>(library, "SteamAPI_Init");
	auto getUser = FindEntry<GetUserFn>(library, "SteamAPI_GetHSteamUser");
	auto contextInit = FindEntry<ContextInitFn>(library, "SteamInternal_ContextInit");
	auto findInterface = FindEntry<FindInterfaceFn>(library, "SteamInternal_FindOrCreateUserInterface");
	if (init == nullptr || getUser == nullptr || contextInit == nullptr || findInterface == nullptr)
		return false;
	if (!init()) {
		Log("Game service: the client did not start\n");
		return false;
	}
	g_getUser = getUser;
	g_findInterface = findInterface;
	context.fill = &FillContext;
	auto *resolved = static_cast<void **>(contextInit(&context));
	userStats = resolved != nullptr ? *resolved : nullptr;
	if (userStats == nullptr || *static_cast<void ***>(userStats) == nullptr) {
		Log("Game service: no %s\n", kUserStatsVersion);
		userStats = nullptr;
		return false;
	}
	return true;
}

void *GameServiceSteam::OpenLibrary() const
{
	// The store installs its client beside the game, and the game carries no
	// search path of its own: a bare name is tried there first.
	if (libraryName.find('/') == std::string::npos) {
		const std::string beside = JoinPath(GetBaseDirectory().c_str(), libraryName.c_str());
		if (void *found = SDL_LoadObject(beside.c_str()))
			return found;
	}
	return SDL_LoadObject(libraryName.c_str());
}

void *GameServiceSteam::Operation(size_t slot) const
{
	if (userStats == nullptr)
		return nullptr;
	void **table = *static_cast<void ***>(userStats);
	return table != nullptr ? table[slot] : nullptr;
}

uint32_t GameServiceSteam::Init()
{
	failed = 0;
	if (!Connect()) {
		failed = 1;
		userStats = nullptr;
		if (!CriticalWarning("%s", kNoClientText))
			return 1;
	}
	// Ready before the sync, so that what the sync reports reaches the client.
	ready = 1;
	SyncAchievements();
	return 0;
}

void GameServiceSteam::Shutdown()
{
	if (ready == 1)
		ready = 0;
}

bool GameServiceSteam::UnlockAchievement(const char *apiName)
{
	if (failed != 0 || ready == 0 || apiName == nullptr)
		return false;
	auto get = reinterpret_cast<GetAchievementFn>(Operation(kGetAchievementSlot));
	auto set = reinterpret_cast<SetAchievementFn>(Operation(kSetAchievementSlot));
	auto store = reinterpret_cast<StoreStatsFn>(Operation(kStoreStatsSlot));
	if (get == nullptr || set == nullptr || store == nullptr)
		return false;
	bool achieved = false;
	if (!get(userStats, apiName, &achieved) || achieved)
		return false;
	LogDebug("Achievement: %s\n", apiName);
	set(userStats, apiName);
	return store(userStats);
}
