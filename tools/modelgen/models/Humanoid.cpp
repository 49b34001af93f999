#include "Humanoid.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

constexpr float kPi = 3.14159265358979f;

// How a joint's angles read. An upright joint (hips, spine, neck, head) bends
// forward, leans to the model's left and turns to the left. A hanging joint
// (arms, legs, feet) swings its far end forward, raises it outward from the
// body and turns its front outward; left and right are mirrored so that the
// same numbers make the same motion on either side.
enum class JointAxes { Upright, HangingLeft, HangingRight };

constexpr JointAxes kJointAxes[kHumanJointCount] = {
	JointAxes::Upright, JointAxes::Upright, JointAxes::Upright, JointAxes::Upright, JointAxes::Upright,
	JointAxes::HangingLeft, JointAxes::HangingLeft, JointAxes::HangingLeft, JointAxes::HangingLeft,
	JointAxes::HangingRight, JointAxes::HangingRight, JointAxes::HangingRight,
	JointAxes::HangingLeft, JointAxes::HangingLeft, JointAxes::HangingLeft,
	JointAxes::HangingRight, JointAxes::HangingRight, JointAxes::HangingRight,
};

// Degrees. For a foot, bend lifts the toes.
struct JointAngles {
	float bend = 0, side = 0, twist = 0;
};

struct BodyPose {
	JointAngles joint[kHumanJointCount];
	// Where the hips have moved from their bind place, in model units.
	float hipsForward = 0, hipsLeft = 0, hipsUp = 0;

	JointAngles &operator[](HumanJoint j) { return joint[j]; }
};

struct Key {
	float time, value;
};

// A smooth curve through keyed values (time 0 to 1), level before the first
// key and after the last. A key that is a peak or a valley is passed with zero
// slope, so the curve never swings beyond the keyed values there.
static float Keys(float t, std::initializer_list<Key> list)
{
	const Key *k = list.begin();
	const int n = (int)list.size();
	if (t <= k[0].time)
		return k[0].value;
	if (t >= k[n - 1].time)
		return k[n - 1].value;
	int i = 0;
	while (i + 1 < n && t > k[i + 1].time)
		i++;
	auto slope = [&](int at) {
		if (at == 0 || at == n - 1)
			return 0.0f;
		float before = k[at].value - k[at - 1].value, after = k[at + 1].value - k[at].value;
		if (before * after <= 0.0f)
			return 0.0f;
		return (k[at + 1].value - k[at - 1].value) / (k[at + 1].time - k[at - 1].time);
	};
	const float span = k[i + 1].time - k[i].time;
	const float s = span > 0.0f ? (t - k[i].time) / span : 1.0f;
	const float s2 = s * s, s3 = s2 * s;
	return (2 * s3 - 3 * s2 + 1) * k[i].value + (s3 - 2 * s2 + s) * span * slope(i) +
		(-2 * s3 + 3 * s2) * k[i + 1].value + (s3 - s2) * span * slope(i + 1);
}

// sin over `cycles` full turns while t runs 0 to 1, starting `phase` turns in.
static float Wave(float t, float cycles = 1.0f, float phase = 0.0f)
{
	return std::sin(2.0f * kPi * (cycles * t + phase));
}

static float Radians(float degrees)
{
	return degrees * kPi / 180.0f;
}

static glm::quat JointRotation(const JointAngles &a, JointAxes axes)
{
	float rx = a.bend, ry = a.side, rz = a.twist;
	if (axes == JointAxes::HangingLeft) {
		rx = -a.bend;
		ry = -a.side;
	} else if (axes == JointAxes::HangingRight) {
		rx = -a.bend;
		rz = -a.twist;
	}
	return glm::angleAxis(Radians(rz), glm::vec3(0, 0, 1)) * glm::angleAxis(Radians(ry), glm::vec3(0, 1, 0)) *
		glm::angleAxis(Radians(rx), glm::vec3(1, 0, 0));
}

