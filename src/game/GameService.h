#pragma once

#include <cstdint>

// The platform's game service, through which achievements reach the player's
// profile. The game starts it last in its Init and shuts it at Quit; the
// achievements report every unlock to it by the achievement's name. The one
// service of the game is GameServiceSteam; tests may install their own with
// SetGameService.
class GameService {
public:
	virtual ~GameService() = default;
	// 0 to go on; 1 stops the program (the player chose not to play without it).
	virtual uint32_t Init() = 0;
	virtual void Shutdown() = 0;
	// Reports what the game in progress has done that the service may not
	// know yet: every mission whose flag is set and every whole collectable
	// set.
	virtual void SyncAchievements();
	virtual bool IsAvailable() { return true; }
	// True only when the service took the achievement now.
	virtual bool UnlockAchievement(const char *apiName) = 0;

	static bool Unlock(GameService &service, const char *apiName) { return service.UnlockAchievement(apiName); }
};

// The service in use: the installed one, else the game's own. Never null.
GameService &GetGameService();
// Not owned; null goes back to the game's own.
void SetGameService(GameService *service);
