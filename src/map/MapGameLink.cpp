#include "map/MapGameLink.h"

#include "engine/core/NameHash.h"

namespace {

MapGameLink g_quietLink;
MapGameLink *g_installedLink = nullptr;

}

MapGameLink &MapGameLink::Get()
{
	return g_installedLink != nullptr ? *g_installedLink : g_quietLink;
}

void MapGameLink::Install(MapGameLink *link)
{
	g_installedLink = link;
}

bool MapGameLink::IsInstalled(const MapGameLink *link)
{
	return link != nullptr && g_installedLink == link;
}

bool MapGameLink::Flag(const char *name)
{
	return name != nullptr && FlagId(HashName(name));
}
