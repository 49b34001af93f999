#pragma once
// A map entity for tests of what walks on the map: it wants a fixed walking
// velocity, counts the hooks the physics step calls (blocked, struck, splash, kill)
// and, when given a flag, notes its own deletion.
#include "objects/MapEntity.h"

constexpr uint32_t kWalkerKind = 7; // any kind the factory leaves alone will do

class Walker : public MapEntity {
public:
	explicit Walker(TileMap *onMap, bool *deletedFlag = nullptr) : MapEntity(kWalkerKind), deleted(deletedFlag)
	{
		map = onMap;
	}
	~Walker() override
	{
		if (deleted != nullptr)
			*deleted = true;
	}

	void GetDesiredMove(Vec3 &out, float dt) override
	{
		(void)dt;
		out = wanted;
	}
	void OnBlocked(const Vec3 &direction) override
	{
		blockedThisFrame++;
		lastBlocked = direction;
	}
	void Splash() override
	{
		splashes++;
		MapEntity::Splash();
	}
	void Kill() override
	{
		kills++;
		MapEntity::Kill();
	}
	bool Strike(MapEntity *attacker, uint8_t damage, float power) override
	{
		strikes++;
		lastDamage = damage;
		return MapEntity::Strike(attacker, damage, power);
	}
	void Start() override
	{
		starts++;
		MapEntity::Start();
	}

	Vec3 wanted = Vec3(0.0f);
	Vec3 lastBlocked = Vec3(0.0f);
	int blockedThisFrame = 0;
	int splashes = 0;
	int kills = 0;
	int starts = 0;
	int strikes = 0;
	uint8_t lastDamage = 0;
	bool *deleted;
};
