#include "engine/render/IqmReader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/render/Mesh.h"
#include "support/ExpectVec.h"
#include "support/IqmTestFile.h"
#include "support/TempFolder.h"

namespace {

using iqmtest::FieldAt;
using iqmtest::GetU32;
using iqmtest::PutU32;

constexpr float kTolerance = 1e-3f; // frame channels are stored in 16-bit steps
constexpr float kFramesPerClock = 30.0f;

// The bind pose of the test model in engine space: IQM (x, y, z) is (x, z, -y).
const Vec3 kBindPositions[] = {{1, 0.25f, -0.5f}, {0, 1, -2}, {0, 2, 0}, {0, 1, -1}};
const Vec3 kBindNormals[] = {{0, 1, 0}, {0, 0, -1}, {1, 0, 0}, {0, 1, 0}};

class IqmReaderFiles : public ::testing::Test {
protected:
	std::string Save(const std::string &name, const std::vector<uint8_t> &bytes)
	{
		std::string path = folder.Path(name);
		TempFolder::WriteBytes(path, bytes);
		return path;
	}
	std::string SaveModel(const std::string &name, const iqmtest::Model &model)
	{
		return Save(name, iqmtest::Write(model));
	}

	// Poses the mesh at a frame position (the reader shows 30 x clock).
	static void Pose(IqmReader &reader, Mesh &mesh, float frame, const ModelAnimation *current,
		const ModelAnimation *previous = nullptr, float blend = 0.0f)
	{
		float clock = frame / kFramesPerClock;
		reader.BuildMesh(&mesh, &clock, current, previous, blend);
	}

	TempFolder folder;
};

}

TEST_F(IqmReaderFiles, ModelWithoutAnimationsGivesTheBindPoseInEngineAxes)
{
	iqmtest::Model model = iqmtest::SkinnedModel();
	model.animations.clear();
	IqmReader reader;
	ASSERT_TRUE(reader.Load(SaveModel("still.iqm", model).c_str()));
	EXPECT_EQ(0, reader.GetAnimationFrameCount());
	EXPECT_TRUE(reader.GetAnimations().empty());

	Mesh mesh;
	// However far the clock has run, there are no frames to pose with.
	float clock = 3.7f;
	reader.BuildMesh(&mesh, &clock, nullptr, nullptr, 0.0f);
	ASSERT_EQ(4u, mesh.GetPositions().size());
	ASSERT_EQ(4u, mesh.GetNormals().size());
	ASSERT_EQ(4u, mesh.GetUVs().size());
	EXPECT_EQ((std::vector<uint32_t>{0, 1, 2, 0, 2, 3}), mesh.GetIndices());
	EXPECT_TRUE(mesh.GetColors().empty());
	for (size_t v = 0; v < 4; v++) {
		SCOPED_TRACE("vertex " + std::to_string(v));
		ExpectVecNear(kBindPositions[v], mesh.GetPositions()[v]);
		ExpectVecNear(kBindNormals[v], mesh.GetNormals()[v]);
		EXPECT_EQ(model.vertices[v].uv, mesh.GetUVs()[v]); // UVs pass unchanged
	}
}

