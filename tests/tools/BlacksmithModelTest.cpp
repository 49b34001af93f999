// The humanoid that all people share, as the build wrote it into the data
// tree: "models/blacksmith.iqm" (mesh, skeleton and every animation) and
// "models/blacksmith2.iqm" (the player's mesh on the same skeleton).
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/core/FileAccess.h"
#include "engine/render/IqmReader.h"
#include "engine/render/Mesh.h"
#include "support/TempFolder.h"
#include "tools/IqmFileView.h"

namespace {

const char *const kModelFile = "models/blacksmith.iqm";
const char *const kPlayerFile = "models/blacksmith2.iqm";
const char *const kTextureFile = "models/blacksmith.png";

// The animations actors look up by name, and which of them repeat.
const char *const kAnimationNames[] = {"Idle", "Run", "PushWalk", "StrikeFore", "StrikeBack", "Talk", "Jump", "Air",
	"Land", "Hit1", "Die", "BlockVert", "Get", "Roll", "Pose", "Wave"};
const char *const kLoopingNames[] = {"Idle", "Run", "PushWalk", "Talk", "Wave"};

IqmFileView ReadDataFile(const char *name)
{
	return IqmFileView(TempFolder::ReadBytes(ResolvePath(name)));
}

bool IsLooping(const std::string &name)
{
	for (const char *loop : kLoopingNames)
		if (name == loop)
			return true;
	return false;
}

TEST(BlacksmithModel, FilesAreCompleteAndSelfConsistent)
{
	for (const char *name : {kModelFile, kPlayerFile}) {
		SCOPED_TRACE(name);
		IqmFileView file = ReadDataFile(name);
		ASSERT_TRUE(file.HasHeader()) << "missing from the data tree";
		const IqmHeader &h = file.Header();
		EXPECT_EQ(std::memcmp(h.magic, "INTERQUAKEMODEL\0", 16), 0);
		EXPECT_EQ(h.version, 2u);
		EXPECT_EQ(h.fileSize, file.Bytes().size());
		EXPECT_GT(h.vertexCount, 0u);
		EXPECT_LE(h.vertexCount, kIqmMaxVertices);
		EXPECT_LE(h.triangleCount, kIqmMaxTriangles);
		EXPECT_TRUE(file.Inside(h.triangleOffset, (uint64_t)h.triangleCount * 12));
		for (uint32_t i = 0; i < h.triangleCount * 3; i++)
			ASSERT_LT(file.U32(h.triangleOffset + 4 * i), h.vertexCount) << "corner " << i;
		for (const IqmFileView::VertexArray &array : file.VertexArrays()) {
			SCOPED_TRACE("vertex array " + std::to_string(array.type));
			const uint32_t componentSize = array.format == kIqmFormatFloat ? 4 : 1;
			EXPECT_TRUE(file.Inside(array.offset, (uint64_t)h.vertexCount * array.size * componentSize));
		}
		for (uint32_t type : {kIqmPosition, kIqmTexCoord, kIqmNormal, kIqmBlendIndexes, kIqmBlendWeights})
			EXPECT_NE(file.ArrayOffset(type), 0u) << "array " << type;

		// Parents come before their children, and every vertex is held by
		// whole weights (the game divides each by 255) of real joints.
		const std::vector<IqmFileView::Joint> joints = file.Joints();
		ASSERT_EQ(joints.size(), h.jointCount);
		EXPECT_TRUE(file.Inside(h.jointOffset, (uint64_t)h.jointCount * kIqmJointSize));
		for (size_t j = 0; j < joints.size(); j++)
			EXPECT_LT(joints[j].parent, (int32_t)j) << joints[j].name;
		const uint32_t indexes = file.ArrayOffset(kIqmBlendIndexes);
		const uint32_t weights = file.ArrayOffset(kIqmBlendWeights);
		for (uint32_t v = 0; v < h.vertexCount; v++) {
			int total = 0;
			for (int k = 0; k < 4; k++) {
				total += file.U8(weights + 4 * v + k);
				if (file.U8(weights + 4 * v + k) != 0) {
					EXPECT_LT(file.U8(indexes + 4 * v + k), h.jointCount) << "vertex " << v;
				}
			}
			ASSERT_EQ(total, 255) << "vertex " << v;
		}
	}
}

TEST(BlacksmithModel, CarriesEveryAnimationAndTheHandJoints)
{
	IqmFileView file = ReadDataFile(kModelFile);
	ASSERT_TRUE(file.HasHeader());
	const IqmHeader &h = file.Header();

	std::map<std::string, IqmFileView::Animation> byName;
	for (const IqmFileView::Animation &anim : file.Animations())
		byName[anim.name] = anim;
	for (const char *name : kAnimationNames) {
		SCOPED_TRACE(name);
		auto found = byName.find(name);
		ASSERT_NE(found, byName.end());
		const IqmFileView::Animation &anim = found->second;
		EXPECT_GT(anim.frameCount, 1u);
		EXPECT_LE((uint64_t)anim.firstFrame + anim.frameCount, h.frameCount);
		EXPECT_GT(anim.frameRate, 0.0f);
		EXPECT_EQ((anim.flags & kIqmAnimLoop) != 0, IsLooping(name));
	}

	const std::vector<IqmFileView::Joint> joints = file.Joints();
	auto indexOf = [&](const char *name) {
		for (size_t j = 0; j < joints.size(); j++)
			if (joints[j].name == name)
				return (int)j;
		return -1;
	};
	const int hand = indexOf("B_Hand.L"), weapon = indexOf("B_Weapon.L");
	ASSERT_GE(hand, 0);
	ASSERT_GE(weapon, 0);
	EXPECT_EQ(joints[weapon].parent, hand);
	for (const IqmFileView::Joint &joint : joints)
		EXPECT_LE(joint.name.size(), 16u) << joint.name << " would not be told apart by the game";

	// One pose per joint, a stream of frames x channels 16-bit values after
	// the frame offset, and the channel count the masks give.
	EXPECT_EQ(h.poseCount, h.jointCount);
	EXPECT_EQ(h.frameChannelCount, file.FrameChannelsInMasks());
	EXPECT_GT(h.frameChannelCount, 0u);
	EXPECT_TRUE(file.Inside(h.frameOffset, (uint64_t)h.frameCount * h.frameChannelCount * 2));
	const std::vector<IqmFileView::Pose> poses = file.Poses();
	for (size_t j = 0; j < poses.size(); j++)
		EXPECT_EQ(poses[j].parent, joints[j].parent) << joints[j].name;
}

TEST(BlacksmithModel, PlayerMeshSharesTheSkeletonAndBorrowsTheAnimations)
{
	IqmFileView model = ReadDataFile(kModelFile);
	IqmFileView player = ReadDataFile(kPlayerFile);
	ASSERT_TRUE(model.HasHeader());
	ASSERT_TRUE(player.HasHeader());
	EXPECT_EQ(player.Header().animationCount, 0u);
	EXPECT_EQ(player.Header().poseCount, 0u);
	EXPECT_EQ(player.Header().frameCount, 0u);

	// The game plays the model file's poses on the player's joints: the
	// skeletons must match joint for joint, bind pose included.
	const std::vector<IqmFileView::Joint> a = model.Joints(), b = player.Joints();
	ASSERT_EQ(a.size(), b.size());
	for (size_t j = 0; j < a.size(); j++) {
		SCOPED_TRACE(a[j].name);
		EXPECT_EQ(a[j].name, b[j].name);
		EXPECT_EQ(a[j].parent, b[j].parent);
		for (int k = 0; k < 10; k++)
			EXPECT_FLOAT_EQ(a[j].transform[k], b[j].transform[k]);
	}
	// ...while the mesh is a different one.
	EXPECT_NE(std::vector<uint8_t>(model.Bytes().begin() + model.ArrayOffset(kIqmPosition),
				  model.Bytes().begin() + model.ArrayOffset(kIqmPosition) + 12 * 100),
		std::vector<uint8_t>(player.Bytes().begin() + player.ArrayOffset(kIqmPosition),
			player.Bytes().begin() + player.ArrayOffset(kIqmPosition) + 12 * 100));
}

TEST(BlacksmithModel, EveryFaceIsPaintedFromItsTexture)
{
	// texgen fills the texture with this colour before it paints the cells;
	// a face that shows it points at an empty part of the texture.
	constexpr uint8_t kUnpainted = 0x20;
	SDL_Surface *loaded = IMG_Load(ResolvePath(kTextureFile).c_str());
	ASSERT_NE(loaded, nullptr) << IMG_GetError();
	SDL_Surface *texture = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
	SDL_FreeSurface(loaded);
	ASSERT_NE(texture, nullptr);
	for (const char *name : {kModelFile, kPlayerFile}) {
		SCOPED_TRACE(name);
		IqmFileView file = ReadDataFile(name);
		ASSERT_TRUE(file.HasHeader());
		const uint32_t uvs = file.ArrayOffset(kIqmTexCoord);
		auto uvOf = [&](uint32_t v) { return glm::vec2(file.F32(uvs + 8 * v), file.F32(uvs + 8 * v + 4)); };
		for (uint32_t v = 0; v < file.Header().vertexCount; v++) {
			const glm::vec2 uv = uvOf(v);
			ASSERT_TRUE(uv.x >= 0 && uv.x <= 1 && uv.y >= 0 && uv.y <= 1) << "vertex " << v;
		}
		int unpainted = 0;
		for (uint32_t t = 0; t < file.Header().triangleCount; t++) {
			const uint32_t at = file.Header().triangleOffset + 12 * t;
			const glm::vec2 centre = (uvOf(file.U32(at)) + uvOf(file.U32(at + 4)) + uvOf(file.U32(at + 8))) / 3.0f;
			const int x = (int)(centre.x * texture->w), y = (int)(centre.y * texture->h);
			const uint8_t *texel = static_cast<const uint8_t *>(texture->pixels) + y * texture->pitch + x * 4;
			if (texel[0] == kUnpainted && texel[1] == kUnpainted && texel[2] == kUnpainted)
				unpainted++;
			EXPECT_EQ(texel[3], 255) << "triangle " << t;
		}
		EXPECT_EQ(unpainted, 0);
	}
	SDL_FreeSurface(texture);
}

TEST(BlacksmithModel, GameReaderFindsEveryAnimationAndBothJoints)
{
	IqmReader model;
	ASSERT_TRUE(model.Load(ResolvePath(kModelFile).c_str()));
	// The player: its own mesh, the animations of the model file.
	IqmReader player;
	ASSERT_TRUE(player.Load(ResolvePath(kPlayerFile).c_str()));
	EXPECT_EQ(player.GetAnimationFrameCount(), 0);
	ASSERT_TRUE(player.LoadAnimations(ResolvePath(kModelFile).c_str()));
	EXPECT_EQ(player.GetAnimationFrameCount(), model.GetAnimationFrameCount());
	EXPECT_NE(player.GetVertexCount(), model.GetVertexCount());

	for (IqmReader *reader : {&model, &player}) {
		SCOPED_TRACE(reader == &model ? kModelFile : kPlayerFile);
		for (const char *name : kAnimationNames) {
			ModelAnimation *anim = reader->FindAnimation(name);
			ASSERT_NE(anim, nullptr) << name;
			EXPECT_STREQ(anim->name, name);
		}
		EXPECT_NE(reader->FindJoint("B_Weapon.L"), nullptr);
		EXPECT_NE(reader->FindJoint("B_Hand.L"), nullptr);
		// Names are compared by their 16-bit hashes: no joint may be taken
		// for another, or a held item would ride on the wrong bone.
		for (const ModelJoint &joint : reader->GetJoints()) {
			char name[kModelJointNameLength + 1];
			joint.GetName(name);
			EXPECT_EQ(reader->FindJoint(name), &joint) << name;
		}
	}
}

// Where the joints are at one moment of an animation, in engine space (Y up,
// the model facing +Z, its left at +X), as the game's reader poses them.
class PosedHumanoid {
public:
	explicit PosedHumanoid(IqmReader *r) : reader(r) {}