static PoseFunction Posed(BodyPose (*body)(float))
{
	return [body](float t, SkeletonPose *pose) {
		BodyPose p = body(t);
		for (int j = 0; j < kHumanJointCount; j++)
			pose->rotation[j] = JointRotation(p.joint[j], kJointAxes[j]);
		pose->offset[kHips] = glm::vec3(p.hipsLeft, -p.hipsForward, p.hipsUp);
	};
}

void AddHumanSkeleton(ModelBuilder *b)
{
	b->AddJoint("B_Hips", -1, {0, 0, kHipHeight});
	b->AddJoint("B_Spine", kHips, {0, 0, 2.3f});
	b->AddJoint("B_Chest", kSpine, {0, 0, 2.85f});
	b->AddJoint("B_Neck", kChest, {0, 0, kNeckHeight});
	b->AddJoint("B_Head", kNeck, {0, 0, kHeadHeight});
	b->AddJoint("B_UpperArm.L", kChest, {kShoulderX, 0, kShoulderHeight});
	b->AddJoint("B_LowerArm.L", kUpperArmL, {kShoulderX, 0, kElbowHeight});
	b->AddJoint("B_Hand.L", kLowerArmL, {kShoulderX, 0, kWristHeight});
	// The grip, in the middle of the fist; a held item points forward from it.
	b->AddJoint("B_Weapon.L", kHandL, {kShoulderX, -0.02f, 1.98f});
	b->AddJoint("B_UpperArm.R", kChest, {-kShoulderX, 0, kShoulderHeight});
	b->AddJoint("B_LowerArm.R", kUpperArmR, {-kShoulderX, 0, kElbowHeight});
	b->AddJoint("B_Hand.R", kLowerArmR, {-kShoulderX, 0, kWristHeight});
	b->AddJoint("B_UpperLeg.L", kHips, {kLegX, 0, 1.92f});
	b->AddJoint("B_LowerLeg.L", kUpperLegL, {kLegX, 0, kKneeHeight});
	b->AddJoint("B_Foot.L", kLowerLegL, {kLegX, 0, kAnkleHeight});
	b->AddJoint("B_UpperLeg.R", kHips, {-kLegX, 0, 1.92f});
	b->AddJoint("B_LowerLeg.R", kUpperLegR, {-kLegX, 0, kKneeHeight});
	b->AddJoint("B_Foot.R", kLowerLegR, {-kLegX, 0, kAnkleHeight});
}

// Standing at ease: arms a little away from the body, elbows and knees soft.
static BodyPose Relaxed()
{
	BodyPose p;
	for (HumanJoint arm : {kUpperArmL, kUpperArmR})
		p[arm].side = 7;
	for (HumanJoint forearm : {kLowerArmL, kLowerArmR})
		p[forearm].bend = 10;
	for (HumanJoint thigh : {kUpperLegL, kUpperLegR}) {
		p[thigh].bend = 2;
		p[thigh].side = 2;
	}
	for (HumanJoint shin : {kLowerLegL, kLowerLegR})
		p[shin].bend = -4;
	for (HumanJoint foot : {kFootL, kFootR}) {
		p[foot].bend = 2;
		p[foot].side = -2;
	}
	return p;
}

// Both arms by name, so that a motion can be written once for either side.
struct Limb {
	HumanJoint upper, lower, end;
};
constexpr Limb kArmL = {kUpperArmL, kLowerArmL, kHandL};
constexpr Limb kArmR = {kUpperArmR, kLowerArmR, kHandR};
constexpr Limb kLegL = {kUpperLegL, kLowerLegL, kFootL};
constexpr Limb kLegR = {kUpperLegR, kLowerLegR, kFootR};

static BodyPose Idle(float t)
{
	BodyPose p = Relaxed();
	const float breath = Wave(t);
	const float sway = Wave(t, 1, 0.25f);
	p.hipsUp = -0.015f + 0.015f * breath;
	p.hipsLeft = 0.03f * sway;
	p[kHips].side = -1.0f * sway;
	p[kSpine].bend = 1.0f - 0.8f * breath;
	p[kSpine].side = 1.5f * sway;
	p[kChest].bend = -1.0f - 1.5f * breath;
	p[kNeck].bend = 1.0f + 0.8f * breath;
	p[kHead].bend = 1.0f + 1.2f * breath;
	p[kHead].twist = 4.0f * Wave(t, 1, 0.1f);
	for (Limb arm : {kArmL, kArmR}) {
		p[arm.upper].side = 7.0f + 2.0f * breath;
		p[arm.lower].bend = 10.0f + 3.0f * breath;
	}
	return p;
}

