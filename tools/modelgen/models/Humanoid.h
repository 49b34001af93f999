#pragma once
// The skeleton and the animations that every person of the game shares. The
// people differ only in their meshes; all of them are bound to these joints,
// in this order, so that any of them plays the animations stored in
// "models/blacksmith.iqm". Actors look the animations up by name and carry
// held items on "B_Weapon.L" (a child of the left hand).
#include "../ModelBuilder.h"

enum HumanJoint : int {
	kHips,
	kSpine,
	kChest,
	kNeck,
	kHead,
	kUpperArmL,
	kLowerArmL,
	kHandL,
	kWeaponL,
	kUpperArmR,
	kLowerArmR,
	kHandR,
	kUpperLegL,
	kLowerLegL,
	kFootL,
	kUpperLegR,
	kLowerLegR,
	kFootR,
	kHumanJointCount
};

// Bind pose measures, in model units (about 4.5 from sole to crown; the game
// draws people at a scale of about a third).
constexpr float kHipHeight = 2.0f;
constexpr float kShoulderX = 0.62f;
constexpr float kShoulderHeight = 3.3f;
constexpr float kElbowHeight = 2.7f;
constexpr float kWristHeight = 2.14f;
constexpr float kLegX = 0.26f;
constexpr float kKneeHeight = 1.04f;
constexpr float kAnkleHeight = 0.22f;
constexpr float kNeckHeight = 3.45f;
constexpr float kHeadHeight = 3.68f; // where the head turns on the neck

// Adds the joints in HumanJoint order, standing upright with the arms down.
void AddHumanSkeleton(ModelBuilder *builder);

// Adds "Idle", "Run", "PushWalk", "StrikeFore", "StrikeBack", "Hit1", "Die",
// "BlockVert", "Jump", "Air", "Land", "Talk", "Get", "Roll", "Pose" and
// "Wave" to a model whose skeleton AddHumanSkeleton made.
void AddHumanAnimations(ModelBuilder *builder);
