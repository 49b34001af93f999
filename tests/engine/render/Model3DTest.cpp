#include "engine/render/Model3D.h"

#include <gtest/gtest.h>
#include <SDL_image.h>

#include <glad/gl.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/FileAccess.h"
#include "engine/render/IqmReader.h"
#include "engine/render/Mesh.h"
#include "engine/render/Shader.h"
#include "support/ExpectVec.h"
#include "support/GLDrawContext.h"
#include "support/IqmTestFile.h"
#include "support/TempFolder.h"

namespace {

constexpr float kTolerance = 1e-3f;
constexpr float kClockTolerance = 5e-3f; // after a second of summed frame times
constexpr float kFrameTime = 1.0f / 60.0f; // seconds of one game frame

// The bind position of the test model's root-bound vertex, in engine space.
const Vec3 kRootVertex(1, 0.25f, -0.5f);

class Model3DFiles : public ::testing::Test {
protected:
	std::string SaveModel(const std::string &name, const iqmtest::Model &model)
	{
		std::string path = folder.Path(name);
		TempFolder::WriteBytes(path, iqmtest::Write(model));
		return path;
	}
	std::string SkinnedPath()
	{
		if (skinned.empty())
			skinned = SaveModel("skinned.iqm", iqmtest::SkinnedModel());
		return skinned;
	}
	static void Run(Model3D &model, float seconds)
	{
		for (float elapsed = 0.0f; elapsed + 1e-6f < seconds; elapsed += kFrameTime)
			model.Update(kFrameTime);
	}

	TempFolder folder;
	std::string skinned;
};

float ColumnLength(const glm::mat4 &m, int column)
{
	return glm::length(glm::vec3(m[column]));
}

}

TEST_F(Model3DFiles, InstancesOfOneFilePairShareOneCachedReader)
{
	std::string body = SkinnedPath();
	iqmtest::Model moves = iqmtest::SkinnedModel();
	moves.vertices.clear();
	moves.triangles.clear();
	moves.animations = {{"Run", 4, 1}};
	std::string movesPath = SaveModel("moves.iqm", moves);

	auto first = std::make_unique<Model3D>();
	Model3D second, third;
	ASSERT_TRUE(first->LoadSimple(body.c_str(), 1.0f));
	ASSERT_TRUE(second.LoadSimple(body.c_str(), 1.0f));
	ASSERT_TRUE(third.Load(body.c_str(), movesPath.c_str(), 1.0f));

	CacheMap<ModelReader> &cache = GetModelReaderCache();
	EXPECT_EQ(first->GetReader(), second.GetReader());
	EXPECT_EQ(ModelReaderKey(body.c_str(), body.c_str()), second.GetKey());
	EXPECT_EQ(2, cache.GetUsers(second.GetKey()));
	EXPECT_NE(second.GetReader(), third.GetReader());
	EXPECT_EQ(1, cache.GetUsers(third.GetKey()));

	struct Row {
		const char *label;
		Model3D *model;
		const char *animation;
		bool found;
	};
	const Row rows[] = {
		{"the shared reader has the model's own animations", &second, "Wave", true},
		{"the other pair's reader has the animation file's", &third, "Run", true},
		{"and not the model's", &third, "Wave", false},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		EXPECT_EQ(row.found, row.model->FindAnimation(row.animation) != nullptr);
	}

	ModelReader *shared = second.GetReader();
	first.reset();
	EXPECT_EQ(1, cache.GetUsers(second.GetKey()));
	// Released readers stay cached: a new instance gets the same one back.
	Model3D fourth;
	ASSERT_TRUE(fourth.LoadSimple(body.c_str(), 1.0f));
	EXPECT_EQ(shared, fourth.GetReader());
	EXPECT_EQ(2, cache.GetUsers(second.GetKey()));
}

