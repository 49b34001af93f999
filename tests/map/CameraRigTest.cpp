#include "map/CameraRig.h"

#include "engine/core/ActiveSequence.h"
#include "engine/core/Camera.h"
#include "engine/core/Entity.h"
#include "engine/core/Sequence.h"
#include "map/TileMap.h"
#include "support/ExpectVec.h"
#include "support/SharedRenderer.h"
#include "support/MissingDevice.h"
#include "support/RecordingMapLink.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

constexpr float kFrame = 1.0f / 60.0f;
constexpr int kSettleFrames = 600; // long enough for every easing to arrive
const Vec3 kMapMiddle(100.0f, 0.0f, 100.0f);

// The game's mode is 2 in the chook game, whose view is fixed.
constexpr int kChookGameMode = 2;

// A HUD whose message box the test opens and closes.
class FakeHud : public RecordingMapLink {
public:
	void Show(bool visible, bool isSpeech)
	{
		messages.push_back({isSpeech ? "speaker" : "", "text", kKindMessage, isSpeech});
		messageVisible = visible;
	}
};

// An active sequence that names the entity it is about.
class SourceSequence : public Sequence {
public:
	explicit SourceSequence(Entity *source) : source(source) {}
	void Start() override { state = kStateWaiting; }
	Entity *GetSourceEntity() override { return source; }

private:
	Entity *source;
};

class CameraRigTest : public testing::Test {
protected:
	void SetUp() override
	{
		// 100 by 100 tiles of 2 units: x and z run from -1 to 199.
		TileMapData &data = map.GetMapData();
		data.width = 100;
		data.height = 100;
		MapTile ground;
		ground.kind = 1;
		ground.level = 1;
		ground.secondLevel = 1;
		data.tiles.assign(100 * 100, ground);
		player.transform.position = kMapMiddle;
	}
	void TearDown() override
	{
		EndActiveSequence();
		Camera::SetCurrent(nullptr);
	}
	void Settle(int frames = kSettleFrames)
	{
		for (int i = 0; i < frames; i++)
			rig.Update(kFrame);
	}

	Camera camera;
	Entity player;
	TileMap map;
	CameraRig rig;
};

}

TEST_F(CameraRigTest, RestingViewLooksDownFromTheZoomDistance)
{
	const struct {
		float zoom;
		Vec3 offset;
	} rows[] = {
		{ 1.0f, Vec3(0.0f, 20.0f, 20.0f) },
		{ 2.0f, Vec3(0.0f, 10.0f, 10.0f) },
		{ 0.5f, Vec3(0.0f, 40.0f, 40.0f) },
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.zoom);
		map.GetMapData().zoom = row.zoom;
		rig.Attach(&camera, &player, &map);
		Settle();
		ExpectVecNear(row.offset, rig.GetOffset(), 1e-3f);
		ExpectVecNear(kMapMiddle, rig.GetFocus(), 1e-3f); // the middle of a big map is never held back
		ExpectVecNear(kMapMiddle + row.offset, camera.transform.position, 1e-3f);
		ExpectVecNear(glm::normalize(Vec3(0.0f, -1.0f, -1.0f)), camera.transform.GetForward(), 1e-4f);
	}
	EXPECT_EQ(Camera::Get(), &camera);
	EXPECT_EQ(camera.fieldOfView, 30);
	EXPECT_FALSE(rig.IsFixedView());
}

TEST_F(CameraRigTest, FocusLagsBehindThePlayerOnTheGround)
{
	const struct {
		float dt;
		float share; // of the way to the player covered in one update
	} rows[] = {
		{ kFrame, 0.06f },
		{ 2.0f * kFrame, 1.0f - 0.94f * 0.94f },
		{ 0.0f, 0.0f },
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.dt);
		player.transform.position = kMapMiddle;
		rig.Attach(&camera, &player, &map);
		player.transform.position = kMapMiddle + Vec3(10.0f, 3.0f, 0.0f);
		rig.Update(row.dt);
		Vec3 expected = kMapMiddle + Vec3(10.0f * row.share, 0.0f, 0.0f);
		ExpectVecNear(expected, rig.GetFocus(), 1e-4f);
		ASSERT_TRUE(camera.HasPosition());
		ExpectVecNear(expected, camera.GetPosition(), 1e-4f); // sounds are heard from the focus
	}
}

