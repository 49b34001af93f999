// Particle bursts drawn in a real GL context: the billboards stay defined
// whichever way the camera looks at them, and the pools give their GL
// buffers back while the context still exists.
#include "support/GLTestContext.h"

#include "engine/core/Camera.h"
#include "engine/core/Scene.h"
#include "objects/FXParticles.h"
#include "objects/FXSpawner.h"

#include <cmath>
#include <string>

namespace {

class FXParticlesDraw : public GLTestContext {
protected:
	void TearDown() override
	{
		// As at the game's exit: effects go while the context is current.
		FXSpawner::ReleaseAll();
		GLTestContext::TearDown();
	}
};

TEST_F(FXParticlesDraw, BillboardsStayFiniteWithTheCameraAnywhere)
{
	Scene scene;
	scene.state = kSceneActive;
	Entity source;
	source.transform.position = Vec3(2.0f, 0.0f, 3.0f);
	scene.AddEntity(&source);
	auto *dust = dynamic_cast<FXParticles *>(FXSpawner::Spawn(&source, kFXKindDust, Vec3(0.0f)));
	ASSERT_NE(nullptr, dust);
	scene.Update(0.05f);
	Camera *camera = Camera::Get();
	ASSERT_NE(nullptr, camera);
	struct Row {
		const char *what;
		Vec3 eye; // from the effect
	};
	const Row rows[] = {
		{"beside it", Vec3(0.0f, 4.0f, 10.0f)},
		{"straight above", Vec3(0.0f, 10.0f, 0.0f)},
		{"straight below", Vec3(0.0f, -10.0f, 0.0f)},
		{"on it", Vec3(0.0f)},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		camera->transform.position = dust->transform.position + row.eye;
		dust->Render();
		const glm::mat4 &matrix = dust->GetQuadRenderer().GetModel();
		for (int c = 0; c < 4; c++)
			for (int r = 0; r < 4; r++)
				EXPECT_TRUE(std::isfinite(matrix[c][r])) << c << "," << r;
		EXPECT_NE(glm::mat4(1.0f), matrix) << "a particle was drawn";
	}
	scene.RemoveEntity(&source);
}

} // namespace