// One leg of a stride: swing runs -1 (far back) to 1 (far forward); the knee
// folds most while the leg travels forward under the body.
static void Stride(BodyPose *p, Limb leg, float t, float phase, float reach, float meanBend, float fold)
{
	const float swing = Wave(t, 1, phase);
	const float travel = 0.5f + 0.5f * Wave(t, 1, phase + 0.25f);
	(*p)[leg.upper].bend = meanBend + reach * swing;
	(*p)[leg.lower].bend = -(12.0f + fold * travel * travel);
	(*p)[leg.end].bend = 10.0f * swing - 6.0f;
}

static BodyPose Run(float t)
{
	BodyPose p = Relaxed();
	const float left = Wave(t);
	Stride(&p, kLegL, t, 0.0f, 38.0f, 8.0f, 75.0f);
	Stride(&p, kLegR, t, 0.5f, 38.0f, 8.0f, 75.0f);
	// Arms swing against the legs, elbows bent.
	p[kUpperArmL].bend = -35.0f * left;
	p[kUpperArmR].bend = 35.0f * left;
	for (Limb arm : {kArmL, kArmR}) {
		p[arm.upper].side = 12.0f;
		p[arm.lower].bend = 70.0f;
	}
	p[kLowerArmL].bend += 15.0f * std::max(0.0f, -left);
	p[kLowerArmR].bend += 15.0f * std::max(0.0f, left);
	p[kHips].twist = -8.0f * left;
	p[kChest].twist = 14.0f * left;
	p[kSpine].bend = 10.0f;
	p[kChest].bend = 5.0f;
	p[kHead].bend = -8.0f;
	// Highest in flight with the legs spread, lowest as they pass each other.
	p.hipsUp = -0.14f + 0.14f * std::fabs(left);
	return p;
}

static BodyPose PushWalk(float t)
{
	BodyPose p = Relaxed();
	Stride(&p, kLegL, t, 0.0f, 22.0f, -12.0f, 35.0f);
	Stride(&p, kLegR, t, 0.5f, 22.0f, -12.0f, 35.0f);
	const float shove = Wave(t, 2);
	for (Limb arm : {kArmL, kArmR}) {
		p[arm.upper].bend = 70.0f + 4.0f * shove;
		p[arm.upper].side = 10.0f;
		p[arm.lower].bend = 25.0f - 4.0f * shove;
		p[arm.end].bend = -55.0f;
	}
	p[kSpine].bend = 18.0f;
	p[kChest].bend = 10.0f;
	p[kNeck].bend = -10.0f;
	p[kHead].bend = -12.0f;
	p[kHips].twist = -4.0f * Wave(t);
	p.hipsUp = -0.12f + 0.04f * std::fabs(Wave(t));
	p.hipsForward = -0.1f;
	return p;
}

