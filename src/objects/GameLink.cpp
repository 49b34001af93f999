#include "objects/GameLink.h"

namespace {

GameLink g_quietLink;
GameLink *g_installedLink = nullptr;

}

GameLink &GameLink::Get()
{
	return g_installedLink != nullptr ? *g_installedLink : g_quietLink;
}

void GameLink::Install(GameLink *link)
{
	g_installedLink = link;
	MapGameLink::Install(link);
}

bool GameLink::IsInstalled(const GameLink *link)
{
	return link != nullptr && g_installedLink == link;
}
