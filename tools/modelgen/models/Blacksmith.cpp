// The smiths: "models/blacksmith.iqm", the stocky bearded smith in shirt and
// leather apron who also carries every animation people share, and
// "models/blacksmith2.iqm", the young smith the player walks around as: a
// slimmer build in a green tunic on the same skeleton, with no animations of
// its own. Both are painted from "models/blacksmith.png".
// "models/blacksmithdress.iqm" is the young smith once more, in a dress with a
// pleated skirt and a braid, painted from "models/blacksmithdress.png" (the
// same grid of cells, repainted), again on the shared skeleton.
#include "Models.h"

#include "Humanoid.h"

// "models/blacksmith.png" is painted by texgen (tools/texgen/textures.txt) as
// a grid of 32-pixel cells, one per material below; keep the two in step.
constexpr int kTextureWidth = 256;
constexpr int kTextureHeight = 96;
constexpr int kCell = 32; // pixels

static constexpr AtlasRect Cell(int column, int row)
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

static RingBinding On(int joint)
{
	return {joint, -1, 0.0f};
}

static RingBinding Shared(int joint, int other, float share)
{
	return {joint, other, share};
}

// The outline of one person: the widths of each part (half sizes, model
// units) and the materials on them. Heights follow the shared skeleton.
struct Build {
	glm::vec2 pelvis, waist, chestLow, chestTop;
	glm::vec2 upperArmTop, upperArmLow, foreArmTop, foreArmLow, hand;
	glm::vec2 thighTop, thighLow, shinTop, shinLow;
	float neck, head;
	AtlasRect belly, bellyFront, chest, chestFront, upperArm, upperArmCuff, foreArm, handSkin;
	AtlasRect face, headSide, hair;
};

constexpr float kElbowShare = 0.35f; // how much of the forearm's top follows the upper arm
constexpr float kKneeShare = 0.35f;
constexpr float kWaistShare = 0.5f; // spine and chest halves at the ribs; spine and hips at the waist
constexpr float kHeadTop = 4.46f;
constexpr float kSoleWidth = 0.15f;

static void AddArm(ModelBuilder *b, const Build &body, float side, HumanJoint upper, HumanJoint lower,
	HumanJoint hand)
{
	const float x = side * kShoulderX;
	BoxShape arm;
	arm.bottom = {x, 0, kElbowHeight + 0.02f};
	arm.bottomHalf = body.upperArmLow;
	arm.top = {x, 0, kShoulderHeight + 0.14f};
	arm.topHalf = body.upperArmTop;
	arm.skin = BoxSkin::All(body.upperArmCuff);
	arm.skin.top = body.upperArm;
	arm.skin.bottom = kNone;
	arm.bottomRing = arm.topRing = On(upper);
	b->AddBox(arm);

	BoxShape fore;
	fore.bottom = {x, 0, kWristHeight + 0.02f};
	fore.bottomHalf = body.foreArmLow;
	fore.top = {x, 0, kElbowHeight + 0.06f};
	fore.topHalf = body.foreArmTop;
	fore.skin = BoxSkin::All(body.foreArm);
	fore.skin.top = fore.skin.bottom = kNone;
	fore.bottomRing = On(lower);
	fore.topRing = Shared(lower, upper, kElbowShare);
	b->AddBox(fore);

	BoxShape fist;
	fist.bottom = {x, -0.01f, 1.84f};
	fist.bottomHalf = body.hand - glm::vec2(0.01f, 0.0f);
	fist.top = {x, 0, kWristHeight + 0.04f};
	fist.topHalf = body.hand;
	fist.skin = BoxSkin::All(body.handSkin);
	fist.skin.top = kNone;
	fist.bottomRing = fist.topRing = On(hand);
	b->AddBox(fist);
}