TEST_F(Model3DFiles, FailedLoadsLeaveTheInstanceUnloaded)
{
	std::vector<uint8_t> damaged = iqmtest::Write(iqmtest::SkinnedModel());
	iqmtest::PutU32(damaged, iqmtest::FieldAt(iqmtest::kVersion), 3);
	std::string damagedPath = folder.Path("damaged.iqm");
	TempFolder::WriteBytes(damagedPath, damaged);
	std::string missingPath = folder.Path("missing.IQM");
	std::string objPath = folder.Path("crate.obj");
	TempFolder::WriteBytes(objPath, {1, 2, 3});

	struct Row {
		const char *label;
		std::string name;
		uint32_t format;
		std::string logged;
	};
	const Row rows[] = {
		{"an unknown format", objPath, kModelFormatUnknown, "Can't read file format: " + objPath},
		{"a refused file", damagedPath, kModelFormatIqm, "Can't read model: " + damagedPath + "\n"},
		{"a missing file", missingPath, kModelFormatIqm, "Can't read model: " + missingPath + "\n"},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		Model3D model;
		testing::internal::CaptureStdout();
		EXPECT_FALSE(model.LoadSimple(row.name.c_str(), 2.5f));
		std::string log = testing::internal::GetCapturedStdout();
		EXPECT_NE(std::string::npos, log.find(row.logged)) << log;
		EXPECT_FALSE(model.IsLoaded());
		EXPECT_EQ(nullptr, model.GetReader());
		EXPECT_EQ(row.format, model.GetFormat());
		EXPECT_EQ(ModelReaderKey(row.name.c_str(), row.name.c_str()), model.GetKey());
		ExpectVecNear(Vec3(2.5f), model.GetTransform().scale);
		EXPECT_EQ(0, GetModelReaderCache().GetUsers(model.GetKey()));
		EXPECT_EQ(nullptr, model.FindAnimation("Idle"));
		EXPECT_EQ(nullptr, model.FindJoint("B_Hand.L"));
		model.Update(1.0f);
		EXPECT_TRUE(model.GetMesh()->GetPositions().empty());
	}

	// A missing animation file still loads the model, with its own animations.
	Model3D model;
	testing::internal::CaptureStdout();
	EXPECT_TRUE(model.Load(SkinnedPath().c_str(), missingPath.c_str(), 1.0f));
	testing::internal::GetCapturedStdout();
	EXPECT_TRUE(model.IsLoaded());
	EXPECT_NE(nullptr, model.FindAnimation("Idle"));
	model.ClearLoaded();
	EXPECT_FALSE(model.IsLoaded());
}

TEST_F(Model3DFiles, ClockPosesTheMeshAtSpeedFramesPerSecond)
{
	Model3D model;
	ASSERT_TRUE(model.LoadSimple(SkinnedPath().c_str(), 1.0f));
	// The load poses the mesh once: frame 0 of the whole sequence, the bind pose.
	ASSERT_EQ(4u, model.GetMesh()->GetPositions().size());
	ExpectVecNear(kRootVertex, model.GetMesh()->GetPositions()[0], kTolerance);
	EXPECT_FLOAT_EQ(15.0f, model.GetSpeed());

	ModelAnimation *idle = model.FindAnimation("Idle");
	ModelAnimation *wave = model.FindAnimation("Wave");
	ASSERT_TRUE(idle != nullptr && wave != nullptr);
	idle->loop = 1;

	struct Row {
		const char *label;
		ModelAnimation *animation;
		float speed;
		float seconds;
		float time;	  // the clock afterwards
		Vec3 vertex0; // the root-bound vertex
	};
	const Row rows[] = {
		{"one frame at 15 per second", idle, 15.0f, 1.0f / 15.0f, 1.0f / 30.0f, kRootVertex + Vec3(1, 0, 0)},
		{"half a frame", idle, 15.0f, 0.5f / 15.0f, 0.5f / 30.0f, kRootVertex + Vec3(0.5f, 0, 0)},
		{"one second at 15 is frame 15, looping Idle's two", idle, 15.0f, 1.0f, 0.5f, kRootVertex + Vec3(1, 0, 0)},
		{"the clock wraps at the frame count", idle, 30.0f, 6.0f, 1.0f, kRootVertex},
		{"held Wave sits on frame 4", wave, 15.0f, 1.0f, 0.5f, kRootVertex + Vec3(0, 0, -4)},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		model.SetAnimationAtSpeed(nullptr, 0.0f, row.speed);
		model.SetAnimationAtSpeed(row.animation, 0.0f, row.speed);
		EXPECT_FLOAT_EQ(0.0f, model.GetTime());
		Run(model, row.seconds);
		// Many small float steps: the clock drifts by a little.
		EXPECT_NEAR(row.time, model.GetTime(), 1e-3f);
		ExpectVecNear(row.vertex0, model.GetMesh()->GetPositions()[0], kClockTolerance);
	}

	// A model without animations has no frame count to wrap by: the clock
	// just runs, and the mesh keeps the bind pose.
	iqmtest::Model still = iqmtest::SkinnedModel();
	still.animations.clear();
	Model3D statue;
	ASSERT_TRUE(statue.LoadSimple(SaveModel("still.iqm", still).c_str(), 1.0f));
	Run(statue, 10.0f);
	EXPECT_TRUE(std::isfinite(statue.GetTime()));
	EXPECT_NEAR(5.0f, statue.GetTime(), 1e-2f);
	ExpectVecNear(kRootVertex, statue.GetMesh()->GetPositions()[0], kTolerance);
}