	void Show(const char *animation, float frame)
	{
		ModelAnimation *anim = reader->FindAnimation(animation);
		ASSERT_NE(anim, nullptr) << animation;
		const float time = frame / 30.0f; // the reader shows frame 30 x time
		reader->BuildMesh(&mesh, &time, anim, nullptr, 0.0f);
	}
	float LastFrame(const char *animation) { return (float)reader->FindAnimation(animation)->frameCount - 1; }
	glm::vec3 At(const char *joint) const
	{
		const ModelJoint *j = reader->FindJoint(joint);
		return j == nullptr ? glm::vec3(NAN) : j->transform.position;
	}
	// The way a held item points: the game turns items a quarter about X,
	// so an item made standing up points along the joint's turned +Z.
	glm::vec3 Blade() const
	{
		const ModelJoint *j = reader->FindJoint("B_Weapon.L");
		return j == nullptr ? glm::vec3(NAN) : j->transform.rotation * glm::vec3(0, 0, 1);
	}

private:
	IqmReader *reader;
	Mesh mesh;
};

TEST(BlacksmithModel, MotionsLookLikeTheirNames)
{
	IqmReader reader;
	ASSERT_TRUE(reader.Load(ResolvePath(kModelFile).c_str()));
	PosedHumanoid body(&reader);
	body.Show("Idle", 0);
	const glm::vec3 standingHead = body.At("B_Head");
	ASSERT_GT(standingHead.y, 3.5f);
	EXPECT_LT(body.At("B_Foot.L").y, 0.4f);
	EXPECT_GT(body.Blade().z, 0.8f) << "a held item points ahead at rest";
	// The model's left is the engine's +X: the weapon hand is the left one.
	EXPECT_GT(body.At("B_Hand.L").x, 0.4f);
	EXPECT_LT(body.At("B_Hand.R").x, -0.4f);

	struct Case {
		const char *animation;
		float frame; // negative: the last frame
		const char *what;
		std::function<bool(const PosedHumanoid &)> holds;
	};
	const Case cases[] = {
		{"Run", 4, "left foot ahead of the right",
			[](const PosedHumanoid &b) { return b.At("B_Foot.L").z > b.At("B_Foot.R").z + 0.8f; }},
		{"Run", 12, "right foot ahead of the left",
			[](const PosedHumanoid &b) { return b.At("B_Foot.R").z > b.At("B_Foot.L").z + 0.8f; }},
		{"Run", 4, "right hand swung forward with the left foot",
			[](const PosedHumanoid &b) { return b.At("B_Hand.R").z > b.At("B_Hand.L").z + 0.5f; }},
		{"PushWalk", 6, "both hands out in front at chest height",
			[](const PosedHumanoid &b) {
				return b.At("B_Hand.L").z > 1.0f && b.At("B_Hand.R").z > 1.0f && b.At("B_Hand.L").y > 2.2f;
			}},
		{"StrikeFore", 1, "weapon drawn back on the left",
			[](const PosedHumanoid &b) { return b.At("B_Weapon.L").x > 0.8f && b.At("B_Weapon.L").z < -0.5f; }},
		{"StrikeFore", 3, "blow lands out on the left, blade ahead",
			[](const PosedHumanoid &b) { return b.At("B_Weapon.L").x > 1.2f && b.Blade().z > 0.8f; }},
		{"StrikeFore", -1, "weapon swung across to the right",
			[](const PosedHumanoid &b) { return b.At("B_Weapon.L").x < 0.6f && b.At("B_Weapon.L").z > 0.6f; }},
		{"StrikeBack", 4, "back blow lands out on the left, blade ahead",
			[](const PosedHumanoid &b) { return b.At("B_Weapon.L").x > 1.2f && b.Blade().z > 0.8f; }},
		{"StrikeBack", -1, "weapon carried round behind on the left",
			[](const PosedHumanoid &b) { return b.At("B_Weapon.L").x > 0.4f && b.At("B_Weapon.L").z < -0.5f; }},
		{"Hit1", 2, "head thrown back",
			[standingHead](const PosedHumanoid &b) { return b.At("B_Head").z < standingHead.z - 0.3f; }},
		{"Die", -1, "lying on the ground, fallen backwards",
			[](const PosedHumanoid &b) { return b.At("B_Head").y < 1.0f && b.At("B_Head").z < -2.5f; }},
		{"BlockVert", -1, "weapon held upright in front",
			[](const PosedHumanoid &b) { return b.Blade().y > 0.8f && b.At("B_Weapon.L").z > 0.5f; }},
		{"Jump", 3, "crouched before the leap",
			[](const PosedHumanoid &b) { return b.At("B_Hips").y < 1.75f; }},
		{"Jump", -1, "arms thrown up",
			[](const PosedHumanoid &b) { return b.At("B_Hand.R").y > 3.0f; }},
		{"Air", -1, "feet tucked up",
			[](const PosedHumanoid &b) { return b.At("B_Foot.L").y > 0.4f && b.At("B_Foot.R").y > 0.4f; }},
		{"Land", 2, "sunk into the knees",
			[](const PosedHumanoid &b) { return b.At("B_Hips").y < 1.75f; }},
		{"Land", -1, "standing again",
			[](const PosedHumanoid &b) { return b.At("B_Hips").y > 1.95f; }},
		{"Talk", 4, "right hand raised to gesture",
			[](const PosedHumanoid &b) { return b.At("B_Hand.R").y > 2.4f && b.At("B_Hand.R").z > 0.4f; }},
		{"Get", -1, "found thing held high and upright",
			[standingHead](const PosedHumanoid &b) {
				return b.At("B_Weapon.L").y > standingHead.y + 0.5f && b.Blade().y > 0.8f;
			}},
		{"Roll", 7, "upside down halfway through",
			[](const PosedHumanoid &b) { return b.At("B_Head").y < b.At("B_Hips").y; }},
		{"Roll", -1, "upright again",
			[](const PosedHumanoid &b) { return b.At("B_Head").y > 3.5f; }},
		{"Pose", -1, "one hand up by the head, the other at the waist",
			[](const PosedHumanoid &b) {
				return b.At("B_Hand.L").y > b.At("B_Neck").y && b.At("B_Hand.R").y < 2.6f &&
					std::fabs(b.At("B_Hand.R").x) < 0.8f;
			}},
		{"Wave", 5, "right hand raised above the head",
			[](const PosedHumanoid &b) { return b.At("B_Hand.R").y > b.At("B_Head").y; }},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(std::string(c.animation) + ": " + c.what);
		body.Show(c.animation, c.frame < 0 ? body.LastFrame(c.animation) : c.frame);
		EXPECT_TRUE(c.holds(body));
	}
}

TEST(BlacksmithModel, WavingHandSwaysFromSideToSide)
{
	IqmReader reader;
	ASSERT_TRUE(reader.Load(ResolvePath(kModelFile).c_str()));
	PosedHumanoid body(&reader);
	ModelAnimation *wave = reader.FindAnimation("Wave");
	ASSERT_NE(wave, nullptr);
	wave->loop = 1; // as actors set it
	const float frames = (float)wave->frameCount;
	float least = INFINITY, most = -INFINITY;
	for (float f = 0; f < frames; f += 1.0f) {
		body.Show("Wave", f);
		least = std::fmin(least, body.At("B_Hand.R").x);
		most = std::fmax(most, body.At("B_Hand.R").x);
	}
	EXPECT_GT(most - least, 0.3f);
	// ...and the loop closes: past the last frame comes the first again.
	body.Show("Wave", 0);
	const glm::vec3 first = body.At("B_Hand.R");
	body.Show("Wave", frames);
	const glm::vec3 wrapped = body.At("B_Hand.R");
	EXPECT_NEAR(glm::distance(first, wrapped), 0.0f, 1e-3f);
}

} // namespace