static void AddLeg(ModelBuilder *b, const Build &body, float side, HumanJoint upper, HumanJoint lower,
	HumanJoint foot)
{
	const float x = side * kLegX;
	BoxShape thigh;
	thigh.bottom = {x, 0, kKneeHeight - 0.02f};
	thigh.bottomHalf = body.thighLow;
	thigh.top = {x, 0, 1.96f};
	thigh.topHalf = body.thighTop;
	thigh.skin = BoxSkin::All(kTrousers);
	thigh.skin.top = thigh.skin.bottom = kNone;
	thigh.bottomRing = thigh.topRing = On(upper);
	b->AddBox(thigh);

	BoxShape shin;
	shin.bottom = {x, 0, kAnkleHeight - 0.02f};
	shin.bottomHalf = body.shinLow;
	shin.top = {x, 0, kKneeHeight + 0.04f};
	shin.topHalf = body.shinTop;
	shin.skin = BoxSkin::All(kShin);
	shin.skin.top = shin.skin.bottom = kNone;
	shin.bottomRing = On(lower);
	shin.topRing = Shared(lower, upper, kKneeShare);
	b->AddBox(shin);

	BoxShape boot;
	boot.bottom = {x, -0.15f, 0.0f};
	boot.bottomHalf = {kSoleWidth, 0.3f};
	boot.top = {x, -0.1f, 0.3f};
	boot.topHalf = {kSoleWidth - 0.01f, 0.22f};
	boot.skin = BoxSkin::All(kBoot);
	boot.skin.top = kBootTop;
	boot.skin.bottom = kSole;
	boot.bottomRing = boot.topRing = On(foot);
	b->AddBox(boot);
}

static void AddBody(ModelBuilder *b, const Build &body)
{
	BoxShape pelvis;
	pelvis.bottom = {0, 0, 1.78f};
	pelvis.bottomHalf = body.pelvis;
	pelvis.top = {0, 0, 2.32f};
	pelvis.topHalf = body.pelvis - glm::vec2(0.01f, 0.0f);
	pelvis.skin = BoxSkin::All(kBelt);
	pelvis.skin.front = kBeltFront;
	pelvis.skin.top = kNone;
	pelvis.skin.bottom = kTrousers;
	pelvis.bottomRing = pelvis.topRing = On(kHips);
	b->AddBox(pelvis);

	BoxShape belly;
	belly.bottom = {0, 0, 2.28f};
	belly.bottomHalf = body.waist;
	belly.top = {0, -0.01f, 2.9f};
	belly.topHalf = body.chestLow;
	belly.skin = BoxSkin::All(body.belly);
	belly.skin.front = body.bellyFront;
	belly.skin.top = belly.skin.bottom = kNone;
	belly.bottomRing = Shared(kSpine, kHips, kWaistShare);
	belly.topRing = Shared(kSpine, kChest, kWaistShare);
	b->AddBox(belly);

	BoxShape chest;
	chest.bottom = {0, -0.01f, 2.86f};
	chest.bottomHalf = body.chestLow;
	chest.top = {0, 0, 3.5f};
	chest.topHalf = body.chestTop;
	chest.skin = BoxSkin::All(body.chest);
	chest.skin.front = body.chestFront;
	chest.skin.bottom = kNone;
	chest.bottomRing = Shared(kSpine, kChest, kWaistShare);
	chest.topRing = On(kChest);
	b->AddBox(chest);

	BoxShape neck;
	neck.bottom = {0, 0, 3.42f};
	neck.bottomHalf = {body.neck, body.neck};
	neck.top = {0, 0, 3.72f};
	neck.topHalf = {body.neck - 0.01f, body.neck - 0.01f};
	neck.skin = BoxSkin::All(kSkin);
	neck.skin.top = neck.skin.bottom = kNone;
	neck.bottomRing = neck.topRing = On(kNeck);
	b->AddBox(neck);

	BoxShape head;
	head.bottom = {0, -0.02f, 3.66f};
	head.bottomHalf = {body.head, body.head};
	head.top = {0, -0.02f, kHeadTop};
	head.topHalf = {body.head + 0.01f, body.head + 0.01f};
	head.skin = {body.face, body.hair, body.headSide, body.headSide, body.hair, kSkin};
	head.bottomRing = head.topRing = On(kHead);
	b->AddBox(head);

	BoxShape nose;
	const float faceFront = -0.02f - body.head;
	nose.bottom = {0, faceFront - 0.04f, 3.9f};
	nose.bottomHalf = {0.055f, 0.05f};
	nose.top = {0, faceFront - 0.03f, 4.02f};
	nose.topHalf = {0.05f, 0.04f};
	nose.skin = BoxSkin::All(kSkin);
	nose.skin.back = kNone;
	nose.bottomRing = nose.topRing = On(kHead);
	b->AddBox(nose);

	AddArm(b, body, 1.0f, kUpperArmL, kLowerArmL, kHandL);
	AddArm(b, body, -1.0f, kUpperArmR, kLowerArmR, kHandR);
	AddLeg(b, body, 1.0f, kUpperLegL, kLowerLegL, kFootL);
	AddLeg(b, body, -1.0f, kUpperLegR, kLowerLegR, kFootR);
}