TEST_F(Model3DFiles, CrossFadeFallsFromPreviousToCurrent)
{
	Model3D model;
	ASSERT_TRUE(model.LoadSimple(SkinnedPath().c_str(), 1.0f));
	ModelAnimation *idle = model.FindAnimation("Idle");
	ModelAnimation *wave = model.FindAnimation("Wave");
	idle->loop = 1;
	wave->loop = 1;

	// Idle held at frame 1 (root +1 along X) by speed 0, then a fade of
	// 0.25 s to Wave, whose frame 3 leaves the root alone.
	model.SetAnimationAtSpeed(idle, 1.0f / 30.0f, 0.0f);
	model.BlendToAnimation(wave, 0.25f);
	EXPECT_EQ(wave, model.GetCurrentAnimation());
	EXPECT_EQ(idle, model.GetPreviousAnimation());
	EXPECT_FLOAT_EQ(1.0f, model.GetBlend());

	struct Row {
		float seconds; // of updates since the fade began
		float blend;
	};
	const Row rows[] = {{0.05f, 0.8f}, {0.1f, 0.6f}, {0.2f, 0.2f}, {0.25f, 0.0f}, {0.4f, 0.0f}};
	float elapsed = 0.0f;
	for (const Row &row : rows) {
		SCOPED_TRACE("after " + std::to_string(row.seconds) + " s");
		model.Update(row.seconds - elapsed);
		elapsed = row.seconds;
		EXPECT_NEAR(row.blend, model.GetBlend(), 1e-4f);
		// Wave's frame is frame 1 of it (the clock stands still): the root
		// has not moved, so the vertex shows Idle's share alone.
		ExpectVecNear(kRootVertex + Vec3(row.blend, 0, 0), model.GetMesh()->GetPositions()[0], kTolerance);
	}

	struct Change {
		const char *label;
		ModelAnimation *to;
		float blendTime;
		float blendAfter;
	};
	// Each change starts from a fresh fade of 0.5 s to Wave that has run 0.1 s.
	const Change changes[] = {
		{"the current animation again keeps the fade", wave, 5.0f, 0.8f},
		{"a blend time of 0 ends the fade at once", idle, 0.0f, 0.0f},
		{"a new fade starts at full previous", idle, 1.0f, 1.0f},
	};
	for (const Change &change : changes) {
		SCOPED_TRACE(change.label);
		model.SetAnimation(nullptr, 0.0f);
		model.SetAnimation(idle, 0.0f);
		model.BlendToAnimation(wave, 0.5f);
		model.Update(0.1f);
		model.BlendToAnimation(change.to, change.blendTime);
		EXPECT_NEAR(change.blendAfter, model.GetBlend(), 1e-4f);
	}

	// Setting an animation switches at once and resets the clock.
	model.SetTime(0.7f);
	model.SetAnimation(wave, 0.2f);
	EXPECT_FLOAT_EQ(0.2f, model.GetTime());
	EXPECT_FLOAT_EQ(0.0f, model.GetBlend());
}

TEST_F(Model3DFiles, JointMatricesPlaceHeldItemsWithoutTheModelsScale)
{
	Model3D model;
	ASSERT_TRUE(model.LoadSimple(SkinnedPath().c_str(), 1.0f));
	ModelAnimation *idle = model.FindAnimation("Idle");
	ModelJoint *hand = model.FindJoint("B_Hand.L");
	ASSERT_NE(nullptr, hand);

	struct Row {
		const char *label;
		float scale;
		bool keepScale;
		bool withJoint;
		Vec3 position;
		float axisLength;
	};
	// Idle's frame 1 puts the hand at (1, 1, 0).
	const Row rows[] = {
		{"unscaled", 1.0f, false, true, {1, 1, 0}, 1.0f},
		{"scale 2 moves the joint but not the item's size", 2.0f, false, true, {2, 2, 0}, 1.0f},
		{"scale 2 kept", 2.0f, true, true, {2, 2, 0}, 2.0f},
		{"a scale of almost nothing is not divided out", 0.0005f, false, true, {0.0005f, 0.0005f, 0}, 0.0005f},
		{"no joint gives the own transform", 2.0f, false, false, {0.5f, 0, 0}, 2.0f},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		model.GetTransform().SetUniformScale(row.scale);
		model.GetTransform().SetPosition(row.withJoint ? Vec3(0) : Vec3(0.5f, 0, 0));
		model.SetAnimation(nullptr, 0.0f);
		model.SetAnimation(idle, 1.0f / 30.0f);
		model.Update(0.0f);
		glm::mat4 m = model.ComputeMatrix(row.withJoint ? hand : nullptr, row.keepScale);
		ExpectVecNear(row.position, Vec3(m[3]), kTolerance);
		for (int axis = 0; axis < 3; axis++)
			EXPECT_NEAR(row.axisLength, ColumnLength(m, axis), 1e-4f) << "axis " << axis;
	}
}

