// The beasts with skeletons of their own:
// - "models/bird.iqm": a black crow-like bird with broad wings that flap as
//   it flies, painted from "models/bird.png".
// - "models/blob.iqm": a mound of green slime in three stacked tiers that
//   wobbles, squashes and stretches, painted from "models/blob.png".
// Each carries "Idle", "Run", "Hit1" and "Die".
#include "Models.h"
#include "MeshHelpers.h"

#include "../ModelBuilder.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kCell = 32; // pixels
constexpr float kPi = 3.14159265358979f;

using mesh::AddBox;
using mesh::On;
using mesh::Turn;

constexpr AtlasRect Cell(int column, int row)
{
	return {column * kCell, row * kCell, kCell, kCell};
}

float Wave(float t, float cycles = 1.0f)
{
	return std::sin(2.0f * kPi * cycles * t);
}

// --- The bird ---------------------------------------------------------------

// "models/bird.png": 128 by 32, four cells.
constexpr AtlasRect kFeathers = Cell(0, 0);
constexpr AtlasRect kBirdBelly = Cell(1, 0);
constexpr AtlasRect kBirdFace = Cell(2, 0); // two yellow eyes
constexpr AtlasRect kBirdBeak = Cell(3, 0);

enum BirdJoint : int { kBirdBody, kBirdHead, kBirdWingL, kBirdWingR, kBirdTail };

const glm::vec3 kPitchAxis(1, 0, 0);
const glm::vec3 kRollAxis(0, 1, 0);

void FlapPose(float angle, SkeletonPose *pose)
{
	pose->rotation[kBirdWingL] = Turn(-angle, kRollAxis);
	pose->rotation[kBirdWingR] = Turn(angle, kRollAxis);
}

void BirdIdle(float t, SkeletonPose *pose)
{
	FlapPose(20.0f + 30.0f * Wave(t, 2), pose);
	pose->offset[kBirdBody] = {0, 0, 0.05f * Wave(t, 2)};
	pose->rotation[kBirdHead] = Turn(10.0f * Wave(t), glm::vec3(0, 0, 1));
}

void BirdRun(float t, SkeletonPose *pose)
{
	FlapPose(45.0f * Wave(t, 2), pose);
	pose->rotation[kBirdBody] = Turn(15.0f, kPitchAxis);
	pose->rotation[kBirdTail] = Turn(-10.0f * Wave(t, 2), kPitchAxis);
}

void BirdHit(float t, SkeletonPose *pose)
{
	const float jolt = std::sin(kPi * t);
	pose->rotation[kBirdBody] = Turn(-35.0f * jolt, kPitchAxis);
	FlapPose(70.0f * jolt, pose);
}

void BirdDie(float t, SkeletonPose *pose)
{
	const float fall = std::min(1.0f, t * 1.5f);
	pose->rotation[kBirdBody] = Turn(160.0f * fall, kRollAxis);
	FlapPose(-60.0f * fall, pose);
	pose->offset[kBirdBody] = {0, 0, -0.3f * fall};
}

// --- The blob ---------------------------------------------------------------

// "models/blob.png": 64 by 32, two cells.
constexpr AtlasRect kSlime = Cell(0, 0);
constexpr AtlasRect kSlimeFace = Cell(1, 0); // eyes and a wide mouth

enum BlobJoint : int { kBlobBase, kBlobMiddle, kBlobTop };

void Squash(float amount, SkeletonPose *pose)
{
	pose->offset[kBlobMiddle] = {0, 0, -0.25f * amount};
	pose->offset[kBlobTop] = {0, 0, -0.25f * amount};
}

void BlobIdle(float t, SkeletonPose *pose)
{
	Squash(0.3f * Wave(t), pose);
	pose->rotation[kBlobTop] = Turn(6.0f * Wave(t, 1), kRollAxis);
}

void BlobRun(float t, SkeletonPose *pose)
{
	const float hop = std::fabs(Wave(t));
	pose->offset[kBlobBase] = {0, 0, 0.5f * hop};
	Squash(0.6f * (1.0f - hop) - 0.3f, pose);
	pose->rotation[kBlobMiddle] = Turn(10.0f * Wave(t), kPitchAxis);
}

