// The models, sprites and sounds the effects use, as the build wrote them
// into the data tree, read back the way the game reads them.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "engine/core/FileAccess.h"
#include "engine/render/Mesh.h"
#include "engine/render/Model3D.h"
#include "support/TempFolder.h"

namespace {

TEST(EffectAssets, ModelsLoadWithinTheirSize)
{
	struct Row {
		const char *name;
		float reach; // no vertex lies farther from the model's origin
	};
	const Row rows[] = {
		{"models/fireball.iqm", 0.7f},
		{"models/electric.iqm", 1.0f},
		{"models/chicken.iqm", 1.1f},
		{"models/heart.iqm", 1.0f},
		{"models/splashwave.iqm", 1.42f},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Model3D model;
		ASSERT_TRUE(model.LoadSimple(row.name, 1.0f));
		const Mesh *mesh = model.GetMesh();
		ASSERT_NE(nullptr, mesh);
		ASSERT_GE(mesh->GetVertexCount(), 12u);
		ASSERT_GE(mesh->GetIndexCount(), 12u);
		float farthest = 0.0f;
		for (const glm::vec3 &p : mesh->GetPositions())
			farthest = std::max(farthest, glm::length(p));
		EXPECT_LE(farthest, row.reach);
		EXPECT_GT(farthest, row.reach * 0.4f) << "not a speck";
	}
}

TEST(EffectAssets, TheSplashWaveFlaresUpFromAnOpenRing)
{
	Model3D model;
	ASSERT_TRUE(model.LoadSimple("models/splashwave.iqm", 1.0f));
	float crest = 0.0f;
	for (const glm::vec3 &p : model.GetMesh()->GetPositions())
		crest = std::max(crest, p.y);
	EXPECT_GT(crest, 0.5f) << "a wave that rises, not a flat ring";
	for (const glm::vec3 &p : model.GetMesh()->GetPositions()) {
		EXPECT_GE(p.y, -1e-4f) << "nothing below its foot";
		const float across = std::sqrt(p.x * p.x + p.z * p.z);
		EXPECT_GE(across, 0.59f) << "open in the middle";
		EXPECT_LE(across, 1.01f);
		if (p.y > crest * 0.5f)
			EXPECT_GT(across, 0.8f) << "wider at the crest than at the foot";
		else
			EXPECT_LT(across, 0.8f) << "wider at the crest than at the foot";
	}
}

TEST(EffectAssets, SpritesFadeToClearAtTheRim)
{
	const char *const sprites[] = {"mats/explosion.png", "mats/electroblast.png", "mats/evaporate.png",
		"mats/love.png", "mats/cloud.png", "mats/smoke.png", "mats/clipping.png", "mats/woodchip.png"};
	for (const char *name : sprites) {
		SCOPED_TRACE(name);
		SDL_Surface *loaded = IMG_Load(ResolvePath(name).c_str());
		ASSERT_NE(nullptr, loaded);
		std::unique_ptr<SDL_Surface, void (*)(SDL_Surface *)> rgba(
			SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0), SDL_FreeSurface);
		SDL_FreeSurface(loaded);
		ASSERT_NE(nullptr, rgba);
		auto alpha = [&](int x, int y) { return static_cast<const uint8_t *>(rgba->pixels)[y * rgba->pitch + x * 4 + 3]; };
		EXPECT_GT(alpha(rgba->w / 2, rgba->h / 2), 100);
		EXPECT_LT(alpha(0, 0), 40);
	}
}

TEST(EffectAssets, EverySoundOfTheEffectsIsThere)
{
	const char *const sounds[] = {"sfx/strsw1.wav", "sfx/strsw2.wav", "sfx/strsw3.wav", "sfx/straxe1.wav",
		"sfx/straxe2.wav", "sfx/straxe3.wav", "sfx/strike_key.wav", "sfx/strike_fire.wav",
		"sfx/strike_electric.wav", "sfx/explosion.wav", "sfx/evaporate.wav", "sfx/pickup.wav", "sfx/pickup2.wav",
		"sfx/splash.wav"};
	for (const char *name : sounds) {
		SCOPED_TRACE(name);
		const std::vector<uint8_t> bytes = TempFolder::ReadBytes(ResolvePath(name));
		ASSERT_GT(bytes.size(), 44u + 2000u) << "a header and some sound";
		EXPECT_EQ(0, std::memcmp(bytes.data(), "RIFF", 4));
	}
}

} // namespace
