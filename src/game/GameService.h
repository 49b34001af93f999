#pragma once

#include <cstdint>

// The platform's game service, through which achievements reach the player's
// profile. The game starts it last in its Init and shuts it at Quit. Until a
// real service is written the game runs an offline one that always starts;
// tests install a recording one with SetGameService.
class GameService {
public:
	virtual ~GameService() = default;
	// 0 to go on; 1 stops the program (the player chose not to play without it).
	virtual uint32_t Init() = 0;
	virtual void Shutdown() = 0;
};

// The service in use: the installed one, else the offline one. Never null.
GameService &GetGameService();
// Not owned; null goes back to the offline one.
void SetGameService(GameService *service);