TEST_F(IqmReaderFiles, PosesFollowTheFramesOfTheAnimationAtTheClock)
{
	IqmReader reader;
	ASSERT_TRUE(reader.Load(SaveModel("skinned.iqm", iqmtest::SkinnedModel()).c_str()));
	ASSERT_EQ(5, reader.GetAnimationFrameCount());
	ModelAnimation *idle = reader.FindAnimation("Idle");
	ModelAnimation *wave = reader.FindAnimation("Wave");
	ASSERT_NE(nullptr, idle);
	ASSERT_NE(nullptr, wave);

	// Frame 1 moves everything +1 along X, frame 3 turns the hand 90 degrees
	// about the up axis, frame 4 moves everything 4 along IQM +Y (engine -Z).
	struct Row {
		const char *label;
		ModelAnimation *animation;
		uint8_t loop;
		float frame;
		size_t vertex;
		Vec3 position;
		Vec3 normal;
	};
	const Row rows[] = {
		{"no animation plays the whole sequence: frame 1", nullptr, 0, 1.0f, 0, {2, 0.25f, -0.5f}, {0, 1, 0}},
		{"no animation wraps from frame 4 to frame 0", nullptr, 0, 4.5f, 0, {1, 0.25f, -2.5f}, {0, 1, 0}},
		{"looping Idle a quarter into frame 0", idle, 1, 0.25f, 1, {0.25f, 1, -2}, {0, 0, -1}},
		{"looping Idle wraps its last frame into its first", idle, 1, 1.25f, 0, {1.75f, 0.25f, -0.5f}, {0, 1, 0}},
		{"looping Idle counts frames by its own length", idle, 1, 2.25f, 0, {1.25f, 0.25f, -0.5f}, {0, 1, 0}},
		{"held Idle stays on its last frame", idle, 0, 2.5f, 0, {2, 0.25f, -0.5f}, {0, 1, 0}},
		{"held Idle stays there long after", idle, 0, 40.0f, 2, {1, 2, 0}, {1, 0, 0}},
		{"Wave turns the hand-bound vertex", wave, 1, 1.0f, 1, {-2, 1, 0}, {-1, 0, 0}},
		{"Wave leaves the root-bound vertex", wave, 1, 1.0f, 0, {1, 0.25f, -0.5f}, {0, 1, 0}},
		{"a zero second weight ends the influences", wave, 1, 1.0f, 3, {-1, 1, 0}, {0, 1, 0}},
		{"a shared vertex blends its joints", wave, 1, 1.0f, 2, {0, 2, 0}, {128 / 255.0f, 0, -127 / 255.0f}},
		// Matrices blend element by element: half of the turn pulls the
		// vertex inside the circle, and the normal comes out unnormalised.
		{"Wave halfway into the hand's turn", wave, 1, 0.5f, 1, {-1, 1, -1}, {-0.5f, 0, -0.5f}},
		{"held Wave stays on its last frame", wave, 0, 10.0f, 0, {1, 0.25f, -4.5f}, {0, 1, 0}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		if (row.animation != nullptr)
			row.animation->loop = row.loop;
		Mesh mesh;
		Pose(reader, mesh, row.frame, row.animation);
		ASSERT_EQ(4u, mesh.GetPositions().size());
		ExpectVecNear(row.position, mesh.GetPositions()[row.vertex], kTolerance);
		ExpectVecNear(row.normal, mesh.GetNormals()[row.vertex], kTolerance);
	}
}

TEST_F(IqmReaderFiles, CrossFadeMixesThePreviousAnimationByTheBlend)
{
	IqmReader reader;
	ASSERT_TRUE(reader.Load(SaveModel("fade.iqm", iqmtest::SkinnedModel()).c_str()));
	ModelAnimation *idle = reader.FindAnimation("Idle");
	ModelAnimation *wave = reader.FindAnimation("Wave");
	ASSERT_TRUE(idle != nullptr && wave != nullptr);
	idle->loop = 1;
	wave->loop = 1;
	ModelAnimation stranger = *idle;

	// At frame 1 Idle has moved the root +1 along X; Wave has turned the hand
	// and left the root where it was.
	struct Row {
		const char *label;
		ModelAnimation *previous;
		float blend;
		size_t vertex;
		Vec3 position;
	};
	const Row rows[] = {
		{"blend 0 shows the current animation", idle, 0.0f, 0, {1, 0.25f, -0.5f}},
		{"blend 0.25 is a quarter of the previous one", idle, 0.25f, 0, {1.25f, 0.25f, -0.5f}},
		{"blend 1 shows the previous animation", idle, 1.0f, 0, {2, 0.25f, -0.5f}},
		{"blend 1 on the hand shows Idle's hand", idle, 1.0f, 1, {1, 1, -2}},
		{"no previous animation ignores the blend", nullptr, 1.0f, 1, {-2, 1, 0}},
		{"a record that is not the reader's counts as none", &stranger, 1.0f, 1, {-2, 1, 0}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		Mesh mesh;
		Pose(reader, mesh, 1.0f, wave, row.previous, row.blend);
		ExpectVecNear(row.position, mesh.GetPositions()[row.vertex], kTolerance);
	}
}

// Neighbouring vertices that name the same joints with other weights, or the
// same weights on other joints, must each be blended for their own binding:
// run side by side they give what they give apart, with a vertex of another
// binding between each.
TEST_F(IqmReaderFiles, NeighboursOfLikeBindingsAreEachBlendedForTheirOwn)
{
	iqmtest::Model base = iqmtest::SkinnedModel();
	iqmtest::Vertex shared = base.vertices[2]; // Root and B_Hand.L, 128 and 127
	shared.position = glm::vec3(1, 0.5f, 2);    // off the hand's turning axis
	std::vector<iqmtest::Vertex> kinds(4, shared);
	kinds[1].weights = {200, 55, 0, 0};
	kinds[2].weights = {55, 200, 0, 0};
	kinds[3].indexes = {1, 0, 0, 0};
	iqmtest::Vertex apart = base.vertices[0]; // Root alone

	iqmtest::Model together = base;
	together.vertices = kinds;
	together.triangles = {{0, 1, 2}, {1, 2, 3}};
	iqmtest::Model separated = base;
	separated.vertices.clear();
	for (const iqmtest::Vertex &v : kinds) {
		separated.vertices.push_back(v);
		separated.vertices.push_back(apart);
	}
	separated.triangles = {{0, 2, 4}, {2, 4, 6}};

	IqmReader a, b;
	ASSERT_TRUE(a.Load(SaveModel("together.iqm", together).c_str()));
	ASSERT_TRUE(b.Load(SaveModel("separated.iqm", separated).c_str()));
	ModelAnimation *waveA = a.FindAnimation("Wave");
	ModelAnimation *waveB = b.FindAnimation("Wave");
	ASSERT_TRUE(waveA != nullptr && waveB != nullptr);
	Mesh meshA, meshB;
	Pose(a, meshA, 1.0f, waveA);
	Pose(b, meshB, 1.0f, waveB);
	for (size_t v = 0; v < kinds.size(); v++) {
		SCOPED_TRACE(v);
		EXPECT_EQ(meshB.GetPositions()[v * 2], meshA.GetPositions()[v]);
		EXPECT_EQ(meshB.GetNormals()[v * 2], meshA.GetNormals()[v]);
	}
	// The weights do move the vertex: the kinds do not all land together.
	EXPECT_NE(meshA.GetPositions()[1], meshA.GetPositions()[2]);
	EXPECT_NE(meshA.GetPositions()[0], meshA.GetPositions()[3]);
}

TEST_F(IqmReaderFiles, JointRecordsCarryTheAnimatedPlacement)
{
	IqmReader reader;
	ASSERT_TRUE(reader.Load(SaveModel("joints.iqm", iqmtest::SkinnedModel()).c_str()));
	ModelAnimation *idle = reader.FindAnimation("Idle");
	ModelAnimation *wave = reader.FindAnimation("Wave");
	ASSERT_EQ(3u, reader.GetJoints().size());

	// A name of 16 characters or more fills the record; lookups compare it
	// within those 16 characters.
	EXPECT_EQ(nullptr, reader.FindJoint("Tip_Of_The_Long_Arm"));
	EXPECT_EQ(&reader.GetJoints()[1], reader.FindJoint("b_hand.l"));

	struct Row {
		const char *label;
		ModelAnimation *animation;
		float frame;
		const char *joint;
		Vec3 position;
		Vec3 turnedX; // where the joint's rotation takes engine +X
	};
	const Row rows[] = {
		{"Idle frame 1 moves the root", idle, 1.0f, "Root", {1, 0, 0}, {1, 0, 0}},
		{"Idle frame 1 carries the hand along", idle, 1.0f, "B_Hand.L", {1, 1, 0}, {1, 0, 0}},
		{"Wave frame 3 turns the hand about engine Y", wave, 1.0f, "B_Hand.L", {0, 1, 0}, {0, 0, -1}},
		{"the child of the turned hand swings round", wave, 1.0f, "Tip_Of_The_Long_", {0, 1, -1}, {0, 0, -1}},
		{"Wave frame 4 moves everything along engine -Z", wave, 2.0f, "Tip_Of_The_Long_", {1, 1, -4}, {1, 0, 0}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		Mesh mesh;
		Pose(reader, mesh, row.frame, row.animation);
		ModelJoint *joint = reader.FindJoint(row.joint);
		ASSERT_NE(nullptr, joint);
		ExpectVecNear(row.position, joint->transform.position, kTolerance);
		ExpectVecNear(row.turnedX, joint->transform.rotation * Vec3(1, 0, 0), kTolerance);
		ExpectVecNear(Vec3(1), joint->transform.scale);
	}
}

TEST_F(IqmReaderFiles, AnimationRecordsKeepFileOrderAndNames)
{
	iqmtest::Model model = iqmtest::SkinnedModel();
	model.animations = {{"A_Name_Longer_Than_Sixteen", 0, 2}, {"Wave", 2, 3}, {"Idle", 1, 4}};
	IqmReader reader;
	ASSERT_TRUE(reader.Load(SaveModel("names.iqm", model).c_str()));

	struct Row {
		const char *name;
		uint16_t first;
		uint16_t count;
	};
	const Row rows[] = {{"A_Name_Longer_Th", 0, 2}, {"Wave", 2, 3}, {"Idle", 1, 4}};
	ASSERT_EQ(3u, reader.GetAnimations().size());
	for (size_t i = 0; i < 3; i++) {
		SCOPED_TRACE(rows[i].name);
		const ModelAnimation &animation = reader.GetAnimations()[i];
		EXPECT_STREQ(rows[i].name, animation.name);
		EXPECT_EQ(rows[i].first, animation.firstFrame);
		EXPECT_EQ(rows[i].count, animation.frameCount);
		EXPECT_EQ(0, animation.loop);
		EXPECT_EQ(&animation, reader.FindAnimation(rows[i].name));
	}
	EXPECT_EQ(nullptr, reader.FindAnimation("Run"));
}

TEST_F(IqmReaderFiles, RefusesDamagedFilesAndStaysEmpty)
{
	iqmtest::Layout at;
	const std::vector<uint8_t> good = iqmtest::Write(iqmtest::SkinnedModel(), &at);
	const uint32_t size = (uint32_t)good.size();
	using Bytes = std::vector<uint8_t>;
	auto field = [](iqmtest::Field f, uint32_t value) {
		return [f, value](Bytes &b) { PutU32(b, FieldAt(f), value); };
	};
	auto word = [](uint32_t offset, uint32_t value) { return [offset, value](Bytes &b) { PutU32(b, offset, value); }; };
	const uint32_t joint1 = at.joints + kIqmJointSize, pose1 = at.poses + kIqmPoseSize,
				   animation1 = at.animations + kIqmAnimationSize;

	struct Row {
		const char *label;
		std::function<void(Bytes &)> damage;
		const char *logged;
	};
	const Row rows[] = {
		{"a file shorter than its header", [](Bytes &b) { b.resize(60); }, "Could not read IQM header"},
		{"another magic", [](Bytes &b) { b[14] = 'X'; }, "Invalid IQM header string"},
		{"version 1", field(iqmtest::kVersion, 1), "IQM version 1 not supported"},
		{"declared size below the header", field(iqmtest::kFileSize, 100), "smaller than the header"},
		{"declared size beyond the real file", field(iqmtest::kFileSize, size + 8), "Could not buffer data"},
		{"declared size over 16 MiB", field(iqmtest::kFileSize, 16777217), "too big (>16MB)"},
		{"65536 vertices", field(iqmtest::kVertexCount, 65536), "65536 vertices"},
		{"21846 triangles", field(iqmtest::kTriangleCount, 21846), "21846 triangles"},
		{"vertex array table past the end", field(iqmtest::kVertexArrayOffset, size - 10), "vertex array table"},
		{"vertex array count past the end", field(iqmtest::kVertexArrayCount, 0x10000000), "vertex array table"},
		{"positions past the end", word(at.vertexArrays + 16, size - 20), "vertex array 0 outside"},
		{"positions as bytes", word(at.vertexArrays + 8, 1), "has format 1 and size 3"},
		{"normals of two components", word(at.vertexArrays + 40 + 12, 2), "has format 7 and size 2"},
		{"no positions", word(at.vertexArrays, 99), "positions, normals or texture coordinates missing"},
		{"more vertices than the arrays hold", field(iqmtest::kVertexCount, 4000), "vertex array 0 outside"},
		{"triangle index past the vertices", word(at.triangles + 12 + 8, 4), "triangle 1 names vertex 4"},
		{"triangles past the end", field(iqmtest::kTriangleOffset, size - 4), "triangles outside"},
		{"joints past the end", field(iqmtest::kJointCount, 0x08000000), "joints outside"},
		{"joint that is its own parent", word(joint1 + 4, 1), "joint 1 has parent 1"},
		{"joint whose parent comes later", word(at.joints + 4, 2), "joint 0 has parent 2"},
		{"joint scaled to nothing", word(joint1 + 36, 0), "cannot be inverted"},
		{"vertex bound to a missing joint", [&at](Bytes &b) { b[at.blendIndexes + 4] = 3; }, "bound to joint 3"},
		{"fewer poses than joints", field(iqmtest::kPoseCount, 2), "2 poses for a model of 3 joints"},
		{"poses past the end", field(iqmtest::kPoseOffset, size - 100), "poses outside"},
		{"pose whose parent comes later", word(pose1, 2), "pose 1 has parent 2"},
		{"animation past the frames", word(animation1 + 8, 4), "animation 1 has frames 2 to 6 of 5"},
		{"animation without frames", word(at.animations + 8, 0), "animation 0 has frames 0 to 0"},
		{"animation starting past the frames", word(animation1 + 4, 0xFFFFFFF0u), "animation 1 has frames"},
		{"animations past the end", field(iqmtest::kAnimationCount, 0x01000000), "animations outside"},
		{"frame stream cut short", field(iqmtest::kFrameOffset, size - 4), "frame data shorter"},
		{"more frames than the stream holds", field(iqmtest::kFrameCount, 9), "frame data shorter"},
		{"frame channels unlike the poses' masks", field(iqmtest::kFrameChannelCount, 1), "channels per frame"},
		{"frames beyond 16-bit numbers", field(iqmtest::kFrameCount, 70000), "too many"},
		{"text past the end", field(iqmtest::kTextCount, size), "text outside the file"},
		{"animation name outside the text", word(at.animations, 5000), "animation 0 has its name outside"},
		{"joint name outside the text", word(at.joints, 5000), "joint 0 has its name outside"},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		Bytes bytes = good;
		row.damage(bytes);
		std::string path = Save("damaged.iqm", bytes);
		IqmReader reader;
		testing::internal::CaptureStdout();
		bool loaded = reader.Load(path.c_str());
		std::string log = testing::internal::GetCapturedStdout();
		EXPECT_FALSE(loaded);
		EXPECT_NE(std::string::npos, log.find(row.logged)) << log;
		EXPECT_NE(std::string::npos, log.find(path)) << "the log names the file: " << log;
		EXPECT_EQ(0u, reader.GetVertexCount());
		EXPECT_EQ(0u, reader.GetJointCount());
		EXPECT_EQ(0, reader.GetAnimationFrameCount());
		EXPECT_TRUE(reader.GetAnimations().empty());
		EXPECT_TRUE(reader.GetJoints().empty());
		Mesh mesh;
		float clock = 1.0f;
		reader.BuildMesh(&mesh, &clock, nullptr, nullptr, 0.0f);
		EXPECT_TRUE(mesh.GetPositions().empty());
	}
}

TEST_F(IqmReaderFiles, HeaderEdgesThatStillLoad)
{
	const std::vector<uint8_t> good = iqmtest::Write(iqmtest::SkinnedModel());
	constexpr uint32_t kLargest = 16777216; // bytes: the largest size a file may declare
	using Bytes = std::vector<uint8_t>;
	struct Row {
		const char *label;
		std::function<void(Bytes &)> change;
	};
	const Row rows[] = {
		{"the magic in lower case", [](Bytes &b) { std::memcpy(b.data(), "interquakemodel", 15); }},
		{"a declared size of exactly 16 MiB",
			[](Bytes &b) {
				b.resize(kLargest, 0);
				PutU32(b, FieldAt(iqmtest::kFileSize), kLargest);
			}},
		{"bytes beyond the declared size", [](Bytes &b) { b.resize(b.size() + 33, 0xEE); }},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		Bytes bytes = good;
		row.change(bytes);
		IqmReader reader;
		EXPECT_TRUE(reader.Load(Save("edge.iqm", bytes).c_str()));
		EXPECT_EQ(4u, reader.GetVertexCount());
		EXPECT_EQ(2u, reader.GetAnimations().size());
	}
}

TEST_F(IqmReaderFiles, AnimationFilesReplaceAnimationsOrLeaveThemWhenRefused)
{
	IqmReader reader;
	testing::internal::CaptureStdout();
	EXPECT_FALSE(reader.LoadAnimations(folder.Path("missing.iqm").c_str()));
	EXPECT_NE(std::string::npos, testing::internal::GetCapturedStdout().find("Could not open IQM animations file"));

	ASSERT_TRUE(reader.Load(SaveModel("body.iqm", iqmtest::SkinnedModel()).c_str()));
	reader.GetAnimations()[0].loop = 1;
	reader.GetAnimations()[1].loop = 1;
	ModelAnimation *first = &reader.GetAnimations()[0];

	// A second model into the same reader is refused.
	testing::internal::CaptureStdout();
	EXPECT_FALSE(reader.Load(SaveModel("other.iqm", iqmtest::SkinnedModel()).c_str()));
	EXPECT_NE(std::string::npos, testing::internal::GetCapturedStdout().find("Could load IQM mesh for"));

	// Animation-only files on the same skeleton: refused ones change nothing.
	iqmtest::Model moves = iqmtest::SkinnedModel();
	moves.vertices.clear();
	moves.triangles.clear();
	moves.animations = {{"Run", 4, 1}, {"Jump", 0, 1}, {"Die", 1, 3}};
	iqmtest::Model shortSkeleton = moves;
	shortSkeleton.joints.pop_back();
	shortSkeleton.frames = {moves.frames[0], moves.frames[1], moves.frames[3], moves.frames[4]};
	shortSkeleton.frameCount = 2;
	shortSkeleton.animations = {{"Run", 0, 2}};
	iqmtest::Layout at;
	std::vector<uint8_t> zeroFrames = iqmtest::Write(moves, &at);
	PutU32(zeroFrames, at.animations + 20 + 8, 0);

	struct Row {
		const char *label;
		std::vector<uint8_t> bytes;
	};
	const Row refused[] = {
		{"a skeleton of two joints", iqmtest::Write(shortSkeleton)},
		{"an animation of zero frames", zeroFrames},
	};
	for (const Row &row : refused) {
		SCOPED_TRACE(row.label);
		testing::internal::CaptureStdout();
		EXPECT_FALSE(reader.LoadAnimations(Save("moves.iqm", row.bytes).c_str()));
		EXPECT_NE(std::string::npos, testing::internal::GetCapturedStdout().find("Could load IQM animation for"));
		ASSERT_EQ(2u, reader.GetAnimations().size());
		EXPECT_STREQ("Idle", reader.GetAnimations()[0].name);
		EXPECT_EQ(5, reader.GetAnimationFrameCount());
		Mesh mesh;
		Pose(reader, mesh, 1.0f, first);
		ExpectVecNear({2, 0.25f, -0.5f}, mesh.GetPositions()[0], kTolerance);
	}

	ASSERT_TRUE(reader.LoadAnimations(Save("moves.iqm", iqmtest::Write(moves)).c_str()));
	EXPECT_EQ(5, reader.GetAnimationFrameCount());
	struct Expected {
		const char *name;
		uint16_t first;
		uint16_t count;
		uint8_t loop;
	};
	// Records listed before keep their loop flags by position.
	const Expected expected[] = {{"Run", 4, 1, 1}, {"Jump", 0, 1, 1}, {"Die", 1, 3, 0}};
	ASSERT_EQ(3u, reader.GetAnimations().size());
	for (size_t i = 0; i < 3; i++) {
		SCOPED_TRACE(expected[i].name);
		EXPECT_STREQ(expected[i].name, reader.GetAnimations()[i].name);
		EXPECT_EQ(expected[i].first, reader.GetAnimations()[i].firstFrame);
		EXPECT_EQ(expected[i].count, reader.GetAnimations()[i].frameCount);
		EXPECT_EQ(expected[i].loop, reader.GetAnimations()[i].loop);
	}
	// "Run" is frame 4 alone: everything 4 along engine -Z.
	Mesh mesh;
	Pose(reader, mesh, 0.0f, reader.FindAnimation("Run"));
	ExpectVecNear({1, 0.25f, -4.5f}, mesh.GetPositions()[0], kTolerance);
}

TEST_F(IqmReaderFiles, MeshesOfAnotherShapeAreRebuiltWhole)
{
	IqmReader reader;
	ASSERT_TRUE(reader.Load(SaveModel("shape.iqm", iqmtest::SkinnedModel()).c_str()));
	ModelAnimation *idle = reader.FindAnimation("Idle");

	struct Row {
		const char *label;
		std::function<void(Mesh &)> fill;
	};
	const Vec3 four[4] = {};
	const Vec3 ten[10] = {};
	const Row rows[] = {
		{"an empty mesh", [](Mesh &) {}},
		{"four positions and nothing else", [&four](Mesh &m) { m.AppendPositions(four, 4); }},
		{"ten vertices", [&ten](Mesh &m) { m.SetVertexCount(10); m.AppendNormals(ten, 10); }},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		Mesh mesh;
		row.fill(mesh);
		Pose(reader, mesh, 1.0f, idle);
		ASSERT_EQ(4u, mesh.GetPositions().size());
		ASSERT_EQ(4u, mesh.GetNormals().size());
		ASSERT_EQ(4u, mesh.GetUVs().size());
		ASSERT_EQ(6u, mesh.GetIndices().size());
		for (size_t v = 0; v < 4; v++)
			ExpectVecNear(kBindPositions[v] + Vec3(1, 0, 0), mesh.GetPositions()[v], kTolerance);
	}
}
