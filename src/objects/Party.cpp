#include "objects/Party.h"

#include "engine/core/Log.h"
#include "engine/core/NameHash.h"
#include "objects/GameLink.h"

Party &Party::Instance()
{
	static Party party;
	return party;
}

uint16_t Party::FlagId(uint32_t kind)
{
	return (uint16_t)(HashName("party") + kind);
}

bool Party::IsMember(uint32_t kind) const
{
	return GameLink::Get().FlagId(FlagId(kind));
}

void Party::RestoreMembers(TileMap *tileMap)
{
	map = tileMap;
	for (uint32_t kind = kFirstMemberKind; kind <= kLastMemberKind; kind++)
		if (IsMember(kind))
			LogDebug("Party member %u cannot follow yet\n", kind);
}

void Party::Clear()
{
	LogDebug("Unloading party\n");
	map = nullptr;
}
