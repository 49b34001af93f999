#pragma once

#include "engine/core/Entity.h"
#include "engine/core/MathUtil.h"
#include "engine/render/Model3D.h"

#include <cstdint>
#include <memory>

// One short-lived visual effect: a strike's hit box, a projectile, a burst of
// particles, a pickup flying to its collector or a splash ring. Effects are
// never made per use: each kind keeps a fixed pool of instances for the life
// of the program (FXSpawner), and spawning hands out the oldest one again,
// places it, launches it from a source entity and switches it on. Once its
// lifetime runs out it switches itself off and waits, still listed in its
// scene, for its next launch.
//
// The effect owns its model and its collider; both are made once, the first
// time the instance starts, and kept when it joins a later scene. The
// source is the scene's: the spawner makes every effect forget an entity
// before that entity is freed.
class FXEntity : public Entity {
public:
	static constexpr uint8_t kNoHits = 255;        // damage of an effect that hits nothing
	static constexpr float kHitCooldown = 0.2f;    // seconds between two OnHitEntity
	static constexpr float kDefaultLifetime = 0.2f; // seconds

	FXEntity();
	~FXEntity() override;

	// Subclasses make their model, collider and fixed values here, once per
	// instance and scene; the model and collider only the first time.
	void Start() override {}
	// Per-launch state and the launch sound.
	void OnResume() override {}
	// Ageing, expiry and the hit cooldown.
	void Update(float dt) override;
	// The model, one unit ahead along the effect's facing.
	void Render() override;
	// The matrix the model is drawn with.
	glm::mat4 ModelMatrix() const;
	// Hits dealt in the source's name.
	void OnCollide(Entity *other) override;

	// Joins the source's scene, faces along the source and restarts the age;
	// a switched-off effect resumes (OnResume), a running one just moves.
	// Only SpawnFX calls it.
	virtual void Launch(Entity *source);
	// The first contact of each 0.2 s of active time.
	virtual void OnHitEntity(Entity *hit) { (void)hit; }
	// Drops every pointer the effect keeps to the entity, which is about to
	// be freed: it then counts as gone.
	virtual void ForgetEntity(const Entity *entity);

	// Plays the sound at the effect's position.
	void PlaySound(const char *name, float volume);

	// Whether the spawner keeps the instance in its effect list already.
	bool IsListed() const { return listed != 0; }
	void MarkListed() { listed = 1; }

	std::unique_ptr<Model3D> model;
	float age = 0.0f;                // seconds since the last launch
	Entity *source = nullptr;        // not owned; hits are dealt in its name
	uint8_t damage = kNoHits;        // half hearts given to the source's Attack
	float power = 1.0f;              // knock-back of a hit
	float lifetime = kDefaultLifetime; // seconds
	float hitCooldown = 0.0f;        // seconds left before the next OnHitEntity

protected:
	// Makes the owned collider the first time; later calls only hand back
	// the one made then, so a pool instance never builds it twice.
	Collider *MakeCollider(const Vec3 &size, const Vec3 &offset, int32_t mode, float weight);

private:
	uint8_t listed = 0; // set once by the spawner, never cleared
};

// A non-null entity held by a scene or container that is added or running.
bool IsLiveEntity(const Entity *entity);
// Turns the transform so that it looks along direction with +Y up. A zero
// or vertical direction leaves the rotation as it was (false): a look
// rotation about such an axis is undefined.
bool TurnAlong(Transform &transform, const Vec3 &direction);
