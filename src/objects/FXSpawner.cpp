#include "objects/FXSpawner.h"

#include "engine/core/CacheMap.h"
#include "engine/core/Entity.h"
#include "engine/render/Material.h"
#include "engine/render/Model3D.h"
#include "objects/FXChicken.h"
#include "objects/FXDust.h"
#include "objects/FXElectroBlast.h"
#include "objects/FXElectric.h"
#include "objects/FXEvaporate.h"
#include "objects/FXExplosion.h"
#include "objects/FXFireball.h"
#include "objects/FXGrass.h"
#include "objects/FXHeart.h"
#include "objects/FXIceball.h"
#include "objects/FXLove.h"
#include "objects/FXPool.h"
#include "objects/FXSmoke.h"
#include "objects/FXSplash.h"
#include "objects/FXSplashLava.h"
#include "objects/FXStep.h"
#include "objects/FXStrikeAxe.h"
#include "objects/FXStrikeKey.h"
#include "objects/FXStrikeSword.h"
#include "objects/FXStrikeUnarmed.h"
#include "objects/FXWoodchip.h"

#include <array>
#include <memory>
#include <vector>

namespace {

template <class T> std::unique_ptr<FXEntity> Make()
{
	return std::make_unique<T>();
}

// Pool size and class of each kind, by kind number (row 0 unused).
struct PoolRow {
	uint16_t count;
	FXPool::Maker make;
};

constexpr PoolRow kPoolRows[kFXKindLast + 1] = {
	{0, nullptr},
	{4, Make<FXStrikeSword>},
	{4, Make<FXStrikeAxe>},
	{4, Make<FXStrikeUnarmed>},
	{4, Make<FXFireball>},
	{4, Make<FXIceball>},
	{4, Make<FXExplosion>},
	{4, Make<FXElectroBlast>},
	{4, Make<FXEvaporate>},
	{4, Make<FXElectric>},
	{4, Make<FXStrikeKey>},
	{32, Make<FXChicken>},
	{8, Make<FXHeart>},
	{4, Make<FXLove>},
	{8, Make<FXGrass>},
	{8, Make<FXWoodchip>},
	{8, Make<FXDust>},
	{8, Make<FXSmoke>},
	{8, Make<FXStep>},
	{3, Make<FXSplash>},
	{3, Make<FXSplashLava>},
};

// The pools and the effect list. Effects give their models, materials and
// readers back to caches when they go, so those caches are made before the
// store: statics end in the reverse order of their making, and the caches
// then outlive it even when ReleaseAll was never called.
// Set once the store has gone at the program's end: a world object freed
// later still tells the spawner, which must not touch the store then.
bool storeGone = false;

struct EffectStore {
	EffectStore()
	{
		CacheMap<Material>::GetInstance();
		GetModelReaderCache();
	}
	~EffectStore()
	{
		Release();
		storeGone = true;
	}

	void Release()
	{
		// Listed effects may be each other's sources; none reads another as
		// it goes, and the list goes first so nothing walks freed entries.
		listed.clear();
		for (std::unique_ptr<FXPool> &pool : pools)
			pool.reset();
	}

	std::array<std::unique_ptr<FXPool>, kFXKindLast + 1> pools;
	std::vector<FXEntity *> listed; // every instance spawned at least once
};

EffectStore &Store()
{
	static EffectStore store;
	return store;
}

bool IsKnownKind(uint32_t kind)
{
	return kind >= 1 && kind <= kFXKindLast;
}

} // namespace

std::unique_ptr<FXEntity> FXSpawner::Make(uint32_t kind)
{
	return IsKnownKind(kind) ? kPoolRows[kind].make() : nullptr;
}

FXEntity *FXSpawner::Spawn(Entity *source, uint32_t kind, const Vec3 &offset)
{
	if (!IsKnownKind(kind))
		return nullptr;
	// An effect lives in its source's scene; with none to join it would
	// never be started, updated or switched off.
	if (source == nullptr || source->scene == nullptr || !Entity::IsAlive(source) || storeGone)
		return nullptr;
	EffectStore &store = Store();
	std::unique_ptr<FXPool> &pool = store.pools[kind];
	if (pool == nullptr)
		pool = std::make_unique<FXPool>(kPoolRows[kind].count, kPoolRows[kind].make);
	FXEntity *effect = pool->Next();
	if (effect == nullptr)
		return nullptr;
	if (!effect->IsListed()) {
		effect->MarkListed();
		store.listed.push_back(effect);
	}
	effect->transform.position = source->transform.position + offset;
	effect->Launch(source);
	effect->SetActive(true);
	return effect;
}

void FXSpawner::DeactivateAll()
{
	if (storeGone)
		return;
	for (FXEntity *effect : Store().listed) {
		if (effect != nullptr && effect->lifeState < kLifePaused)
			effect->SetActive(false);
	}
}

void FXSpawner::ForgetEntity(const Entity *entity)
{
	if (entity == nullptr || storeGone)
		return;
	for (FXEntity *effect : Store().listed)
		effect->ForgetEntity(entity);
}

void FXSpawner::ReleaseAll()
{
	if (!storeGone)
		Store().Release();
}

FXPool *FXSpawner::FindPool(uint32_t kind)
{
	return IsKnownKind(kind) ? Store().pools[kind].get() : nullptr;
}

uint16_t FXSpawner::PoolSize(uint32_t kind)
{
	return IsKnownKind(kind) ? kPoolRows[kind].count : 0;
}

size_t FXSpawner::ListedCount()
{
	return Store().listed.size();
}

FXEntity *FXSpawner::ListedAt(size_t index)
{
	const std::vector<FXEntity *> &listed = Store().listed;
	return index < listed.size() ? listed[index] : nullptr;
}