// The weapon hand swings from out at the left, across the front, to the
// right; the body turns with it and steps into the blow. The blow lands at
// about a third of the way in.
static BodyPose StrikeFore(float t)
{
	BodyPose p = Relaxed();
	p[kUpperArmL].side = Keys(t, {{0, 30}, {0.2f, 75}, {0.35f, 80}, {0.55f, 70}, {1, 65}});
	p[kUpperArmL].bend = Keys(t, {{0, 5}, {0.2f, -10}, {0.35f, 25}, {0.55f, 45}, {1, 40}});
	p[kUpperArmL].twist = Keys(t, {{0, 25}, {0.2f, 60}, {0.35f, -10}, {0.55f, -65}, {1, -70}});
	p[kLowerArmL].bend = Keys(t, {{0, 55}, {0.2f, 60}, {0.35f, 15}, {0.55f, 20}, {1, 25}});
	p[kHandL].bend = Keys(t, {{0, -25}, {0.2f, -20}, {0.35f, 0}, {0.55f, 20}, {1, 15}});
	p[kChest].twist = Keys(t, {{0, 20}, {0.2f, 35}, {0.35f, 0}, {0.55f, -30}, {1, -28}});
	p[kSpine].twist = Keys(t, {{0, 5}, {0.2f, 10}, {0.35f, 0}, {0.55f, -10}, {1, -10}});
	p[kHips].twist = Keys(t, {{0, 0}, {0.2f, 5}, {0.55f, -8}, {1, -8}});
	p[kSpine].bend = Keys(t, {{0, 3}, {0.35f, 10}, {1, 8}});
	p[kUpperArmR].side = Keys(t, {{0, 15}, {0.35f, 25}, {1, 20}});
	p[kUpperArmR].bend = Keys(t, {{0, 10}, {0.35f, -25}, {1, -20}});
	p[kLowerArmR].bend = 40.0f;
	// A step forward on the right foot, the left leg pushing off behind.
	p[kUpperLegR].bend = Keys(t, {{0, 2}, {0.35f, 25}, {1, 22}});
	p[kLowerLegR].bend = Keys(t, {{0, -4}, {0.35f, -25}, {1, -22}});
	p[kFootR].bend = Keys(t, {{0, 2}, {0.35f, 0}, {1, 0}});
	p[kUpperLegL].bend = Keys(t, {{0, 2}, {0.35f, -15}, {1, -12}});
	p[kLowerLegL].bend = Keys(t, {{0, -4}, {0.35f, -10}, {1, -10}});
	p[kFootL].bend = Keys(t, {{0, 2}, {0.35f, 15}, {1, 12}});
	p.hipsUp = Keys(t, {{0, -0.05f}, {0.2f, -0.1f}, {0.35f, -0.18f}, {1, -0.15f}});
	p.hipsForward = Keys(t, {{0, 0}, {0.35f, 0.15f}, {1, 0.12f}});
	return p;
}

// The return blow: from across the body on the right back out to the left,
// the back of the hand leading.
static BodyPose StrikeBack(float t)
{
	BodyPose p = Relaxed();
	p[kUpperArmL].side = Keys(t, {{0, 65}, {0.2f, 55}, {0.35f, 80}, {0.55f, 75}, {1, 65}});
	p[kUpperArmL].bend = Keys(t, {{0, 40}, {0.2f, 55}, {0.35f, 25}, {0.55f, 0}, {1, 0}});
	p[kUpperArmL].twist = Keys(t, {{0, -70}, {0.2f, -90}, {0.35f, -5}, {0.55f, 50}, {1, 45}});
	p[kLowerArmL].bend = Keys(t, {{0, 25}, {0.2f, 80}, {0.35f, 15}, {0.55f, 10}, {1, 20}});
	p[kHandL].bend = Keys(t, {{0, 15}, {0.2f, 30}, {0.35f, 0}, {0.55f, -25}, {1, -20}});
	p[kChest].twist = Keys(t, {{0, -28}, {0.2f, -40}, {0.35f, 0}, {0.55f, 30}, {1, 28}});
	p[kSpine].twist = Keys(t, {{0, -10}, {0.2f, -12}, {0.35f, 0}, {0.55f, 10}, {1, 10}});
	p[kHips].twist = Keys(t, {{0, -8}, {0.2f, -10}, {0.55f, 8}, {1, 8}});
	p[kSpine].bend = Keys(t, {{0, 8}, {0.35f, 10}, {1, 5}});
	p[kUpperArmR].side = Keys(t, {{0, 20}, {0.35f, 30}, {1, 20}});
	p[kUpperArmR].bend = Keys(t, {{0, -20}, {0.35f, 20}, {1, 15}});
	p[kLowerArmR].bend = 40.0f;
	// A step forward on the left foot.
	p[kUpperLegL].bend = Keys(t, {{0, -12}, {0.35f, 25}, {1, 22}});
	p[kLowerLegL].bend = Keys(t, {{0, -10}, {0.35f, -25}, {1, -22}});
	p[kFootL].bend = Keys(t, {{0, 12}, {0.35f, 0}, {1, 0}});
	p[kUpperLegR].bend = Keys(t, {{0, 22}, {0.35f, -15}, {1, -12}});
	p[kLowerLegR].bend = Keys(t, {{0, -22}, {0.35f, -10}, {1, -10}});
	p[kFootR].bend = Keys(t, {{0, 0}, {0.35f, 15}, {1, 12}});
	p.hipsUp = Keys(t, {{0, -0.15f}, {0.2f, -0.1f}, {0.35f, -0.18f}, {1, -0.15f}});
	p.hipsForward = Keys(t, {{0, 0.12f}, {0.2f, 0.05f}, {0.35f, 0.15f}, {1, 0.12f}});
	return p;
}