bool BuildBlacksmith(IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	Build body;
	body.pelvis = {0.44f, 0.27f};
	body.waist = {0.43f, 0.28f};
	body.chestLow = {0.47f, 0.3f};
	body.chestTop = {0.5f, 0.3f};
	body.upperArmTop = {0.16f, 0.16f};
	body.upperArmLow = {0.13f, 0.13f};
	body.foreArmTop = {0.125f, 0.125f};
	body.foreArmLow = {0.105f, 0.105f};
	body.hand = {0.11f, 0.12f};
	body.thighTop = {0.19f, 0.2f};
	body.thighLow = {0.16f, 0.17f};
	body.shinTop = {0.155f, 0.16f};
	body.shinLow = {0.14f, 0.15f};
	body.neck = 0.16f;
	body.head = 0.36f;
	body.belly = kShirt;
	body.bellyFront = kShirt;
	body.chest = kShirt;
	body.chestFront = kShirtFront;
	body.upperArm = kShirt;
	body.upperArmCuff = kSleeve;
	body.foreArm = kSkin; // sleeves rolled up for the forge
	body.handSkin = kGlove;
	body.face = kFaceBeard;
	body.headSide = kHeadSide;
	body.hair = kHair;
	AddBody(&b, body);

	// The full beard hangs below the chin.
	BoxShape beard;
	beard.bottom = {0, -0.36f, 3.55f};
	beard.bottomHalf = {0.3f, 0.08f};
	beard.top = {0, -0.35f, 3.86f};
	beard.topHalf = {0.34f, 0.06f};
	beard.skin = BoxSkin::All(kBeard);
	beard.skin.back = beard.skin.top = kNone;
	beard.bottomRing = beard.topRing = On(kHead);
	b.AddBox(beard);

	// The leather apron, in two pieces that bend with the waist.
	constexpr float kApronY = -0.33f; // just in front of the shirt
	constexpr float kApronHalfDepth = 0.02f;
	const float waistRing = 2.9f;
	BoxShape apron;
	apron.bottom = {0, kApronY, 1.7f};
	apron.bottomHalf = {0.4f, kApronHalfDepth};
	apron.top = {0, kApronY, waistRing};
	apron.topHalf = {0.4f, kApronHalfDepth};
	apron.skin = BoxSkin::All(kApron);
	apron.skin.back = kNone;
	apron.bottomRing = On(kHips);
	apron.topRing = Shared(kSpine, kChest, kWaistShare);
	b.AddBox(apron);
	BoxShape bib = apron;
	bib.bottom = {0, kApronY, waistRing};
	bib.top = {0, kApronY - 0.01f, 3.32f};
	bib.topHalf = {0.3f, kApronHalfDepth};
	bib.bottomRing = Shared(kSpine, kChest, kWaistShare);
	bib.topRing = On(kChest);
	b.AddBox(bib);

	AddHumanAnimations(&b);
	return b.Finish("blacksmith", "blacksmith", out, error);
}

