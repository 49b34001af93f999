#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "game/GameService.h"

// The game service of the store's client: achievements reported to the
// client library that the store installs beside the game. The library is
// loaded at run time, from beside the executable or else through the
// system's search, and its entry points are looked up by name; nothing links
// against it and none of its headers is used, so the game starts and plays
// without it. When the client cannot be reached (library or
// entry point missing, its start failing, no statistics interface) start-up
// asks whether to go on without achievements; going on makes every later
// report return false quietly.
//
// The statistics interface is reached as an object whose first word points
// at its table of operations. The places of the three operations the game
// calls in that table are named below; they are this layer's assumption and
// the path through a real client is unverified (the tests check it against
// a client library of their own built to the same assumption).
class GameServiceSteam : public GameService {
public:
#ifdef _WIN32
	static constexpr const char *kLibraryName = "steam_api64";
#else
	static constexpr const char *kLibraryName = "libsteam_api.so";
#endif
	static constexpr const char *kUserStatsVersion = "STEAMUSERSTATS_INTERFACE_VERSION012";
	// Places in the statistics interface's table (unverified, see above).
	static constexpr size_t kGetAchievementSlot = 6;
	static constexpr size_t kSetAchievementSlot = 7;
	static constexpr size_t kStoreStatsSlot = 10;

	static constexpr const char *kNoClientText =
		"This edition of Halvenmoor was designed to run on Steam. For achievements, run from Steam.\n"
		"[STEAMAPI_INIT_FAIL]";

	// What the client's context lookup is given: the call that fills the
	// context on first use, the counter the client keeps to know it did, and
	// the context, whose one entry is the statistics interface.
	struct ContextRecord {
		void (*fill)(void *context) = nullptr;
		uintptr_t counter = 0;
		void *userStats = nullptr;
	};

	// The game's one service object.
	static GameServiceSteam &Instance();

	uint32_t Init() override;
	void Shutdown() override;
	bool UnlockAchievement(const char *apiName) override;

	bool IsReady() const { return ready != 0; }
	bool IsFailed() const { return failed != 0; }
	// The library to load (a name or a path); null puts back kLibraryName.
	void SetLibraryName(const char *name);
	// Forgets the client it reached (tests start the service again).
	void Disconnect();

private:
	// Loads the library, finds its entry points, starts the client and finds
	// the statistics interface; false at the first thing missing.
	bool Connect();
	// The library by its name: a bare name beside the executable first, then
	// wherever the system's loader finds it; null when neither has it.
	void *OpenLibrary() const;
	// The table entry of the statistics interface at a place; null when none.
	void *Operation(size_t slot) const;

	std::string libraryName = kLibraryName;
	void *library = nullptr;
	void *userStats = nullptr;
	ContextRecord context;
	uint8_t ready = 0;
	uint8_t failed = 0;
};
