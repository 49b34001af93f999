#pragma once
// A person on the shared skeleton (Humanoid.h): pelvis, belly, chest, neck,
// head with a nose, two arms and two legs, every part a box bent at the
// joints, plus the pieces that tell people apart (beard, apron, skirt or
// robe, hair, hat, hood). Every person's texture is a grid of 32-pixel cells
// laid out like "models/blacksmith.png" (tools/texgen/textures.txt paints
// them); the cells below name what each one shows there, and a person's
// texture repaints the cells in its own colours. Figures built here have no
// animations: the game plays those of "models/blacksmith.iqm" on them.
#include "../ModelBuilder.h"

#include "Humanoid.h"

namespace figure {

constexpr int kTextureWidth = 256;
constexpr int kTextureHeight = 96;
constexpr int kCell = 32; // pixels

constexpr AtlasRect Cell(int column, int row)
{
	return {column * kCell, row * kCell, kCell, kCell};
}

constexpr AtlasRect kNone = {};
constexpr AtlasRect kFace = Cell(0, 0); // young face, auburn fringe
constexpr AtlasRect kFaceBeard = Cell(1, 0); // old face, brows, moustache, beard
constexpr AtlasRect kHeadSide = Cell(2, 0); // dark hair over skin, ear
constexpr AtlasRect kHair = Cell(3, 0);
constexpr AtlasRect kHeadSide2 = Cell(4, 0); // auburn hair over skin, ear
constexpr AtlasRect kHair2 = Cell(5, 0);
constexpr AtlasRect kSkin = Cell(6, 0);
constexpr AtlasRect kGlove = Cell(7, 0);
constexpr AtlasRect kShirt = Cell(0, 1);
constexpr AtlasRect kShirtFront = Cell(1, 1); // open collar, buttons
constexpr AtlasRect kSleeve = Cell(2, 1); // rolled up at the bottom
constexpr AtlasRect kApron = Cell(3, 1);
constexpr AtlasRect kTunic = Cell(4, 1); // gold hem at the bottom
constexpr AtlasRect kTunicFront = Cell(5, 1); // laced collar
constexpr AtlasRect kTunicSleeve = Cell(6, 1); // gold cuff at the bottom
constexpr AtlasRect kBeard = Cell(7, 1);
constexpr AtlasRect kTrousers = Cell(0, 2);
constexpr AtlasRect kBelt = Cell(1, 2); // belt along the top, trousers below
constexpr AtlasRect kBeltFront = Cell(2, 2); // with the buckle
constexpr AtlasRect kShin = Cell(3, 2); // trousers over the boot top
constexpr AtlasRect kBoot = Cell(4, 2); // sole along the bottom
constexpr AtlasRect kSole = Cell(5, 2);
constexpr AtlasRect kBootTop = Cell(6, 2); // laces
constexpr AtlasRect kHat = Cell(7, 2); // hats, hoods and caps

constexpr float kElbowShare = 0.35f; // how much of the forearm's top follows the upper arm
constexpr float kKneeShare = 0.35f;
constexpr float kWaistShare = 0.5f; // spine and chest halves at the ribs; spine and hips at the waist
constexpr float kHeadTop = 4.46f;
constexpr float kSoleWidth = 0.15f;

// The outline of one person: the widths of each part (half sizes, model
// units) and the cells on them. Heights follow the shared skeleton.
struct Build {
	glm::vec2 pelvis, waist, chestLow, chestTop;
	glm::vec2 upperArmTop, upperArmLow, foreArmTop, foreArmLow, hand;
	glm::vec2 thighTop, thighLow, shinTop, shinLow;
	float neck, head;
	AtlasRect belly, bellyFront, chest, chestFront, upperArm, upperArmCuff, foreArm, handSkin;
	AtlasRect face, headSide, hair;
};

RingBinding On(int joint);
RingBinding Shared(int joint, int other, float share);

// The smith's outline: stocky, shirt sleeves rolled up, gloves, beard face.
Build StockyBuild();
// The young smith's outline: slimmer, in the tunic.
Build SlimBuild();

// The body: every part of the outline.
void AddBody(ModelBuilder *b, const Build &body);
// The full beard below the chin, from the beard cell.
void AddBeard(ModelBuilder *b);
// A thick mop of hair over the crown, a little over the brow and the back.
void AddMop(ModelBuilder *b, const Build &body, const AtlasRect &hair);
// A skirt or robe in a left and a right half hanging from the hips to hem
// height; each hem follows its own thigh half-way, so the legs never stride
// through it. flare widens the hem.
void AddSkirt(ModelBuilder *b, float hem, float flare, const AtlasRect &cell);
// A hat on the crown: a brim (half width) and a crown of the given height.
void AddHat(ModelBuilder *b, const Build &body, float brim, float height, const AtlasRect &cell);
// A hood over the head and down the neck, open at the face.
void AddHood(ModelBuilder *b, const Build &body, const AtlasRect &cell);
// Long hair down the back to the shoulder blades.
void AddLongHair(ModelBuilder *b, const Build &body, const AtlasRect &cell);

} // namespace figure
