#include "engine/render/DrawBatch.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/core/Camera.h"
#include "engine/render/Model3D.h"
#include "engine/render/Renderer.h"
#include "support/SharedRenderer.h"
#include "support/WindowPixels.h"

namespace {

// A crowd the way the world draws one: each person is a shadow blob, then a
// skinned body, then a held sword, interleaved person by person, on three
// kinds of body and two tints; some stand close enough to overlap.
struct Person {
	const char *model;
	const char *texture;
	Vec3 place;
	float turn; // radians about Y
	glm::vec3 tint;
};
const Person kCrowd[] = {
	{"models/blacksmith.iqm", "models/blacksmith.png", Vec3(-2.0f, 0.0f, 0.0f), 0.0f, glm::vec3(1.0f)},
	{"models/ogre.iqm", "models/ogre.png", Vec3(-1.4f, 0.0f, 0.4f), 1.0f, glm::vec3(1.0f)},
	{"models/blacksmith.iqm", "models/blacksmith.png", Vec3(-0.5f, 0.0f, -0.3f), 2.0f, glm::vec3(1.0f, 0.4f, 0.4f)},
	{"models/minion.iqm", "models/minion.png", Vec3(0.0f, 0.0f, 0.5f), 3.0f, glm::vec3(1.0f)},
	{"models/ogre.iqm", "models/ogre.png", Vec3(0.6f, 0.0f, 0.0f), 4.0f, glm::vec3(1.0f)},
	{"models/blacksmith.iqm", "models/blacksmith.png", Vec3(1.3f, 0.0f, 0.3f), 5.0f, glm::vec3(1.0f)},
	{"models/minion.iqm", "models/minion.png", Vec3(2.0f, 0.0f, -0.2f), 0.5f, glm::vec3(1.0f)},
};
constexpr float kBodyScale = 0.35f;
constexpr int kPictureWidth = 600;
constexpr int kPictureHeight = 360;

class DrawBatchPicture : public SharedRendererTest {
protected:
	void SetUp() override
	{
		SharedRendererTest::SetUp();
		if (IsSkipped())
			return;
		camera.transform.position = Vec3(0.0f, 2.5f, 4.5f);
		camera.transform.rotation = LookRotation(Vec3(0.0f, -0.45f, -1.0f), Vec3(0.0f, 1.0f, 0.0f));
		Camera::SetCurrent(&camera);
		for (const Person &person : kCrowd) {
			auto body = std::make_unique<Model3D>();
			ASSERT_TRUE(body->Load(person.model, "models/blacksmith.iqm", kBodyScale)) << person.model;
			body->SetMaterial(person.texture, "shaders/actor.dsh");
			body->SetAnimation(body->FindAnimation("Run"), 0.3f);
			body->Update(0.0f);
			body->SetColour(person.tint);
			auto shadow = std::make_unique<Model3D>();
			ASSERT_TRUE(shadow->LoadSimple("models/shadow.iqm", 1.0f));
			shadow->SetMaterial("mats/smask-circ.png", "shaders/shadow.dsh");
			shadow->SetUnderlay(true);
			auto sword = std::make_unique<Model3D>();
			ASSERT_TRUE(sword->LoadSimple("models/swordsword.iqm", 0.5f));
			sword->SetMaterial("models/sword.png", "shaders/standard.dsh");
			bodies.push_back(std::move(body));
			shadows.push_back(std::move(shadow));
			swords.push_back(std::move(sword));
		}
	}

	// The scene layer after drawing the crowd, with the batch open or not.
	std::vector<uint8_t> DrawCrowd(bool batched)
	{
		renderer->BeginFrame();
		renderer->UpdateCameraMatrices();
		DrawBatch &batch = renderer->GetDrawBatch();
		if (batched)
			batch.Open();
		for (size_t i = 0; i < bodies.size(); i++) {
			const Person &person = kCrowd[i];
			const glm::mat4 placement = glm::rotate(glm::translate(glm::mat4(1.0f), person.place), person.turn,
				Vec3(0.0f, 1.0f, 0.0f));
			shadows[i]->Render(glm::translate(glm::mat4(1.0f), person.place + Vec3(0.0f, 0.01f, 0.0f)));
			bodies[i]->Render(placement);
			swords[i]->Render(glm::translate(placement, Vec3(0.3f, 0.4f, 0.0f)));
		}
		if (batched) {
			EXPECT_EQ(3 * bodies.size(), batch.GetQueuedCount());
			batch.Close();
		}
		EXPECT_EQ(0u, batch.GetQueuedCount());
		return ReadLayerRect(*renderer, Renderer::kLayerScene, 0, 0, kPictureWidth, kPictureHeight);
	}

