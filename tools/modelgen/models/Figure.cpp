#include "Figure.h"

namespace figure {

RingBinding On(int joint)
{
	return {joint, -1, 0.0f};
}

RingBinding Shared(int joint, int other, float share)
{
	return {joint, other, share};
}

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

void AddBody(ModelBuilder *b, const Build &body)
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


Build StockyBuild()
{
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
	return body;
}

Build SlimBuild()
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

void AddBeard(ModelBuilder *b)
{
	BoxShape beard;
	beard.bottom = {0, -0.36f, 3.55f};
	beard.bottomHalf = {0.3f, 0.08f};
	beard.top = {0, -0.35f, 3.86f};
	beard.topHalf = {0.34f, 0.06f};
	beard.skin = BoxSkin::All(kBeard);
	beard.skin.back = beard.skin.top = kNone;
	beard.bottomRing = beard.topRing = On(kHead);
	b->AddBox(beard);
}

void AddMop(ModelBuilder *b, const Build &body, const AtlasRect &hair)
{
	BoxShape mop;
	mop.bottom = {0, -0.01f, 4.3f};
	mop.bottomHalf = {body.head + 0.04f, body.head + 0.04f};
	mop.top = {0, 0.01f, kHeadTop + 0.1f};
	mop.topHalf = {body.head + 0.01f, body.head + 0.01f};
	mop.skin = BoxSkin::All(hair);
	mop.skin.bottom = kNone;
	mop.bottomRing = mop.topRing = On(kHead);
	b->AddBox(mop);
}

void AddSkirt(ModelBuilder *b, float hem, float flare, const AtlasRect &cell)
{
	constexpr float kSkirtTop = 2.36f;
	constexpr float kTopHalfWidth = 0.22f, kHemHalfWidth = 0.3f;
	constexpr float kThighShare = 0.5f;
	for (float side : {1.0f, -1.0f}) {
		const int thigh = side > 0 ? kUpperLegL : kUpperLegR;
		BoxShape skirt;
		skirt.top = {side * kTopHalfWidth, 0, kSkirtTop};
		skirt.topHalf = {kTopHalfWidth, 0.28f};
		skirt.bottom = {side * (kHemHalfWidth + flare * 0.5f), 0, hem};
		skirt.bottomHalf = {kHemHalfWidth + flare * 0.5f, 0.4f + flare};
		skirt.skin = BoxSkin::All(cell);
		skirt.skin.top = skirt.skin.bottom = kNone;
		skirt.topRing = On(kHips);
		skirt.bottomRing = Shared(thigh, kHips, 1.0f - kThighShare);
		b->AddBox(skirt);
	}
}

void AddHat(ModelBuilder *b, const Build &body, float brim, float height, const AtlasRect &cell)
{
	constexpr float kBrimThickness = 0.06f;
	const float seat = kHeadTop - 0.08f;
	BoxShape rim;
	rim.bottom = {0, -0.02f, seat};
	rim.bottomHalf = {brim, brim};
	rim.top = {0, -0.02f, seat + kBrimThickness};
	rim.topHalf = {brim, brim};
	rim.skin = BoxSkin::All(cell);
	rim.bottomRing = rim.topRing = On(kHead);
	b->AddBox(rim);

	BoxShape crown;
	crown.bottom = {0, -0.02f, seat + kBrimThickness};
	crown.bottomHalf = {body.head + 0.03f, body.head + 0.03f};
	crown.top = {0, -0.02f, seat + kBrimThickness + height};
	crown.topHalf = {body.head * 0.8f, body.head * 0.8f};
	crown.skin = BoxSkin::All(cell);
	crown.skin.bottom = kNone;
	crown.bottomRing = crown.topRing = On(kHead);
	b->AddBox(crown);
}

void AddHood(ModelBuilder *b, const Build &body, const AtlasRect &cell)
{
	BoxShape hood;
	hood.bottom = {0, 0.03f, 3.5f};
	hood.bottomHalf = {body.head + 0.1f, body.head + 0.08f};
	hood.top = {0, 0.02f, kHeadTop + 0.12f};
	hood.topHalf = {body.head + 0.06f, body.head + 0.06f};
	hood.skin = BoxSkin::All(cell);
	hood.skin.front = hood.skin.bottom = kNone; // open at the face
	hood.bottomRing = Shared(kHead, kChest, 0.5f);
	hood.topRing = On(kHead);
	b->AddBox(hood);
}

void AddLongHair(ModelBuilder *b, const Build &body, const AtlasRect &cell)
{
	BoxShape hair;
	hair.bottom = {0, body.head * 0.7f, 2.95f};
	hair.bottomHalf = {body.head + 0.02f, 0.06f};
	hair.top = {0, body.head * 0.5f, kHeadTop};
	hair.topHalf = {body.head + 0.04f, body.head * 0.55f};
	hair.skin = BoxSkin::All(cell);
	hair.bottomRing = Shared(kHead, kChest, 0.6f);
	hair.topRing = On(kHead);
	b->AddBox(hair);
}

} // namespace figure