void BlobHit(float t, SkeletonPose *pose)
{
	Squash(0.9f * std::sin(kPi * t), pose);
	pose->rotation[kBlobTop] = Turn(-25.0f * std::sin(kPi * t), kPitchAxis);
}

void BlobDie(float t, SkeletonPose *pose)
{
	const float melt = std::min(1.0f, t * 1.3f);
	pose->offset[kBlobMiddle] = {0, 0, -0.45f * melt};
	pose->offset[kBlobTop] = {0, 0, -0.5f * melt};
}

} // namespace

bool BuildBird(IqmModel *out, std::string *error)
{
	ModelBuilder b(4 * kCell, kCell);
	b.AddJoint("B_Body", -1, {0, 0, 0});
	b.AddJoint("B_Head", kBirdBody, {0, -0.45f, 0.15f});
	b.AddJoint("B_Wing.L", kBirdBody, {0.2f, 0, 0.15f});
	b.AddJoint("B_Wing.R", kBirdBody, {-0.2f, 0, 0.15f});
	b.AddJoint("B_Tail", kBirdBody, {0, 0.4f, 0.05f});

	BoxSkin body = BoxSkin::All(kFeathers);
	body.bottom = kBirdBelly;
	AddBox(&b, {0, 0, -0.15f}, {0.2f, 0.4f}, {0, 0, 0.25f}, {0.17f, 0.35f}, body, kBirdBody);
	BoxSkin head = BoxSkin::All(kFeathers);
	head.front = kBirdFace;
	AddBox(&b, {0, -0.5f, 0.05f}, {0.14f, 0.14f}, {0, -0.5f, 0.35f}, {0.12f, 0.12f}, head, kBirdHead);
	AddBox(&b, {0, -0.75f, 0.14f}, {0.03f, 0.1f}, {0, -0.72f, 0.22f}, {0.05f, 0.08f}, BoxSkin::All(kBirdBeak),
		kBirdHead);
	for (float side : {1.0f, -1.0f}) {
		const int wing = side > 0 ? kBirdWingL : kBirdWingR;
		// A flat wing reaching out sideways from the shoulder.
		AddBox(&b, {side * 0.65f, 0.05f, 0.12f}, {0.45f, 0.25f}, {side * 0.65f, 0.05f, 0.17f}, {0.45f, 0.22f},
			BoxSkin::All(kFeathers), wing);
	}
	AddBox(&b, {0, 0.55f, 0.0f}, {0.15f, 0.2f}, {0, 0.55f, 0.06f}, {0.18f, 0.22f}, BoxSkin::All(kFeathers),
		kBirdTail);

	b.AddAnimation("Idle", 20, 20, true, BirdIdle);
	b.AddAnimation("Run", 12, 30, true, BirdRun);
	b.AddAnimation("Hit1", 10, 30, false, BirdHit);
	b.AddAnimation("Die", 20, 30, false, BirdDie);
	return b.Finish("bird", "bird", out, error);
}

bool BuildBlob(IqmModel *out, std::string *error)
{
	ModelBuilder b(2 * kCell, kCell);
	b.AddJoint("B_Base", -1, {0, 0, 0});
	b.AddJoint("B_Middle", kBlobBase, {0, 0, 0.6f});
	b.AddJoint("B_Top", kBlobMiddle, {0, 0, 1.1f});

	BoxSkin slime = BoxSkin::All(kSlime);
	AddBox(&b, {0, 0, 0}, {0.9f, 0.9f}, {0, 0, 0.6f}, {0.85f, 0.85f}, slime, kBlobBase);
	BoxSkin middle = slime;
	middle.front = kSlimeFace;
	AddBox(&b, {0, 0, 0.58f}, {0.8f, 0.8f}, {0, 0, 1.1f}, {0.62f, 0.62f}, middle, kBlobMiddle);
	AddBox(&b, {0, 0, 1.08f}, {0.58f, 0.58f}, {0, 0, 1.5f}, {0.3f, 0.3f}, slime, kBlobTop);

	b.AddAnimation("Idle", 30, 20, true, BlobIdle);
	b.AddAnimation("Run", 16, 30, true, BlobRun);
	b.AddAnimation("Hit1", 10, 30, false, BlobHit);
	b.AddAnimation("Die", 20, 30, false, BlobDie);
	return b.Finish("blob", "blob", out, error);
}
