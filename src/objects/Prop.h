#pragma once

#include "engine/render/Model3D.h"
#include "objects/MapEntity.h"

#include <cstdint>

// A map entity that shows one textured model and does not think: furniture,
// huts, scrolls, signs, planks and roofs, and the base of pickups, doors and
// rock blocks. Its set-up makes a solid box of its radius and clears the two
// flags every prop drops (it neither follows the ground nor can be killed).
// The prop owns its model; it draws it lifted by the render offset (bridges
// raise their plank with it).
class Prop : public MapEntity {
public:
	static constexpr const char *kShader = "shaders/standard.dsh";

	explicit Prop(uint32_t entityKind);

	// A solid cube of twice the radius on the ground, the map entity's
	// start, then no ground following and no killing.
	void Start() override;
	// The shadow, then the model at translate(renderOffset) x the placement.
	void Render() override;
	// The furniture row's model, for the furniture kinds.
	void AddLooks(std::vector<EntityLook> &looks) const override;

	// Loads the model at the scale and gives it the texture with the
	// standard shader.
	void SetModel(const char *modelName, const char *textureName, float scale);
	// The matrix the model is drawn with.
	glm::mat4 ModelMatrix() const;

	Vec3 renderOffset = Vec3(0.0f); // world units
	Model3D model;
};