// The young smith's outline, shared by the tunic and the dress.
static Build YoungSmith()
{
	Build body;
	body.pelvis = {0.4f, 0.25f};
	body.waist = {0.39f, 0.25f};
	body.chestLow = {0.42f, 0.27f};
	body.chestTop = {0.46f, 0.28f};
	body.upperArmTop = {0.145f, 0.145f};
	body.upperArmLow = {0.12f, 0.12f};
	body.foreArmTop = {0.115f, 0.115f};
	body.foreArmLow = {0.095f, 0.095f};
	body.hand = {0.1f, 0.11f};
	body.thighTop = {0.18f, 0.19f};
	body.thighLow = {0.15f, 0.16f};
	body.shinTop = {0.15f, 0.155f};
	body.shinLow = {0.135f, 0.145f};
	body.neck = 0.14f;
	body.head = 0.35f;
	body.belly = kTunic;
	body.bellyFront = kTunic;
	body.chest = kTunic;
	body.chestFront = kTunicFront;
	body.upperArm = kTunic;
	body.upperArmCuff = kTunicSleeve;
	body.foreArm = kSkin;
	body.handSkin = kSkin;
	body.face = kFace;
	body.headSide = kHeadSide2;
	body.hair = kHair2;
	return body;
}

// A thick mop of hair over the crown, a little over the brow and the back.
static void AddMop(ModelBuilder *b, const Build &body)
{
	BoxShape mop;
	mop.bottom = {0, -0.01f, 4.3f};
	mop.bottomHalf = {body.head + 0.04f, body.head + 0.04f};
	mop.top = {0, 0.01f, kHeadTop + 0.1f};
	mop.topHalf = {body.head + 0.01f, body.head + 0.01f};
	mop.skin = BoxSkin::All(kHair2);
	mop.skin.bottom = kNone;
	mop.bottomRing = mop.topRing = On(kHead);
	b->AddBox(mop);
}

bool BuildBlacksmithDress(IqmModel *out, std::string *error)
{
	// On "models/blacksmithdress.png" the tunic cells hold the bodice and
	// puffed sleeves, the apron cell the skirt and the trouser cells
	// stockings, so the young smith's outline dresses itself.
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	Build body = YoungSmith();
	body.waist = {0.36f, 0.24f}; // drawn in at the sash
	AddBody(&b, body);
	AddMop(&b, body);

	// The skirt, in a left and a right half: each hangs from the hips and its
	// hem follows its own thigh half-way, so the legs never stride through it.
	constexpr float kSkirtTop = 2.36f, kSkirtHem = 0.78f;
	constexpr float kTopHalfWidth = 0.22f, kHemHalfWidth = 0.3f;
	constexpr float kThighShare = 0.5f;
	for (float side : {1.0f, -1.0f}) {
		const int thigh = side > 0 ? kUpperLegL : kUpperLegR;
		BoxShape skirt;
		skirt.top = {side * kTopHalfWidth, 0, kSkirtTop};
		skirt.topHalf = {kTopHalfWidth, 0.28f};
		skirt.bottom = {side * kHemHalfWidth, 0, kSkirtHem};
		skirt.bottomHalf = {kHemHalfWidth, 0.4f};
		skirt.skin = BoxSkin::All(kApron);
		skirt.skin.top = skirt.skin.bottom = kNone;
		skirt.topRing = On(kHips);
		skirt.bottomRing = Shared(thigh, kHips, 1.0f - kThighShare);
		b.AddBox(skirt);
	}

	// A braid down the back of the head.
	BoxShape braid;
	braid.bottom = {0, 0.4f, 3.25f};
	braid.bottomHalf = {0.07f, 0.05f};
	braid.top = {0, 0.38f, 4.2f};
	braid.topHalf = {0.11f, 0.06f};
	braid.skin = BoxSkin::All(kHair2);
	braid.bottomRing = braid.topRing = On(kHead);
	b.AddBox(braid);

	// No animations, as for "models/blacksmith2.iqm": the game plays those of
	// "models/blacksmith.iqm" on this skeleton.
	return b.Finish("blacksmithdress", "blacksmithdress", out, error);
}

bool BuildBlacksmith2(IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	const Build body = YoungSmith();
	AddBody(&b, body);
	AddMop(&b, body);

	// No animations: the game plays the ones in "models/blacksmith.iqm" on
	// this mesh, which is why both files must keep the same skeleton.
	return b.Finish("blacksmith2", "blacksmith", out, error);
}
