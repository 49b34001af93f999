#include "objects/NPCTownee.h"

#include "engine/core/NameHash.h"
#include "map/TileMapData.h"

#include <cstdio>

namespace {

constexpr int kVariantBase = 2;
constexpr int kLetterOrigin = 64; // '@': 'A' counts 1

// Brothers of the abbey, by name.
constexpr const char *kBrotherNames[] = {"frere", "moine", "abbe", "prieur"};

// A remainder in [0, divisor), also for a negative number.
int Wrap(int value, int divisor)
{
	const int rest = value % divisor;
	return rest < 0 ? rest + divisor : rest;
}

} // namespace

NPCTownee::NPCTownee()
	: NPCActor(kKind)
{
	SetVoice("sfx/vox-smith%d.wav", 5);
}

int NPCTownee::VariantNumber(const MapObjectDef &placement)
{
	const char *text = placement.name.Get();
	if (text == nullptr)
		return placement.Group();
	int n = kVariantBase;
	for (int i = 0; i < kNameLetters && text[i] != '\0'; i++)
		n += static_cast<int>(static_cast<signed char>(text[i])) - kLetterOrigin;
	return n;
}

void NPCTownee::ChooseLook(const MapObjectDef &placement, char (&model)[kLookChars], char (&texture)[kLookChars])
{
	const char *text = placement.name.Get();
	const uint16_t key = text != nullptr ? HashName(text) : 0;
	for (const char *brother : kBrotherNames) {
		if (text != nullptr && key == HashName(brother)) {
			snprintf(model, kLookChars, "models/npc-fr.iqm");
			snprintf(texture, kLookChars, "models/npc-fr.png");
			return;
		}
	}
	if (text != nullptr && key == HashName("pilgrim")) {
		snprintf(model, kLookChars, "models/npc-pl.iqm");
		snprintf(texture, kLookChars, "models/npc-pl.png");
		return;
	}
	if (text != nullptr && key == HashName("quarryman")) {
		snprintf(model, kLookChars, "models/npc-qr.iqm");
		snprintf(texture, kLookChars, "models/npc-qr.png");
		return;
	}
	const int n = VariantNumber(placement);
	snprintf(model, kLookChars, "models/townee%d.iqm", Wrap(n, kVariants) + 1);
	snprintf(texture, kLookChars, "models/townee%d.png", Wrap(n / 2, kVariants) + 1);
}

void NPCTownee::AddLooks(std::vector<EntityLook> &looks) const
{
	char model[kLookChars] = {};
	char texture[kLookChars] = {};
	ChooseLook(*mapObject, model, texture);
	AddFigure(looks, model, texture);
}

void NPCTownee::LoadModel()
{
	ChooseLook(*mapObject, modelName, textureName);
	LoadFigure(modelName, textureName, kScale);
	NPCActor::LoadModel();
}