// Struck from the front: thrown back, arms out, then upright again.
static BodyPose Hit1(float t)
{
	BodyPose p = Relaxed();
	const float blow = Keys(t, {{0, 0}, {0.2f, 1}, {0.45f, 0.6f}, {1, 0}});
	p[kSpine].bend = -14.0f * blow;
	p[kChest].bend = -10.0f * blow;
	p[kNeck].bend = -10.0f * blow;
	p[kHead].bend = -18.0f * blow;
	p[kHead].twist = 10.0f * blow;
	for (Limb arm : {kArmL, kArmR}) {
		p[arm.upper].side = 7.0f + 28.0f * blow;
		p[arm.upper].bend = 15.0f * blow;
		p[arm.lower].bend = 10.0f + 35.0f * blow;
	}
	for (Limb leg : {kLegL, kLegR}) {
		p[leg.upper].bend = 2.0f + 12.0f * blow;
		p[leg.lower].bend = -4.0f - 24.0f * blow;
		p[leg.end].bend = 2.0f + 12.0f * blow;
	}
	p.hipsForward = -0.15f * blow;
	p.hipsUp = -0.1f * blow;
	return p;
}

// Knees give, then the body topples backwards about the feet like a plank,
// lands on its back with a small bounce and lies still, arms flung out.
static BodyPose Die(float t)
{
	BodyPose p = Relaxed();
	const float fall = std::clamp((t - 0.1f) / 0.6f, 0.0f, 1.0f);
	const float angle = Radians(90.0f * fall * fall);
	const float bounce = (t > 0.7f && t < 0.85f) ? 0.1f * std::sin(kPi * (t - 0.7f) / 0.15f) : 0.0f;
	constexpr float kBackDepth = 0.3f; // from the spine to the back: how high the hips rest when lying
	p[kHips].bend = -90.0f * fall * fall;
	p.hipsForward = -kHipHeight * std::sin(angle);
	p.hipsUp = kHipHeight * std::cos(angle) - kHipHeight + kBackDepth * std::sin(angle) + bounce;
	const float buckle = Keys(t, {{0, 0}, {0.15f, 1}, {0.7f, 0.6f}, {1, 0.4f}});
	for (Limb leg : {kLegL, kLegR}) {
		p[leg.upper].bend = 2.0f + 20.0f * buckle;
		p[leg.lower].bend = -4.0f - 35.0f * buckle;
		p[leg.end].bend = 10.0f * buckle;
	}
	p[kUpperLegR].side = 2.0f + 8.0f * fall;
	p[kUpperLegL].side = 2.0f + 4.0f * fall;
	for (Limb arm : {kArmL, kArmR}) {
		p[arm.upper].side = Keys(t, {{0, 7}, {0.3f, 35}, {0.7f, 70}, {1, 65}});
		p[arm.upper].bend = Keys(t, {{0, 0}, {0.3f, 40}, {0.7f, 30}, {0.85f, -5}, {1, -5}});
		p[arm.lower].bend = Keys(t, {{0, 10}, {0.3f, 40}, {1, 20}});
	}
	p[kSpine].bend = Keys(t, {{0, 0}, {0.15f, 12}, {0.6f, 0}, {1, 0}});
	p[kHead].bend = Keys(t, {{0, 0}, {0.15f, 10}, {0.6f, 20}, {0.8f, 0}, {1, 5}});
	p[kHead].twist = Keys(t, {{0, 0}, {0.7f, 5}, {1, 35}});
	return p;
}

