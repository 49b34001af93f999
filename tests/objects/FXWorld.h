#pragma once
// A headless world for effect tests: the actor world's active scene and
// game link, a collision checker run after every scene update, the effects'
// sounds written down instead of played, and the effect pools freed again
// at the end of each test, as the game frees them at exit.
#include "engine/collision/CollisionChecker.h"
#include "objects/ActorWorld.h"
#include "objects/FXEntity.h"
#include "objects/FXPool.h"
#include "objects/FXSpawner.h"
#include "objects/SpawnFX.h"
#include "objects/WorldSound.h"

#include <string>
#include <vector>

constexpr float kFXFrame = 0.05f; // seconds; exact in binary

class FXSounds : public WorldSound::Listener {
public:
	FXSounds() { WorldSound::SetListener(this); }
	~FXSounds() override { WorldSound::SetListener(nullptr); }
	void Heard(const char *fileName, float volume) override
	{
		names.push_back(fileName != nullptr ? fileName : "(null)");
		volumes.push_back(volume);
	}
	size_t Count(const std::string &prefix) const
	{
		size_t count = 0;
		for (const std::string &name : names)
			count += name.rfind(prefix, 0) == 0 ? 1 : 0;
		return count;
	}

	std::vector<std::string> names;
	std::vector<float> volumes;
};

class FXWorld : public ActorWorld {
protected:
	void TearDown() override
	{
		FXSpawner::ReleaseAll();
		ActorWorld::TearDown();
	}

	// One frame of play: every listed entity's update, then the contacts.
	void Frame(float dt = kFXFrame)
	{
		scene.Update(dt);
		checker.Check(&scene);
	}
	void Frames(int count)
	{
		for (int i = 0; i < count; i++)
			Frame();
	}
	// The swing of the weapon the actor holds, launched by the actor itself;
	// the effect handed out is the one before the pool's next.
	static FXEntity *Swing(Actor &actor)
	{
		actor.SpawnStrikeFX();
		FXPool *pool = FXSpawner::FindPool(StrikeFXForWeapon(actor.stats.heldKind));
		if (pool == nullptr)
			return nullptr;
		return pool->At(static_cast<uint16_t>((pool->GetNextIndex() + pool->GetCount() - 1) % pool->GetCount()));
	}
	// Turns a map entity to look along the direction, and keeps it so.
	static void Face(MapEntity &entity, const Vec3 &direction)
	{
		entity.transform.rotation = LookRotation(direction, Vec3(0.0f, 1.0f, 0.0f));
		entity.homeRotation = entity.transform.rotation;
		entity.facing = direction;
	}

	CollisionChecker checker;
	FXSounds sounds;
};
