#pragma once

#include "objects/NPCActor.h"

#include <cstddef>

struct MapObjectDef;

// A plain townsperson. Its look comes from its placement: brothers of the
// abbey, the pilgrim and the quarryman have figures of their own; anyone
// else wears one of three townee figures and one of three townee textures,
// picked from the first letters of its name, or from its object group when
// it has none, so that a crowd is mixed but each townee always looks the
// same.
class NPCTownee : public NPCActor {
public:
	static constexpr uint32_t kKind = 26;
	static constexpr float kScale = 0.35f;
	static constexpr size_t kLookChars = 20; // buffer of a chosen file name
	static constexpr int kVariants = 3;      // townee figures and textures each
	static constexpr int kNameLetters = 3;   // letters of the name that pick the variant

	NPCTownee();

	void LoadModel() override;
	void AddLooks(std::vector<EntityLook> &looks) const override;

	// The figure and texture of a placement (files in the data tree).
	static void ChooseLook(const MapObjectDef &placement, char (&modelName)[kLookChars], char (&textureName)[kLookChars]);
	// The variant number of a placement: 2 plus the letters' distance from
	// '@' for a named one (possibly negative), the object group otherwise.
	static int VariantNumber(const MapObjectDef &placement);

	char modelName[kLookChars] = {};
	char textureName[kLookChars] = {};
};