// The weapon raised upright before the face, knees bent, braced.
static BodyPose BlockVert(float t)
{
	BodyPose p = Relaxed();
	const float guard = Keys(t, {{0, 0}, {0.6f, 1}, {1, 1}});
	p[kUpperArmL].bend = 60.0f * guard;
	p[kUpperArmL].side = 7.0f - 30.0f * guard;
	p[kLowerArmL].bend = 10.0f + 40.0f * guard;
	p[kHandL].bend = 5.0f * guard;
	p[kUpperArmR].bend = 35.0f * guard;
	p[kUpperArmR].side = 7.0f + 8.0f * guard;
	p[kLowerArmR].bend = 10.0f + 60.0f * guard;
	p[kChest].twist = 10.0f * guard;
	p[kSpine].bend = 8.0f * guard;
	p[kHead].bend = -5.0f * guard;
	for (Limb leg : {kLegL, kLegR}) {
		p[leg.upper].bend = 2.0f + 18.0f * guard;
		p[leg.upper].side = 2.0f + 5.0f * guard;
		p[leg.lower].bend = -4.0f - 30.0f * guard;
		p[leg.end].bend = 2.0f + 12.0f * guard;
	}
	p.hipsUp = -0.1f * guard;
	return p;
}

// Crouch, then spring up with the arms thrown forward and up.
static BodyPose Jump(float t)
{
	BodyPose p = Relaxed();
	p.hipsUp = Keys(t, {{0, 0}, {0.45f, -0.38f}, {1, 0.05f}});
	for (Limb leg : {kLegL, kLegR}) {
		p[leg.upper].bend = Keys(t, {{0, 2}, {0.45f, 45}, {1, -5}});
		p[leg.lower].bend = Keys(t, {{0, -4}, {0.45f, -80}, {1, -2}});
		p[leg.end].bend = Keys(t, {{0, 2}, {0.45f, 35}, {1, -30}});
	}
	for (Limb arm : {kArmL, kArmR}) {
		p[arm.upper].bend = Keys(t, {{0, 0}, {0.45f, -35}, {1, 110}});
		p[arm.lower].bend = Keys(t, {{0, 10}, {0.45f, 20}, {1, 20}});
	}
	p[kSpine].bend = Keys(t, {{0, 0}, {0.45f, 25}, {1, -5}});
	p[kHead].bend = Keys(t, {{0, 0}, {0.45f, 10}, {1, -10}});
	return p;
}

// In the air: from the take-off stretch into a tuck, arms out for balance.
static BodyPose Air(float t)
{
	BodyPose p = Relaxed();
	for (Limb leg : {kLegL, kLegR}) {
		p[leg.upper].bend = Keys(t, {{0, -5}, {1, 40}});
		p[leg.lower].bend = Keys(t, {{0, -2}, {1, -70}});
		p[leg.end].bend = Keys(t, {{0, -30}, {1, 0}});
	}
	for (Limb arm : {kArmL, kArmR}) {
		p[arm.upper].bend = Keys(t, {{0, 110}, {1, 30}});
		p[arm.upper].side = Keys(t, {{0, 7}, {1, 45}});
		p[arm.lower].bend = Keys(t, {{0, 20}, {1, 40}});
	}
	p[kSpine].bend = Keys(t, {{0, -5}, {1, 8}});
	p[kHead].bend = Keys(t, {{0, -10}, {1, 0}});
	p.hipsUp = Keys(t, {{0, 0.05f}, {1, 0}});
	return p;
}

// Touch down from the tuck, sink deep to take the fall, stand up.
static BodyPose Land(float t)
{
	BodyPose p = Relaxed();
	for (Limb leg : {kLegL, kLegR}) {
		p[leg.upper].bend = Keys(t, {{0, 40}, {0.25f, 50}, {1, 2}});
		p[leg.lower].bend = Keys(t, {{0, -70}, {0.25f, -90}, {1, -4}});
		p[leg.end].bend = Keys(t, {{0, 0}, {0.25f, 40}, {1, 2}});
	}
	for (Limb arm : {kArmL, kArmR}) {
		p[arm.upper].bend = Keys(t, {{0, 30}, {0.25f, 30}, {1, 0}});
		p[arm.upper].side = Keys(t, {{0, 45}, {0.25f, 35}, {1, 7}});
		p[arm.lower].bend = Keys(t, {{0, 40}, {0.25f, 30}, {1, 10}});
	}
	p[kSpine].bend = Keys(t, {{0, 8}, {0.25f, 25}, {1, 0}});
	p[kHead].bend = Keys(t, {{0, 0}, {0.25f, -10}, {1, 0}});
	p.hipsUp = Keys(t, {{0, 0}, {0.25f, -0.42f}, {1, 0}});
	return p;
}

