#include "objects/FXWorld.h"

#include "engine/collision/Collider.h"
#include "engine/core/Camera.h"
#include "objects/FXParticles.h"
#include "objects/SpawnFX.h"

#include <string>
#include <vector>

namespace {

FXParticles *Burst(Entity *source, uint32_t kind)
{
	return dynamic_cast<FXParticles *>(FXSpawner::Spawn(source, kind, Vec3(0.0f)));
}

TEST_F(FXWorld, EachParticleKindHasItsCountLifetimeAndLook)
{
	struct Row {
		uint32_t kind;
		size_t count;
		float lifetime, startScale, growth;
		uint32_t renderMode;
		const char *sound;
	};
	const Row rows[] = {
		{kFXKindExplosion, 6, 0.5f, 2.0f, 2.5f, 2, "sfx/explosion.wav"},
		{kFXKindElectroBlast, 3, 0.5f, 2.0f, 2.5f, 2, "sfx/explosion.wav"},
		{kFXKindEvaporate, 5, 0.5f, 0.5f, 1.3f, 2, "sfx/evaporate.wav"},
		{kFXKindLove, 6, 0.5f, 0.4f, 1.0f, 2, "sfx/explosion.wav"},
		{kFXKindGrass, 6, 1.0f, 0.5f, 0.0f, 0, nullptr},
		{kFXKindWoodchip, 10, 0.5f, 0.8f, 0.0f, 2, nullptr},
		{kFXKindDust, 8, 0.5f, 1.0f, -1.0f, 2, nullptr},
		{kFXKindSmoke, 8, 1.0f, 0.9f, -0.5f, 2, nullptr},
		{kFXKindStep, 1, 0.5f, 0.5f, -1.0f, 2, nullptr},
	};
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f));
	for (const Row &row : rows) {
		SCOPED_TRACE("kind " + std::to_string(row.kind));
		sounds.names.clear();
		FXParticles *burst = Burst(hero.get(), row.kind);
		ASSERT_NE(nullptr, burst);
		Frame(0.0f); // started, not yet moved
		ASSERT_EQ(row.count, burst->GetParticles().size());
		EXPECT_FLOAT_EQ(row.lifetime, burst->lifetime);
		EXPECT_EQ(row.renderMode, burst->renderMode);
		for (const Particle &particle : burst->GetParticles())
			EXPECT_FLOAT_EQ(row.startScale, particle.scale);
		Frame(0.2f);
		for (const Particle &particle : burst->GetParticles())
			EXPECT_NEAR(row.startScale + row.growth * 0.2f, particle.scale, 1e-5f);
		EXPECT_EQ(row.sound != nullptr ? 1u : 0u, sounds.names.size());
		if (row.sound != nullptr && !sounds.names.empty()) {
			EXPECT_EQ(row.sound, sounds.names[0]);
		}
		EXPECT_EQ(6u, burst->GetMesh().GetIndexCount());
	}
}

TEST_F(FXWorld, DustDriftsUpOnTopOfItsOwnSpeedAndGoesAfterHalfASecond)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f));
	FXParticles *dust = Burst(hero.get(), kFXKindDust);
	Frame(0.0f);
	Frames(5); // 0.25 s
	for (const Particle &particle : dust->GetParticles()) {
		EXPECT_NEAR(particle.velocity.y * 0.25f + 0.3f * 0.25f, particle.offset.y, 1e-4f);
		EXPECT_NEAR(particle.velocity.x * 0.25f, particle.offset.x, 1e-4f);
		const float speed = glm::length(particle.velocity);
		EXPECT_GE(speed, 3.0f * 0.5f - 1e-4f);
		EXPECT_LE(speed, 3.0f + 1e-4f);
	}
	// Back to front along z.
	const std::vector<Particle> &particles = dust->GetParticles();
	for (size_t i = 1; i < particles.size(); i++)
		EXPECT_LE(particles[i - 1].offset.z, particles[i].offset.z);
	Frames(4);
	EXPECT_EQ(static_cast<uint32_t>(kLifeRunning), dust->lifeState);
	Frames(2);
	EXPECT_EQ(static_cast<uint32_t>(kLifePaused), dust->lifeState);
}

TEST_F(FXWorld, ClippingsPeakAFifthOfASecondAfterLaunch)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f));
	FXParticles *grass = Burst(hero.get(), kFXKindGrass);
	struct Row {
		int frames;
		float drift;
	};
	const Row rows[] = {{1, 7.5f}, {3, 0.0f}, {2, -5.0f}};
	for (const Row &row : rows) {
		SCOPED_TRACE(std::to_string(row.frames));
		Frames(row.frames);
		EXPECT_NEAR(row.drift, grass->drift.y, 1e-4f);
	}
}

TEST_F(FXWorld, ARelaunchedBurstKeepsItsShapeAndSoundsAgain)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f));
	Camera *camera = Camera::Get();
	ASSERT_NE(nullptr, camera);
	FXParticles *first = Burst(hero.get(), kFXKindExplosion);
	Frame();
	EXPECT_GE(camera->GetShakeAmount(), 3.0f);
	std::vector<Vec3> velocities;
	for (const Particle &particle : first->GetParticles())
		velocities.push_back(particle.velocity);
	Frames(11); // gone
	ASSERT_EQ(static_cast<uint32_t>(kLifePaused), first->lifeState);
	for (int i = 0; i < 3; i++)
		Burst(hero.get(), kFXKindExplosion);
	camera->Update(10.0f);
	const float calm = camera->GetShakeAmount();
	EXPECT_EQ(first, Burst(hero.get(), kFXKindExplosion));
	EXPECT_GE(camera->GetShakeAmount(), 3.0f);
	EXPECT_LT(calm, 3.0f);
	EXPECT_EQ(2u, sounds.Count("sfx/explosion.wav")) << "the reused one sounds at once";
	for (size_t i = 0; i < velocities.size(); i++) {
		EXPECT_EQ(velocities[i], first->GetParticles()[i].velocity);
		EXPECT_EQ(Vec3(0.0f), first->GetParticles()[i].offset);
		EXPECT_FLOAT_EQ(2.0f, first->GetParticles()[i].scale);
	}
	Frame();
	EXPECT_EQ(5u, sounds.Count("sfx/explosion.wav")) << "every launch sounds";
}

TEST_F(FXWorld, TheHeroesHeartBurstAttacksWhatTouchesIt)
{
	auto hero = Spawn(kHeroKind, kFactionPlayer, 6, Vec3(0.0f));
	auto chook = Spawn(kChookKind, kFactionHostile, 10, Vec3(1.5f, 0.0f, 0.0f));
	auto townee = Spawn(kTowneeKind, kFactionTownsfolk, 10, Vec3(-1.5f, 0.0f, 0.0f));
	FXParticles *love = Burst(hero.get(), kFXKindLove);
	ASSERT_NE(nullptr, love->collider);
	EXPECT_EQ(Vec3(3.0f), love->collider->size);
	EXPECT_EQ(4, love->damage);
	Frame();
	EXPECT_EQ(6, chook->stats.hearts);
	EXPECT_EQ(10, townee->stats.hearts) << "the faction rule holds";
	EXPECT_EQ(6, hero->stats.hearts);
}

} // namespace