	Camera camera;
	std::vector<std::unique_ptr<Model3D>> bodies, shadows, swords;
};

} // namespace

TEST_F(DrawBatchPicture, TheCrowdLooksTheSameDrawnGroupedAsDrawnOneByOne)
{
	const std::vector<uint8_t> single = DrawCrowd(false);
	const std::vector<uint8_t> grouped = DrawCrowd(true);
	ASSERT_EQ(single.size(), grouped.size());
	size_t drawn = 0, differing = 0;
	for (size_t p = 0; p < single.size(); p += 4) {
		if (single[p + 3] != 0)
			drawn++;
		for (size_t c = 0; c < 4; c++)
			if (std::abs((int)single[p + c] - (int)grouped[p + c]) > 2) {
				differing++;
				break;
			}
	}
	// The crowd fills a good part of the picture...
	EXPECT_GT(drawn, (size_t)(kPictureWidth * kPictureHeight / 50));
	// ...and the two pictures differ only in a few pixels: vertices moved to
	// world space before the projection rather than with it may move an edge
	// pixel, and a foot sunk below a neighbour's shadow blob is no longer
	// darkened by it when that neighbour comes later in the crowd.
	EXPECT_LT(differing, drawn / 200) << differing << " of " << drawn << " drawn pixels differ";
}

TEST_F(DrawBatchPicture, OnlyDepthTestedModelsWaitAndOtherDrawsGoAfterThem)
{
	DrawBatch &batch = renderer->GetDrawBatch();
	renderer->BeginFrame();
	renderer->UpdateCameraMatrices();
	Model3D flat;
	ASSERT_TRUE(flat.LoadSimple("models/shadow.iqm", 1.0f));
	flat.SetMaterial("mats/smask-circ.png", "shaders/sprite.dsh"); // drawn without depth

	// Closed, nothing waits.
	bodies[0]->Render(glm::mat4(1.0f));
	EXPECT_EQ(0u, batch.GetQueuedCount());

	batch.Open();
	bodies[0]->Render(glm::mat4(1.0f));
	shadows[0]->Render(glm::mat4(1.0f));
	EXPECT_EQ(2u, batch.GetQueuedCount());
	// A depthless model is drawn at once, after what waited.
	flat.Render(glm::mat4(1.0f));
	EXPECT_EQ(0u, batch.GetQueuedCount());
	// So is whatever waited when the draw buffer changes.
	bodies[1]->Render(glm::mat4(1.0f));
	EXPECT_EQ(1u, batch.GetQueuedCount());
	renderer->SetDrawBuffer(Renderer::kLayerInterface);
	EXPECT_EQ(0u, batch.GetQueuedCount());
	renderer->SetDrawBuffer(Renderer::kLayerScene);
	batch.Close();
	EXPECT_FALSE(batch.IsOpen());
}

TEST_F(DrawBatchPicture, AModelOutOfViewIsNotDrawnAndItsSkinWaitsUntilItIsSeen)
{
	renderer->BeginFrame();
	renderer->UpdateCameraMatrices();
	Model3D &seen = *bodies[0];
	Model3D &hidden = *bodies[5]; // the same body, the same run, the same clock
	const Mesh &hiddenMesh = *hidden.GetMesh();
	const glm::mat4 inView(1.0f);
	const glm::mat4 behindTheCamera = glm::translate(glm::mat4(1.0f), Vec3(0.0f, 0.0f, 50.0f));

	hidden.Render(behindTheCamera);
	EXPECT_TRUE(hidden.WasOutOfView());
	EXPECT_EQ(0u, renderer->GetDrawBatch().GetQueuedCount());
	const uint64_t skinBefore = hiddenMesh.GetVersion(kMeshPositions);
	for (int frame = 0; frame < 5; frame++) {
		seen.Update(1.0f / 60.0f);
		hidden.Update(1.0f / 60.0f);
		seen.Render(inView);
		EXPECT_FALSE(seen.WasOutOfView());
	}
	EXPECT_EQ(skinBefore, hiddenMesh.GetVersion(kMeshPositions)) << "a model out of view was skinned";
	EXPECT_NE(seen.GetMesh()->GetPositions(), hiddenMesh.GetPositions());

	// Back in view it shows the pose of its latest update at once.
	hidden.Render(inView);
	EXPECT_FALSE(hidden.WasOutOfView());
	EXPECT_EQ(seen.GetMesh()->GetPositions(), hiddenMesh.GetPositions());
	EXPECT_EQ(seen.GetMesh()->GetNormals(), hiddenMesh.GetNormals());
}
