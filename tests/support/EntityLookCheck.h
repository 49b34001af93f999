#pragma once
// Whether the looks an entity names before its start (what a map's title
// readies) hold the model it loaded at its start: the same file pair and the
// same material.
#include "engine/core/NameHash.h"
#include "engine/render/Model3D.h"
#include "objects/EntityLook.h"
#include "objects/MapEntity.h"

#include <vector>

inline bool NamesLookOf(const MapEntity &entity, const Model3D &model)
{
	std::vector<EntityLook> looks;
	entity.AddLooks(looks);
	for (const EntityLook &look : looks) {
		const uint16_t material = static_cast<uint16_t>(HashName(look.texture.c_str()) + HashName(look.shader.c_str()));
		if (ModelReaderKey(look.model.c_str(), look.animations.c_str()) == model.GetKey() &&
			material == model.GetMaterial().GetKey())
			return true;
	}
	return false;
}
