#pragma once

#include "engine/render/Material.h"
#include "engine/render/MeshRenderer.h"
#include "engine/render/Model3D.h"

#include <cstdint>
#include <vector>

class MapEntity;
struct EntityLook;

// The soft blob under a map entity: a flat model with a round or square mask
// texture, laid on the ground below its owner and sized by the owner's shadow
// size. Every map entity owns one and draws it from its Render. The shadow
// holds a counted use of its material and its own model; it never owns its
// owner.
class Shadow {
public:
	static constexpr uint32_t kShapeCircle = 0;
	static constexpr uint32_t kShapeRectangle = 1;

	explicit Shadow(MapEntity *owner);
	virtual ~Shadow();
	Shadow(const Shadow &) = delete;
	Shadow &operator=(const Shadow &) = delete;

	// kShapeRectangle takes the square mask and model; any other value the
	// round ones.
	void SetShape(uint32_t shape);
	// The look SetShape loads for the shape.
	static void AddLook(std::vector<EntityLook> &looks, uint32_t shape);
	// Draws the blob, size units across, when the owner is an active map
	// entity.
	void Draw(float size);
	// The model matrix Draw uses: on the ground under the owner (or at the
	// owner's height when it has sunk below the ground or has no map).
	glm::mat4 ComputeMatrix(float size) const;

	MapEntity *owner; // not owned
	Material::Handle material;
	MeshRenderer meshRenderer;
	Model3D model;
	float heightOffset = 0.01f; // world units above the ground
	float aspect = 1.0f;        // x scale against y and z; long props stretch it
};