// Chatting: the free right hand makes points, the head nods and turns.
static BodyPose Talk(float t)
{
	BodyPose p = Idle(t);
	p[kUpperArmR].bend = 30.0f + 10.0f * Wave(t);
	p[kUpperArmR].side = 15.0f + 5.0f * Wave(t, 1, 0.3f);
	p[kLowerArmR].bend = 60.0f + 25.0f * Wave(t, 2);
	p[kLowerArmR].twist = 20.0f;
	p[kHandR].bend = -10.0f + 15.0f * Wave(t, 2, 0.2f);
	p[kLowerArmL].bend = 15.0f + 5.0f * Wave(t);
	p[kHead].bend = 4.0f * Wave(t, 2);
	p[kHead].twist = 6.0f * Wave(t);
	p[kHead].side = 3.0f * Wave(t, 1, 0.25f);
	p[kChest].twist = -4.0f * Wave(t);
	p[kSpine].bend = 2.0f;
	return p;
}

// Holding a newly found thing high over the head in the left hand.
static BodyPose Get(float t)
{
	BodyPose p = Relaxed();
	const float lift = Keys(t, {{0, 0}, {0.5f, 1}, {1, 1}});
	p[kUpperArmL].bend = Keys(t, {{0, 0}, {0.5f, 175}, {0.75f, 168}, {1, 170}});
	p[kUpperArmL].side = 7.0f + 3.0f * lift;
	p[kLowerArmL].bend = 10.0f - 5.0f * lift;
	// The wrist tips back so the held thing stands upright.
	p[kHandL].bend = -85.0f * lift;
	p[kUpperArmR].side = 7.0f + 28.0f * lift;
	p[kLowerArmR].bend = 10.0f + 20.0f * lift;
	p[kHead].bend = -25.0f * lift;
	p[kChest].bend = -10.0f * lift;
	for (Limb leg : {kLegL, kLegR}) {
		p[leg.upper].side = 2.0f + 6.0f * lift;
		p[leg.lower].bend = -4.0f - 4.0f * lift;
		p[leg.end].side = -2.0f - 6.0f * lift;
	}
	p.hipsUp = -0.05f * lift;
	return p;
}

// A show-off pose: hip out, one hand on the hip, the other behind the head,
// toes of the right foot pointed.
static BodyPose Pose(float t)
{
	BodyPose p = Relaxed();
	const float k = Keys(t, {{0, 0}, {1, 1}});
	p.hipsLeft = 0.1f * k;
	p[kHips].side = -6.0f * k;
	p[kSpine].side = 8.0f * k;
	p[kChest].side = 4.0f * k;
	p[kHead].side = 12.0f * k;
	p[kHead].twist = 10.0f * k;
	// Right hand on the hip: elbow out, forearm folded in to the waist.
	p[kUpperArmR].side = 7.0f + 28.0f * k;
	p[kUpperArmR].bend = -10.0f * k;
	p[kLowerArmR].side = -85.0f * k;
	p[kLowerArmR].bend = 10.0f;
	p[kHandR].side = -15.0f * k;
	// Left hand up behind the head: arm raised, forearm folded on over
	// the top towards the head.
	p[kUpperArmL].side = 7.0f + 143.0f * k;
	p[kUpperArmL].bend = -10.0f * k;
	p[kLowerArmL].side = 100.0f * k;
	p[kLowerArmL].bend = 10.0f - 40.0f * k;
	p[kUpperLegR].bend = 2.0f + 13.0f * k;
	p[kUpperLegR].side = 2.0f - 6.0f * k;
	p[kLowerLegR].bend = -4.0f - 26.0f * k;
	p[kFootR].bend = 2.0f - 27.0f * k;
	p[kUpperLegL].side = 2.0f + 2.0f * k;
	return p;
}

