#include "engine/render/Model3D.h"

#include <gtest/gtest.h>
#include <SDL_image.h>

#include <glad/gl.h>

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/Camera.h"
#include "engine/core/Entity.h"
#include "engine/core/FileAccess.h"
#include "engine/core/MathUtil.h"
#include "engine/core/Scene.h"
#include "engine/render/IqmReader.h"
#include "engine/render/Mesh.h"
#include "engine/render/Renderer.h"
#include "engine/render/Shader.h"
#include "support/ExpectVec.h"
#include "support/GLDrawContext.h"
#include "support/IqmTestFile.h"
#include "support/SharedRenderer.h"
#include "support/TempFolder.h"
#include "support/WindowPixels.h"

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

// A small opaque white texture of the test's own, at the path.
bool WriteWhiteTexture(const std::string &path)
{
	SDL_Surface *surface = SDL_CreateRGBSurfaceWithFormat(0, 4, 4, 32, SDL_PIXELFORMAT_RGBA32);
	if (surface == nullptr)
		return false;
	SDL_FillRect(surface, nullptr, 0xFFFFFFFF);
	const bool saved = IMG_SavePNG(surface, path.c_str()) == 0;
	SDL_FreeSurface(surface);
	return saved;
}

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

	std::string texturePath = folder.Path("white.png");
	ASSERT_TRUE(WriteWhiteTexture(texturePath));

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

namespace {

// The model files of the data tree, by path.
std::vector<std::string> ShippedModelFiles()
{
	std::vector<std::string> files;
	DirectoryHandle listing = OpenDirectory("models");
	if (listing != nullptr)
		while (const char *name = ReadDirectoryName(listing.get()))
			if (FileHasExtension(name, "iqm"))
				files.push_back(std::string("models/") + name);
	std::sort(files.begin(), files.end());
	return files;
}

constexpr const char *kHumanoidFile = "models/blacksmith.iqm"; // the animations every person shares

} // namespace

// Culling leaves out a model whose sphere lies outside the view, so the
// sphere must hold every pose: each frame of each animation, the poses
// between frames and the cross-fades between animations.
TEST(Model3DData, EveryPoseOfEveryShippedModelStaysInsideItsCullSphere)
{
	const std::vector<std::string> files = ShippedModelFiles();
	ASSERT_GT(files.size(), 20u);
	constexpr float kFramesPerClock = 30.0f;
	constexpr int kStepsPerFrame = 4;
	float worst = 0.0f; // the farthest vertex, as a share of the radius
	for (const std::string &file : files) {
		for (const std::string &animations : {file, std::string(kHumanoidFile)}) {
			SCOPED_TRACE(file + " on " + animations);
			// A body takes the humanoid's animations only when its skeleton fits.
			IqmReader fits;
			testing::internal::CaptureStdout();
			const bool paired = fits.Load(ResolvePath(file.c_str()).c_str()) &&
				(animations == file || fits.LoadAnimations(ResolvePath(animations.c_str()).c_str()));
			testing::internal::GetCapturedStdout();
			if (!paired || (animations != file && fits.GetAnimationFrameCount() == 0))
				continue;
			Model3D model;
			ASSERT_TRUE(model.Load(file.c_str(), animations.c_str(), 1.0f));
			ASSERT_GT(model.GetBoundRadius(), 0.0f);
			const glm::vec3 centre = model.GetBoundCentre();
			const float radius = model.GetBoundRadius();
			ModelReader &reader = *model.GetReader();
			Mesh posed;
			bool outside = false; // one failure tells enough of a model
			auto expectInside = [&](float frame, const ModelAnimation *now, const ModelAnimation *before, float blend) {
				const float clock = frame / kFramesPerClock;
				reader.BuildMesh(&posed, &clock, now, before, blend);
				for (const glm::vec3 &p : posed.GetPositions()) {
					const float reach = glm::length(p - centre) / radius;
					worst = std::max(worst, reach);
					if (reach > 1.0f && !outside) {
						outside = true;
						ADD_FAILURE() << "a vertex reaches " << reach << " of the radius in "
									  << (now != nullptr ? now->name : "the whole sequence") << " at frame " << frame
									  << (before != nullptr ? std::string(" fading from ") + before->name : "");
					}
				}
			};
			std::vector<const ModelAnimation *> all = {nullptr};
			for (const ModelAnimation &animation : reader.GetAnimations())
				all.push_back(&animation);
			for (const ModelAnimation *now : all) {
				const int frames = now != nullptr ? now->frameCount : reader.GetAnimationFrameCount();
				for (int step = 0; step < frames * kStepsPerFrame; step++)
					expectInside((float)step / kStepsPerFrame, now, nullptr, 0.0f);
				// Halfway through a fade from every other animation, at its start,
				// middle and end.
				for (const ModelAnimation *before : all)
					if (before != now && now != nullptr)
						for (float share : {0.0f, 0.5f, 1.0f})
							expectInside(share * (float)(frames - 1) + 0.5f, now, before, 0.5f);
			}
		}
	}
	std::printf("farthest posed vertex: %.3f of its cull sphere's radius\n", worst);
}

