#pragma once

#include "engine/render/Material.h"
#include "objects/Prop.h"

#include <glm/gtc/quaternion.hpp>

#include <cstdint>

// A tuft of grass. It sways, and any blow that reaches it (the hero cuts it
// with whatever is in hand, bolts cut it in passing) takes it away in a
// puff of clippings; the map does not remember it, so it grows back on the
// next visit. Like a tree it sometimes drops food or a heart, and it takes
// its texture from the ground it stands on. It holds one use of its material.
class PropGrass : public Prop {
public:
	static constexpr uint32_t kKind = 21;
	static constexpr const char *kModel = "models/grass.iqm";
	static constexpr int kDropEvery = 7; // placement seeds that drop: multiples of this

	PropGrass();
	~PropGrass() override;

	void Start() override;
	void AddLooks(std::vector<EntityLook> &looks) const override;
	// No physics: the grass only sways.
	void Update(float dt) override;
	void Render() override;
	// Cut: gone until the map loads again. Always true.
	bool Strike(MapEntity *attacker, uint8_t damage, float power) override;

	float swayClock = 0.0f; // seconds
	float swayRate = 0.0f;
	float tint = 0.0f;
	glm::quat restRotation = glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
	Material::Handle material;

private:
	// The tree texture of the ground it stands on.
	const char *TextureName() const;
};
