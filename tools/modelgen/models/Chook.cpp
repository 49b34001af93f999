// "models/chook.iqm": the chook the hero turns into once the chooks' door is
// open, a round sooty hen on a small skeleton of its own (body, neck, head,
// wings, legs, feet, tail) with its own animations. It is painted from
// "models/chookbomb.png". A held item sits at the beak ("B_Weapon.L"), so
// actors that carry things still find their weapon joint.
// "models/chook2.iqm": the common chook, a slimmer hen without the fuse on
// the same skeleton, with the same animations and texture layout.
#include "Models.h"
#include "MeshHelpers.h"

#include "../ModelBuilder.h"

#include <algorithm>
#include <cmath>

namespace {

// "models/chookbomb.png" (tools/texgen/textures.txt) is a grid of 32-pixel
// cells, one per material below; keep the two in step.
constexpr int kTextureWidth = 128;
constexpr int kTextureHeight = 64;
constexpr int kCell = 32; // pixels

constexpr AtlasRect Cell(int column, int row)
{
	return {column * kCell, row * kCell, kCell, kCell};
}

constexpr AtlasRect kNone = {};
constexpr AtlasRect kFeathers = Cell(0, 0);
constexpr AtlasRect kBreast = Cell(1, 0);
constexpr AtlasRect kHeadSide = Cell(2, 0); // one eye
constexpr AtlasRect kFace = Cell(3, 0); // both eyes
constexpr AtlasRect kWing = Cell(0, 1);
constexpr AtlasRect kComb = Cell(1, 1);
constexpr AtlasRect kBeak = Cell(2, 1); // also the legs and feet
constexpr AtlasRect kTail = Cell(3, 1); // tail feathers with the lit fuse at the top

enum ChookJoint : int {
	kBody,
	kNeck,
	kHead,
	kBeakTip,
	kWingL,
	kWingR,
	kLegL,
	kFootL,
	kLegR,
	kFootR,
	kTailJoint,
	kChookJointCount
};

constexpr float kPi = 3.14159265358979f;
constexpr float kBodyHeight = 1.2f; // model units: the chook stands about 2.7 tall

using mesh::AddBox;
using mesh::On;
using mesh::Turn;

// Positive pitch tips a joint's front down (and swings a hanging limb back);
// positive roll leans it toward the model's right (-X).
glm::quat Pitch(float degrees)
{
	return Turn(degrees, glm::vec3(1, 0, 0));
}

glm::quat Roll(float degrees)
{
	return Turn(degrees, glm::vec3(0, 1, 0));
}

float Wave(float t, float cycles = 1.0f, float phase = 0.0f)
{
	return std::sin(2.0f * kPi * (cycles * t + phase));
}

void AddSkeleton(ModelBuilder *b)
{
	b->AddJoint("B_Body", -1, {0, 0, kBodyHeight});
	b->AddJoint("B_Neck", kBody, {0, -0.5f, 1.7f});
	b->AddJoint("B_Head", kNeck, {0, -0.6f, 2.2f});
	b->AddJoint("B_Weapon.L", kHead, {0, -0.95f, 2.2f});
	b->AddJoint("B_Wing.L", kBody, {0.45f, 0, 1.55f});
	b->AddJoint("B_Wing.R", kBody, {-0.45f, 0, 1.55f});
	b->AddJoint("B_Leg.L", kBody, {0.2f, 0, 0.9f});
	b->AddJoint("B_Foot.L", kLegL, {0.2f, 0, 0.1f});
	b->AddJoint("B_Leg.R", kBody, {-0.2f, 0, 0.9f});
	b->AddJoint("B_Foot.R", kLegR, {-0.2f, 0, 0.1f});
	b->AddJoint("B_Tail", kBody, {0, 0.5f, 1.45f});
}

// plump widens the body; a fuse stands out of the bomb's tail.
void AddMesh(ModelBuilder *b, float plump, bool fuse)
{
	BoxSkin body = BoxSkin::All(kFeathers);
	body.front = kBreast;
	AddBox(b, {0, 0, 0.8f}, glm::vec2(0.42f, 0.58f) * plump, {0, 0.05f, 1.8f}, glm::vec2(0.38f, 0.5f) * plump, body,
		kBody);

	BoxSkin neck = BoxSkin::All(kFeathers);
	neck.front = kBreast;
	neck.top = neck.bottom = kNone;
	AddBox(b, {0, -0.45f, 1.6f}, {0.2f, 0.2f}, {0, -0.55f, 2.0f}, {0.18f, 0.18f}, neck, kNeck);

	BoxSkin head = {kFace, kFeathers, kHeadSide, kHeadSide, kFeathers, kNone};
	AddBox(b, {0, -0.6f, 1.95f}, {0.22f, 0.25f}, {0, -0.6f, 2.45f}, {0.2f, 0.22f}, head, kHead);
	AddBox(b, {0, -0.6f, 2.44f}, {0.05f, 0.18f}, {0, -0.62f, 2.7f}, {0.04f, 0.14f}, BoxSkin::All(kComb), kHead);
	AddBox(b, {0, -0.86f, 1.92f}, {0.06f, 0.04f}, {0, -0.86f, 2.08f}, {0.07f, 0.05f}, BoxSkin::All(kComb), kHead);
	AddBox(b, {0, -0.9f, 2.1f}, {0.07f, 0.09f}, {0, -0.9f, 2.24f}, {0.05f, 0.07f}, BoxSkin::All(kBeak), kHead);

	for (float side : {1.0f, -1.0f}) {
		const int wing = side > 0 ? kWingL : kWingR;
		const int leg = side > 0 ? kLegL : kLegR;
		const int foot = side > 0 ? kFootL : kFootR;
		AddBox(b, {side * 0.47f, 0.05f, 1.0f}, {0.06f, 0.42f}, {side * 0.45f, 0, 1.62f}, {0.05f, 0.38f},
			BoxSkin::All(kWing), wing);
		AddBox(b, {side * 0.2f, 0, 0.08f}, {0.05f, 0.05f}, {side * 0.2f, 0, 0.9f}, {0.06f, 0.06f}, BoxSkin::All(kBeak),
			leg);
		AddBox(b, {side * 0.2f, -0.12f, 0}, {0.12f, 0.22f}, {side * 0.2f, -0.1f, 0.1f}, {0.1f, 0.18f},
			BoxSkin::All(kBeak), foot);
	}

	BoxSkin tail = BoxSkin::All(kTail);
	tail.bottom = kNone;
	AddBox(b, {0, 0.5f, 1.3f}, {0.3f, 0.12f}, {0, 0.75f, 2.05f}, {0.25f, 0.08f}, tail, kTailJoint);
	if (!fuse)
		return;
	// The fuse, standing out of the tail.
	AddBox(b, {0, 0.75f, 2.03f}, {0.04f, 0.04f}, {0, 0.8f, 2.35f}, {0.03f, 0.03f}, BoxSkin::All(kTail), kTailJoint);
}

// Pecking about: the head bobs, the tail twitches, the body breathes.
void Idle(float t, SkeletonPose *pose)
{
	pose->offset[kBody] = {0, 0, 0.02f * Wave(t)};
	pose->rotation[kNeck] = Pitch(8.0f * std::max(0.0f, Wave(t, 2)));
	pose->rotation[kHead] = Turn(15.0f * Wave(t, 1, 0.25f), glm::vec3(0, 0, 1));
	pose->rotation[kTailJoint] = Roll(6.0f * Wave(t, 3));
	pose->rotation[kWingL] = Roll(-3.0f * Wave(t));
	pose->rotation[kWingR] = Roll(3.0f * Wave(t));
}

// A waddling run: legs scissor, the body leans in and bobs, the wings flap.
void Run(float t, SkeletonPose *pose)
{
	const float stride = Wave(t);
	pose->offset[kBody] = {0, 0, 0.08f * std::fabs(stride) - 0.04f};
	pose->rotation[kBody] = Pitch(12.0f) * Roll(6.0f * stride);
	pose->rotation[kLegL] = Pitch(-35.0f * stride - 12.0f);
	pose->rotation[kLegR] = Pitch(35.0f * stride - 12.0f);
	pose->rotation[kFootL] = Pitch(20.0f * std::max(0.0f, stride));
	pose->rotation[kFootR] = Pitch(20.0f * std::max(0.0f, -stride));
	pose->rotation[kNeck] = Pitch(-14.0f + 8.0f * Wave(t, 2));
	pose->rotation[kHead] = Pitch(-6.0f * Wave(t, 2));
	const float flap = 25.0f + 20.0f * Wave(t, 2);
	pose->rotation[kWingL] = Roll(-flap);
	pose->rotation[kWingR] = Roll(flap);
	pose->rotation[kTailJoint] = Pitch(-10.0f * Wave(t, 2));
}

// A peck: the neck dives forward and down and comes back up.
void Peck(float t, SkeletonPose *pose)
{
	const float dive = std::sin(kPi * std::min(1.0f, t * 1.4f));
	pose->rotation[kBody] = Pitch(15.0f * dive);
	pose->rotation[kNeck] = Pitch(55.0f * dive);
	pose->rotation[kHead] = Pitch(20.0f * dive);
	pose->rotation[kWingL] = Roll(-20.0f * dive);
	pose->rotation[kWingR] = Roll(20.0f * dive);
}

// Struck: the body jerks back, wings fling out, the head snaps up.
void Hit(float t, SkeletonPose *pose)
{
	const float jolt = std::sin(kPi * std::min(1.0f, t));
	pose->rotation[kBody] = Pitch(-25.0f * jolt);
	pose->rotation[kNeck] = Pitch(-30.0f * jolt);
	pose->rotation[kWingL] = Roll(-60.0f * jolt);
	pose->rotation[kWingR] = Roll(60.0f * jolt);
}

// Knocked over onto its side, feet in the air, and still.
void Die(float t, SkeletonPose *pose)
{
	const float fall = std::min(1.0f, t * 1.6f);
	pose->rotation[kBody] = Roll(90.0f * fall * fall);
	pose->offset[kBody] = {-0.4f * fall, 0, -0.7f * fall};
	pose->rotation[kLegL] = Pitch(-30.0f * fall);
	pose->rotation[kLegR] = Pitch(-10.0f * fall);
	pose->rotation[kNeck] = Pitch(-20.0f * fall);
	pose->rotation[kWingR] = Roll(50.0f * fall);
}

} // namespace

void AddAnimations(ModelBuilder *b)
{
	// Looping clips cover one cycle; held ones end on their last pose.
	b->AddAnimation("Idle", 30, 15, true, Idle);
	b->AddAnimation("Run", 12, 40, true, Run);
	b->AddAnimation("StrikeFore", 10, 30, false, Peck);
	b->AddAnimation("Hit1", 10, 30, false, Hit);
	b->AddAnimation("Die", 20, 30, false, Die);
}

bool BuildChook(IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddSkeleton(&b);
	AddMesh(&b, 1.0f, true);
	AddAnimations(&b);
	return b.Finish("chook", "chookbomb", out, error);
}

bool BuildChook2(IqmModel *out, std::string *error)
{
	constexpr float kSlim = 0.8f;
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddSkeleton(&b);
	AddMesh(&b, kSlim, false);
	AddAnimations(&b);
	return b.Finish("chook2", "chook", out, error);
}