TEST_F(CameraRigTest, MessagesPullTheCameraIn)
{
	Entity speaker;
	speaker.transform.position = Vec3(110.0f, 2.0f, 95.0f);
	const struct {
		const char *label;
		bool visible, isSpeech, hasSource;
		uint32_t closeUp;
		Vec3 offset, focus;
	} rows[] = {
		{ "no message", false, false, true, CameraRig::kCloseUpNone, Vec3(0, 20, 20), kMapMiddle },
		{ "a message closes in on the player", true, false, true, CameraRig::kCloseUpMessage, Vec3(0, 15, 15), kMapMiddle },
		{ "speech closes in on the speaker", true, true, true, CameraRig::kCloseUpSpeech, Vec3(0, 9.75f, 13), speaker.transform.position },
		{ "speech without a source stays on the player", true, true, false, CameraRig::kCloseUpSpeech, Vec3(0, 9.75f, 13), kMapMiddle },
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.label);
		FakeHud hud;
		SetActiveSequence(new SourceSequence(row.hasSource ? &speaker : nullptr));
		rig.Attach(&camera, &player, &map);
		hud.Show(row.visible, row.isSpeech);
		Settle();
		EXPECT_EQ(rig.GetCloseUp(), row.closeUp);
		ExpectVecNear(row.offset, rig.GetOffset(), 1e-3f);
		ExpectVecNear(row.focus, rig.GetFocus(), 1e-3f);
		// The choice holds while the box stays open, whatever it shows now.
		hud.Show(row.visible, !row.isSpeech);
		rig.Update(kFrame);
		EXPECT_EQ(rig.GetCloseUp(), row.closeUp);
		// Once it closes the view goes back to following the player.
		hud.Show(false, false);
		Settle();
		EXPECT_EQ(rig.GetCloseUp(), CameraRig::kCloseUpNone);
		ExpectVecNear(Vec3(0, 20, 20), rig.GetOffset(), 1e-3f);
		ExpectVecNear(kMapMiddle, rig.GetFocus(), 1e-3f);
		EndActiveSequence();
	}
}

TEST_F(CameraRigTest, ViewStaysInsideTheMap)
{
	// Margin 0.45 x 20 = 9 from the map's edges at -1 and 199; the test point
	// lies 1.5 north of the focus.
	const struct {
		const char *label;
		Vec3 playerAt, focus;
	} rows[] = {
		{ "middle", kMapMiddle, kMapMiddle },
		{ "north-west corner", Vec3(0.0f, 0.0f, 0.0f), Vec3(8.0f, 0.0f, 9.5f) },
		{ "south-east corner", Vec3(198.0f, 0.0f, 198.0f), Vec3(190.0f, 0.0f, 191.5f) },
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.label);
		player.transform.position = row.playerAt;
		rig.Attach(&camera, &player, &map);
		Settle();
		ExpectVecNear(row.focus, rig.GetFocus(), 1e-3f);
		EXPECT_NEAR(rig.GetBoundsBlend(), 1.0f, 1e-5f);
	}
	// A message lets go of the bounds, and the focus eases onto the player.
	FakeHud hud;
	hud.Show(true, false);
	Settle();
	EXPECT_NEAR(rig.GetBoundsBlend(), 0.0f, 1e-5f);
	ExpectVecNear(Vec3(198.0f, 0.0f, 198.0f), rig.GetFocus(), 1e-2f);
}

TEST_F(CameraRigTest, TheChookGameGivesTheFixedDiagonalView)
{
	const struct {
		const char *label;
		int mode;
		bool fixed;
	} rows[] = {
		{ "the plain game", 0, false },
		{ "the original content's rules", 1, false },
		{ "the chook game", kChookGameMode, true },
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.label);
		RecordingMapLink game;
		game.mode = row.mode;
		rig.Attach(&camera, &player, &map);
		Settle(1);
		EXPECT_EQ(rig.IsFixedView(), row.fixed);
		EXPECT_EQ(camera.fieldOfView, row.fixed ? 15 : 30);
		if (row.fixed)
			ExpectVecNear(kMapMiddle + Vec3(-30.0f, 30.0f, 30.0f), camera.transform.position, 1e-4f);
	}
}

TEST_F(CameraRigTest, OrthographicModesFollowWithoutLagAndSetTheFixedMode)
{
	std::string whyNot;
	Renderer *renderer = SharedStartedRenderer(whyNot);
	if (renderer == nullptr)
		SKIP_FOR_MISSING_DEVICE() << whyNot;
	uint8_t ortho = 0;
	for (uint8_t mode = 1; mode < renderer->GetPostModeCount() && ortho == 0; mode++)
		if (renderer->IsPostModeOrtho(mode))
			ortho = mode;
	ASSERT_NE(ortho, 0) << "the data tree has an orthographic post mode";
	renderer->SetPostModeIndex(ortho);
	ASSERT_TRUE(renderer->IsCurrentPostModeOrtho());

	FakeHud hud;
	hud.Show(true, true); // changes nothing in an orthographic view
	rig.Attach(&camera, &player, &map);
	player.transform.position = kMapMiddle + Vec3(10.0f, 3.0f, 4.0f);
	rig.Update(kFrame);
	ExpectVecNear(kMapMiddle + Vec3(10.0f, 0.0f, 4.0f), rig.GetFocus(), 1e-4f);
	// At a corner the bounds hold the focus 10 inside, once fully blended.
	player.transform.position = Vec3(0.0f, 0.0f, 0.0f);
	Settle();
	EXPECT_EQ(rig.GetCloseUp(), CameraRig::kCloseUpNone);
	ExpectVecNear(Vec3(0, 20, 20), rig.GetOffset(), 1e-3f);
	ExpectVecNear(Vec3(9.0f, 0.0f, 10.5f), rig.GetFocus(), 1e-3f);

	hud.mode = kChookGameMode;
	rig.Attach(&camera, &player, &map);
	EXPECT_EQ(renderer->GetPostModeIndex(), 5);
	renderer->SetPostModeIndex(0);
}
