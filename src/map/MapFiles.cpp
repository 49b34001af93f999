#include "map/MapFiles.h"

#include "engine/core/Entity.h"
#include "engine/core/FileAccess.h"
#include "engine/core/NameHash.h"
#include "map/MapGameLink.h"

#include <cstdio>

namespace {

constexpr const char *kMapFolder = "maps";

// Kind ranges, inclusive.
constexpr uint32_t kPlayerKind = 1;
constexpr uint32_t kFirstTownsfolkKind = 26;
constexpr uint32_t kLastTownsfolkKind = 31;
constexpr uint32_t kFirstPickupKind = 34;
constexpr uint32_t kLastPickupKind = 49;
constexpr uint32_t kFirstEnemyKind = 50;
constexpr uint32_t kLastEnemyKind = 57;
constexpr uint32_t kFirstLateEnemyKind = 61;
constexpr uint32_t kLastLateEnemyKind = 62;

bool InRange(uint32_t kind, uint32_t first, uint32_t last)
{
	return kind >= first && kind <= last;
}

} // namespace

uint16_t MapFileHash(const char *name)
{
	std::string base = GetFileBaseName(name, false);
	return HashName(base.c_str());
}

std::string BuildMapPath(const char *name)
{
	std::string base = GetFileBaseName(name, false);
	char path[kMaxMapPathLength + 1];
	snprintf(path, sizeof(path), MapGameLink::Get().IsOriginalContent() ? "mapo/%s.tmx" : "maps/%s.tmx", base.c_str());
	return path;
}

std::string FindMapFileByHash(uint16_t id)
{
	DirectoryHandle listing = OpenDirectory(kMapFolder);
	if (listing == nullptr)
		return std::string();
	std::string result;
	while (const char *entry = ReadDirectoryName(listing.get())) {
		if (MapFileHash(entry) == id) {
			result = BuildMapPath(entry);
			break;
		}
	}
	return result;
}

void ClampToMapRect(const MapRect &rect, int16_t &x, int16_t &y)
{
	// Computed wide so that a rectangle reaching the end of the 16-bit range
	// cannot wrap.
	int32_t lastX = static_cast<int32_t>(rect.x0) + rect.width - 1;
	int32_t lastY = static_cast<int32_t>(rect.y0) + rect.height - 1;
	if (x < rect.x0)
		x = rect.x0;
	if (x > lastX)
		x = static_cast<int16_t>(lastX);
	if (y < rect.y0)
		y = rect.y0;
	if (y > lastY)
		y = static_cast<int16_t>(lastY);
}

bool IsMapEntity(Entity *entity)
{
	return entity != nullptr && entity->scene != nullptr && entity->lifeState < kLifeDestroyed &&
		entity->IsKind(kMapEntityClassId);
}

bool IsActiveMapEntity(Entity *entity)
{
	return IsMapEntity(entity) && entity->lifeState < kLifePaused;
}

uint32_t MapEntityKindFromType(uint16_t type)
{
	// Worked out in 16 bits, then widened: the highest types wrap round.
	return static_cast<uint16_t>(type + kEntityKindFromTypeOffset);
}

uint16_t EntityKindToIndex(uint32_t kind)
{
	return static_cast<uint16_t>(kind - kEntityKindFromTypeOffset);
}

bool IsNPCKind(uint32_t kind)
{
	return InRange(kind, kFirstTownsfolkKind, kLastTownsfolkKind);
}

bool IsEnemyKind(uint32_t kind)
{
	return InRange(kind, kFirstEnemyKind, kLastEnemyKind) || InRange(kind, kFirstLateEnemyKind, kLastLateEnemyKind);
}

bool IsPickupKind(uint32_t kind)
{
	return InRange(kind, kFirstPickupKind, kLastPickupKind);
}

bool IsActorKind(uint32_t kind)
{
	return kind == kPlayerKind || IsNPCKind(kind) || IsEnemyKind(kind);
}