TEST_F(Model3DFiles, BaseRotationTurnsTheModelAndItsJointsTintReachesTheRenderer)
{
	Model3D model;
	ASSERT_TRUE(model.LoadSimple(SkinnedPath().c_str(), 1.0f));
	ModelJoint *hand = model.FindJoint("B_Hand.L");
	ASSERT_NE(nullptr, hand);
	model.SetAnimation(model.FindAnimation("Idle"), 1.0f / 30.0f);
	model.Update(0.0f);
	const Vec3 unturned = Vec3(model.ComputeMatrix(hand, false)[3]);

	// A half turn about up, as actors give their models: the hand at (1, 1, 0)
	// goes to (-1, 1, 0), for drawing and for held items alike.
	model.SetBaseRotation(glm::angleAxis(glm::pi<float>(), Vec3(0.0f, 1.0f, 0.0f)));
	ExpectVecNear(Vec3(-unturned.x, unturned.y, -unturned.z), Vec3(model.ComputeMatrix(hand, false)[3]), kTolerance);
	const glm::vec4 east = model.ComputeMatrix(nullptr, false) * glm::vec4(1.0f, 0.0f, 0.0f, 0.0f);
	ExpectVecNear(Vec3(-1.0f, 0.0f, 0.0f), Vec3(east), kTolerance);
	model.Render(glm::translate(glm::mat4(1.0f), Vec3(0.0f, 0.0f, 5.0f)));
	const glm::vec4 drawn = model.GetLastMatrix() * glm::vec4(1.0f, 0.0f, 0.0f, 1.0f);
	ExpectVecNear(Vec3(-1.0f, 0.0f, 5.0f), Vec3(drawn), kTolerance);

	EXPECT_EQ(model.GetColour(), glm::vec3(1.0f));
	model.SetColour(glm::vec3(1.0f, 0.2f, 0.2f));
	EXPECT_EQ(model.GetColour(), glm::vec3(1.0f, 0.2f, 0.2f));
	EXPECT_EQ(model.GetRenderer().GetTint(), glm::vec3(1.0f, 0.2f, 0.2f));
}

TEST_F(Model3DFiles, MaterialUsesAreCountedOncePerHolder)
{
	// A material of the cache's own, made without GL: only the counts matter.
	CacheMap<Material> &materials = CacheMap<Material>::GetInstance();
	static Material first, second;
	constexpr uint16_t kFirstKey = 0xBEE1, kSecondKey = 0xBEE2;
	materials.Insert(kFirstKey, &first);
	materials.Insert(kSecondKey, &second);
	int16_t firstBefore = materials.GetUsers(kFirstKey);
	int16_t secondBefore = materials.GetUsers(kSecondKey);
	{
		Model3D model;
		model.SetMaterialHandle(materials.Find(kFirstKey));
		EXPECT_EQ(&first, model.GetMesh()->GetMaterial().Get());
		// The model's use and the mesh's own.
		EXPECT_EQ(firstBefore + 2, materials.GetUsers(kFirstKey));
		model.SetMaterialHandle(materials.Find(kSecondKey));
		EXPECT_EQ(firstBefore, materials.GetUsers(kFirstKey));
		EXPECT_EQ(secondBefore + 2, materials.GetUsers(kSecondKey));
		EXPECT_EQ(&second, model.GetMesh()->GetMaterial().Get());
	}
	EXPECT_EQ(firstBefore, materials.GetUsers(kFirstKey));
	EXPECT_EQ(secondBefore, materials.GetUsers(kSecondKey));
}