namespace {

// Flames flicker with the clock; held still, two pictures of one match.
uint32_t StillClock()
{
	return 1000;
}

// Drawing models through the shared renderer, with culling on or off.
class ModelPictures : public SharedRendererTest {
protected:
	void SetUp() override
	{
		SharedRendererTest::SetUp();
		if (IsSkipped())
			return;
		camera.transform.position = Vec3(0.0f, 2.5f, 4.5f);
		camera.transform.rotation = LookRotation(Vec3(0.0f, -0.45f, -1.0f), Vec3(0.0f, 1.0f, 0.0f));
		Camera::SetCurrent(&camera);
		blank = Draw(nullptr, glm::mat4(1.0f), true);
	}
	void TearDown() override
	{
		if (renderer != nullptr)
			renderer->SetModelCulling(true);
		SharedRendererTest::TearDown();
	}
	// The scene layer with the model (or nothing) drawn at the placement.
	std::vector<uint8_t> Draw(Model3D *model, const glm::mat4 &placement, bool culling)
	{
		renderer->SetModelCulling(culling);
		renderer->BeginFrame();
		renderer->UpdateCameraMatrices();
		if (model != nullptr)
			model->Render(placement);
		return ReadLayerRect(*renderer, Renderer::kLayerScene, 0, 0, kWindowWidth, kWindowHeight);
	}
	// How many pixels of the picture differ from the other.
	static size_t Differing(const std::vector<uint8_t> &a, const std::vector<uint8_t> &b)
	{
		size_t count = 0;
		for (size_t p = 0; p + 3 < a.size() && p + 3 < b.size(); p += 4)
			count += std::memcmp(&a[p], &b[p], 4) != 0 ? 1 : 0;
		return count;
	}

	Camera camera;
	std::vector<uint8_t> blank;
	TempFolder folder;
};

} // namespace

