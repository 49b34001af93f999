#include "game/GameService.h"

#include "engine/core/Log.h"

namespace {

// Starts and stops without a platform behind it.
class OfflineGameService : public GameService {
public:
	uint32_t Init() override
	{
		LogDebug("Game service: offline\n");
		return 0;
	}
	void Shutdown() override {}
};

OfflineGameService g_offlineService;
GameService *g_service = nullptr;

}

GameService &GetGameService()
{
	return g_service != nullptr ? *g_service : g_offlineService;
}

void SetGameService(GameService *service)
{
	g_service = service;
}
