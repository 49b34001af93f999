#pragma once

#include "engine/render/Mesh.h"
#include "engine/render/MeshRenderer.h"
#include "objects/FXEntity.h"

#include <cstdint>
#include <vector>

// One camera-facing quad of a particle burst.
struct Particle {
	Vec3 offset = Vec3(0.0f);   // from the effect's position
	Vec3 velocity = Vec3(0.0f); // units per second
	float angle = 0.0f;         // radians about the viewing axis
	float scale = 1.0f;
	float spin = 0.0f;          // radians per second
};

// A burst of textured quads that always face the camera: explosions, dust,
// smoke, clippings and the like. Each particle flies out in its own random
// direction, turns and grows or shrinks; the kinds set the count, texture,
// speed, growth, spin and a drift shared by all particles. Directions,
// speeds and spins are drawn once per instance and scene, so a relaunched
// burst repeats its shape; offsets, scales and angles start afresh at every
// launch. One quad mesh is drawn once per particle, by default without the
// depth test. The effect owns its mesh and renderer, and its mesh holds the
// material.
class FXParticles : public FXEntity {
public:
	static constexpr const char *kDefaultShader = "shaders/particle.dsh";
	static constexpr float kLowestHeight = -1.0f; // particles below are not drawn

	// shader null means kDefaultShader.
	FXParticles(uint8_t count, const char *texture, const char *shader);

	// Draws each particle's direction, speed and spin.
	void Start() override;
	// Offsets to zero, the start scale, fresh angles.
	void OnResume() override;
	// Moves, turns and scales the particles, then orders them back to front
	// along z.
	void Update(float dt) override;
	void Render() override;

	const std::vector<Particle> &GetParticles() const { return particles; }
	const Mesh &GetMesh() const { return mesh; }
	// The quad's renderer; it keeps the matrix of the particle drawn last.
	const MeshRenderer &GetQuadRenderer() const { return renderer; }

	uint8_t count;
	float spinRange = 1.0f;   // spins lie in [-spinRange, spinRange] radians per second
	float speed = 1.0f;       // outward speed
	float growth = 1.0f;      // scale change per second
	float startScale = 1.0f;
	Vec3 drift = Vec3(0.0f);  // added to every particle's velocity as it moves
	uint32_t renderMode;      // the renderer's mode while drawing

protected:
	// The launch of a kind: drift, a camera shake when shake is above 0 and
	// a sound when one is named.
	void Burst(const Vec3 &launchDrift, float shake, const char *sound, float volume);

private:
	std::vector<Particle> particles;
	Mesh mesh;
	MeshRenderer renderer; // declared after the mesh, so it goes first
};