// A forward roll: tuck, turn once head over heels about the middle of the
// ball, open up again.
static BodyPose Roll(float t)
{
	BodyPose p = Relaxed();
	const float tuck = Keys(t, {{0, 0}, {0.15f, 1}, {0.8f, 1}, {1, 0}});
	const float turn = Keys(t, {{0.05f, 0}, {0.45f, 0.5f}, {0.85f, 1}}); // steady through the middle
	const float angle = 2.0f * kPi * turn;
	constexpr float kTuckDrop = 0.95f; // how far the hips sink when curled up
	constexpr float kBallCentre = 0.35f; // above the hips along the spine: the middle of the curled body
	const float centre = kBallCentre * tuck;
	p[kHips].bend = 360.0f * turn;
	p.hipsForward = -centre * std::sin(angle);
	p.hipsUp = -kTuckDrop * tuck + centre - centre * std::cos(angle);
	for (Limb leg : {kLegL, kLegR}) {
		p[leg.upper].bend = 2.0f + 108.0f * tuck;
		p[leg.lower].bend = -4.0f - 126.0f * tuck;
		p[leg.end].bend = 2.0f + 18.0f * tuck;
	}
	for (Limb arm : {kArmL, kArmR}) {
		p[arm.upper].bend = 70.0f * tuck;
		p[arm.upper].side = 7.0f + 10.0f * tuck;
		p[arm.lower].bend = 10.0f + 90.0f * tuck;
	}
	p[kSpine].bend = 25.0f * tuck;
	p[kChest].bend = 20.0f * tuck;
	p[kNeck].bend = 20.0f * tuck;
	p[kHead].bend = 25.0f * tuck;
	return p;
}

// The right hand raised high, the forearm swaying from side to side.
static BodyPose WaveHand(float t)
{
	BodyPose p = Idle(t);
	p[kUpperArmR].side = 145.0f;
	p[kUpperArmR].bend = 15.0f;
	p[kLowerArmR].bend = 25.0f;
	p[kLowerArmR].side = 25.0f * Wave(t);
	p[kHandR].side = 15.0f * Wave(t, 1, -0.1f);
	p[kHandR].bend = -10.0f;
	p[kHead].twist = -8.0f;
	p[kHead].side = 4.0f;
	p[kSpine].side = 3.0f;
	p[kChest].twist = -5.0f;
	return p;
}

void AddHumanAnimations(ModelBuilder *b)
{
	// Frame counts fit the speeds the game plays them at (frames per second):
	// idle 15, running about 40, strikes, rolls and blocks 30 held for about
	// a third of a second, a death at 300 over about half a second.
	b->AddAnimation("Idle", 40, 15, true, Posed(Idle));
	b->AddAnimation("Run", 16, 40, true, Posed(Run));
	b->AddAnimation("PushWalk", 24, 30, true, Posed(PushWalk));
	b->AddAnimation("StrikeFore", 11, 30, false, Posed(StrikeFore));
	b->AddAnimation("StrikeBack", 11, 30, false, Posed(StrikeBack));
	b->AddAnimation("Hit1", 10, 30, false, Posed(Hit1));
	b->AddAnimation("Die", 150, 300, false, Posed(Die));
	b->AddAnimation("BlockVert", 8, 30, false, Posed(BlockVert));
	b->AddAnimation("Jump", 8, 30, false, Posed(Jump));
	b->AddAnimation("Air", 8, 30, false, Posed(Air));
	b->AddAnimation("Land", 10, 30, false, Posed(Land));
	b->AddAnimation("Talk", 30, 30, true, Posed(Talk));
	b->AddAnimation("Get", 12, 15, false, Posed(Get));
	b->AddAnimation("Roll", 16, 30, false, Posed(Roll));
	b->AddAnimation("Pose", 10, 10, false, Posed(Pose));
	b->AddAnimation("Wave", 20, 30, true, Posed(WaveHand));
}