TEST_F(ModelPictures, ADeadBodyAtEachScreenEdgeIsDrawnWhileAnyOfItShows)
{
	constexpr float kBodyScale = 0.35f;
	constexpr float kCoarseStep = 0.2f; // world units the body moves outward at a time
	constexpr int kFineSteps = 25;      // tries within the last coarse step where it still showed
	Model3D body;
	ASSERT_TRUE(body.Load(kHumanoidFile, kHumanoidFile, kBodyScale));
	body.SetMaterial("models/blacksmith.png", "shaders/actor.dsh");
	ModelAnimation *die = body.FindAnimation("Die");
	ASSERT_NE(nullptr, die);
	body.SetAnimation(die, (float)die->frameCount); // long past the end: held on the last frame
	body.Update(0.0f);

	const Vec3 right = camera.transform.GetRight();
	const Vec3 up = camera.transform.GetUp();
	const struct {
		const char *edge;
		Vec3 outward;
	} edges[] = {{"left", -right}, {"right", right}, {"top", up}, {"bottom", -up}};
	for (const auto &edge : edges) {
		// Lying across the edge and along it.
		for (int quarter = 0; quarter < 2; quarter++) {
			SCOPED_TRACE(std::string(edge.edge) + ", turned " + std::to_string(quarter) + " quarters");
			auto placed = [&](float distance) {
				return glm::rotate(glm::translate(glm::mat4(1.0f), edge.outward * distance),
					quarter * glm::half_pi<float>(), Vec3(0.0f, 1.0f, 0.0f));
			};
			// Out from the middle until nothing of the body shows; every picture
			// on the way, and finely over the last stretch where some showed,
			// must be the same culled as not.
			float last = -1.0f;
			size_t fewest = SIZE_MAX; // pixels of the body at its last showing
			for (float distance = 0.0f; distance < 20.0f; distance += kCoarseStep) {
				const std::vector<uint8_t> plain = Draw(&body, placed(distance), false);
				const size_t shown = Differing(plain, blank);
				if (shown == 0)
					break;
				ASSERT_EQ(0u, Differing(plain, Draw(&body, placed(distance), true))) << "at " << distance;
				last = distance;
				fewest = shown;
			}
			ASSERT_GE(last, 0.0f) << "the body never showed";
			for (int step = 1; step <= kFineSteps; step++) {
				const float distance = last + kCoarseStep * step / kFineSteps;
				const std::vector<uint8_t> plain = Draw(&body, placed(distance), false);
				const size_t shown = Differing(plain, blank);
				if (shown > 0)
					fewest = std::min(fewest, shown);
				EXPECT_EQ(0u, Differing(plain, Draw(&body, placed(distance), true)))
					<< shown << " pixels of the body show at " << distance;
			}
			EXPECT_LT(fewest, 100u) << "the fine steps never reached the edge of the view";
		}
	}
}

// A model out of view poses only its joints; when it comes back into view its
// skin is built as it is drawn. That late skin must be the one an update
// would have built, and must leave the joints that every instance of the
// file shares (held items are placed by them) as the last update left them.
TEST_F(ModelPictures, ASkinBuiltLateMatchesTheUpdatesAndLeavesTheSharedJoints)
{
	Model3D late, other, plain;
	for (Model3D *model : {&late, &other, &plain})
		ASSERT_TRUE(model->Load(kHumanoidFile, kHumanoidFile, 1.0f));
	ASSERT_EQ(late.GetReader(), other.GetReader());
	for (Model3D *model : {&late, &plain})
		model->SetAnimation(model->FindAnimation("StrikeFore"), 0.1f);
	other.SetAnimation(other.FindAnimation("Run"), 0.4f);
	const ModelJoint *hand = other.FindJoint("B_Weapon.L");
	ASSERT_NE(nullptr, hand);

	late.Render(glm::translate(glm::mat4(1.0f), Vec3(0.0f, -500.0f, 0.0f))); // far below the view
	ASSERT_TRUE(late.WasOutOfView());
	plain.Update(kFrameTime);
	late.Update(kFrameTime);
	other.Update(kFrameTime);
	const Transform jointsAfterUpdates = hand->transform;
	late.Render(glm::mat4(1.0f));
	ASSERT_FALSE(late.WasOutOfView());

	EXPECT_EQ(plain.GetMesh()->GetPositions(), late.GetMesh()->GetPositions());
	EXPECT_EQ(plain.GetMesh()->GetNormals(), late.GetMesh()->GetNormals());
	EXPECT_EQ(jointsAfterUpdates.position, hand->transform.position);
	EXPECT_EQ(jointsAfterUpdates.rotation, hand->transform.rotation);
}

namespace {

// A world object that, as the plants do, sets its material's colour just
// before its model draws; several share one material.
class TintedModel : public Entity {
public:
	TintedModel(Model3D &model, const glm::vec3 &colour, const Vec3 &place) : model(model), colour(colour), place(place) {}
	void Render() override
	{
		model.GetMaterial().Get()->SetColor(colour);
		model.Render(glm::translate(glm::mat4(1.0f), place));
	}

private:
	Model3D &model;
	glm::vec3 colour;
	Vec3 place;
};

} // namespace