TEST(Model3DData, HumanoidHasEveryAnimationAndBothHandJoints)
{
	const char *kBody = "models/blacksmith.iqm";
	const char *kSecondBody = "models/blacksmith2.iqm";
	// The build makes both files with the model tool.
	ASSERT_TRUE(TempFolder::Exists(ResolvePath(kBody))) << kBody << " is missing from the data tree";

	const char *kAnimations[] = {"Idle", "Run", "PushWalk", "StrikeFore", "StrikeBack", "Hit1", "Die", "BlockVert",
		"Jump", "Air", "Land", "Talk", "Get", "Roll", "Pose", "Wave"};
	struct Row {
		const char *label;
		const char *model;
		const char *animations;
	};
	const Row rows[] = {
		{"the humanoid", kBody, kBody},
		{"the second body on the humanoid's animations", kSecondBody, kBody},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		Model3D model;
		ASSERT_TRUE(model.Load(row.model, row.animations, 1.0f));
		EXPECT_GT(model.GetMesh()->GetPositions().size(), 0u);
		for (const char *name : kAnimations) {
			ModelAnimation *animation = model.FindAnimation(name);
			ASSERT_NE(nullptr, animation) << name;
			EXPECT_GT(animation->frameCount, 0) << name;
		}
		for (const char *name : {"B_Weapon.L", "B_Hand.L"})
			EXPECT_NE(nullptr, model.FindJoint(name)) << name;

		// Every animation poses every vertex somewhere finite.
		for (const char *name : kAnimations) {
			model.SetAnimation(model.FindAnimation(name), 0.0f);
			model.Update(0.1f);
			for (const Vec3 &p : model.GetMesh()->GetPositions())
				ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << name;
		}
	}
}

namespace {

class Model3DDrawing : public GLDrawContext {
protected:
	static int Red(int x, int y) { return Pixel(x, y).r; }

	TempFolder folder;
};

}

TEST_F(Model3DDrawing, ActorShaderDrawsThePosedModel)
{
	Shader *shader = Shader::Get("shaders/actor.dsh");
	ASSERT_EQ(1, shader->GetPassCount());
	const ShaderPass *pass = shader->GetPass(0);
	ASSERT_NE(0u, pass->program);
	for (ShaderUniform uniform : {kUniformMVP, kUniformSampler, kUniformColor})
		EXPECT_GE(pass->GetUniform(uniform), 0) << kShaderUniformNames[uniform];

	// A white texture of the test's own.
	std::string texturePath = folder.Path("white.png");
	SDL_Surface *surface = SDL_CreateRGBSurfaceWithFormat(0, 4, 4, 32, SDL_PIXELFORMAT_RGBA32);
	ASSERT_NE(nullptr, surface);
	SDL_FillRect(surface, nullptr, 0xFFFFFFFF);
	ASSERT_EQ(0, IMG_SavePNG(surface, texturePath.c_str()));
	SDL_FreeSurface(surface);

	std::string modelPath = folder.Path("drawn.iqm");
	TempFolder::WriteBytes(modelPath, iqmtest::Write(iqmtest::SkinnedModel()));
	Model3D model;
	ASSERT_TRUE(model.LoadSimple(modelPath.c_str(), 0.4f));
	model.SetMaterial(texturePath.c_str(), "shaders/actor.dsh");
	ASSERT_NE(0u, model.GetMaterial().Get()->GetTextureId());

	// Scaled by 0.4 the first triangle covers clip point (0.13, 0.43) in the
	// bind pose; Idle's frame 1 moves it 0.4 to the right.
	const int bindX = 36, posedX = 49, y = 45;
	struct Row {
		const char *label;
		float clock;
		int litX;
		int darkX;
	};
	const Row rows[] = {
		{"bind pose", 0.0f, bindX, posedX},
		{"Idle frame 1", 1.0f / 30.0f, posedX, bindX},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		model.SetAnimation(nullptr, 0.0f);
		model.SetAnimation(model.FindAnimation("Idle"), row.clock);
		model.Update(0.0f);
		glClear(GL_COLOR_BUFFER_BIT);
		model.Render(glm::mat4(1.0f));
		EXPECT_GT(Red(row.litX, y), 100);
		EXPECT_EQ(0, Red(row.darkX, y));
	}
	EXPECT_EQ(glm::scale(glm::mat4(1.0f), Vec3(0.4f)), model.GetLastMatrix());
}