// The scene draws each model at once, in list order, with the values it has
// when it draws: plants that share a material keep the colours they set, and
// a flame listed before the crate behind it is covered by the crate.
TEST_F(ModelPictures, TheSceneDrawsEachModelAtOnceInListOrder)
{
	const std::string white = folder.Path("white.png");
	ASSERT_TRUE(WriteWhiteTexture(white));
	Model3D greenCrate, redCrate, blueCrate, flame;
	for (Model3D *crate : {&greenCrate, &redCrate, &blueCrate}) {
		ASSERT_TRUE(crate->LoadSimple("models/crate.iqm", 1.0f));
		crate->SetMaterial(white.c_str(), "shaders/standard.dsh"); // one material for all three
	}
	ASSERT_TRUE(flame.LoadSimple("models/fireflame.iqm", 2.0f));
	flame.SetMaterial("mats/fire.png", "shaders/fire.dsh");
	MeshRenderer::SetClock(&StillClock);

	TintedModel green(greenCrate, glm::vec3(0.0f, 1.0f, 0.0f), Vec3(-1.5f, 0.0f, 0.0f));
	TintedModel red(redCrate, glm::vec3(1.0f, 0.0f, 0.0f), Vec3(1.5f, 0.0f, 0.0f));
	TintedModel fire(flame, glm::vec3(1.0f, 0.6f, 0.2f), Vec3(0.0f, 0.0f, 1.5f));
	TintedModel behind(blueCrate, glm::vec3(0.0f, 0.0f, 1.0f), Vec3(0.0f, 0.0f, 0.0f));
	auto drawScene = [&](const std::vector<Entity *> &listed) {
		Scene scene;
		scene.state = kSceneActive;
		for (Entity *entity : listed)
			scene.AddEntity(entity);
		scene.Update(0.0f); // started, so drawn
		renderer->BeginFrame();
		renderer->UpdateCameraMatrices();
		scene.Render();
		return ReadLayerRect(*renderer, Renderer::kLayerScene, 0, 0, kWindowWidth, kWindowHeight);
	};
	const std::vector<uint8_t> plants = drawScene({&green, &red});
	const glm::mat4 view = renderer->GetMatrix(0);
	auto pixelAt = [&](const std::vector<uint8_t> &picture, const Vec3 &place) {
		const glm::vec4 clip = view * glm::vec4(place + Vec3(0.0f, 0.5f, 0.0f), 1.0f);
		const int x = (int)((clip.x / clip.w * 0.5f + 0.5f) * kWindowWidth);
		const int y = (int)((0.5f - clip.y / clip.w * 0.5f) * kWindowHeight);
		const uint8_t *p = &picture[((size_t)y * kWindowWidth + x) * 4];
		return glm::ivec3(p[0], p[1], p[2]);
	};
	const glm::ivec3 left = pixelAt(plants, Vec3(-1.5f, 0.0f, 0.0f));
	const glm::ivec3 right = pixelAt(plants, Vec3(1.5f, 0.0f, 0.0f));
	EXPECT_GT(left.g, 100);
	EXPECT_EQ(0, left.r);
	EXPECT_GT(right.r, 100);
	EXPECT_EQ(0, right.g);

	// Wherever the crate is drawn, it is drawn over the flame.
	const std::vector<uint8_t> crateAlone = drawScene({&behind});
	const std::vector<uint8_t> flameAlone = drawScene({&fire});
	const std::vector<uint8_t> both = drawScene({&fire, &behind});
	size_t crate = 0, overlap = 0, flameShowing = 0;
	for (size_t p = 0; p < both.size(); p += 4) {
		if (std::memcmp(&crateAlone[p], &blank[p], 4) == 0)
			continue;
		crate++;
		overlap += std::memcmp(&flameAlone[p], &blank[p], 4) != 0 ? 1 : 0;
		flameShowing += std::memcmp(&both[p], &crateAlone[p], 4) != 0 ? 1 : 0;
	}
	MeshRenderer::SetClock(nullptr);
	EXPECT_GT(overlap, 100u) << "the flame stands in front of the crate";
	EXPECT_EQ(0u, flameShowing) << "of " << crate << " pixels of the crate";
}
