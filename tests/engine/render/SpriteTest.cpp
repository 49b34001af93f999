#include "engine/render/Sprite.h"

#include <SDL.h>
#include <SDL_image.h>
#include <glad/gl.h>
#include <glm/gtc/quaternion.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "engine/core/Camera.h"
#include "engine/render/Renderer.h"
#include "support/ExpectVec.h"
#include "support/SharedRenderer.h"
#include "support/TempFolder.h"
#include "support/WindowPixels.h"

namespace {

constexpr int kColorTolerance = 3; // 8-bit steps of rounding the GPU may add
constexpr float kLogicalWidth = 600.0f;
constexpr float kLogicalHeight = 360.0f;

using Rgba = glm::ivec4;
const Rgba kRed(255, 0, 0, 255);
const Rgba kGreen(0, 255, 0, 255);
const Rgba kBlue(0, 0, 255, 255);
const Rgba kWhite(255, 255, 255, 255);
const Rgba kNothing(0, 0, 0, 0); // the interface layer where nothing was drawn

// A PNG of the given pixels, rows from the top.
void WritePng(const std::string &path, int width, int height, const std::vector<Rgba> &pixels)
{
	SDL_Surface *surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ABGR8888);
	for (int y = 0; y < height; y++)
		for (int x = 0; x < width; x++) {
			const Rgba &p = pixels[(size_t)(y * width + x)];
			uint8_t *at = (uint8_t *)surface->pixels + y * surface->pitch + x * 4;
			at[0] = (uint8_t)p.r;
			at[1] = (uint8_t)p.g;
			at[2] = (uint8_t)p.b;
			at[3] = (uint8_t)p.a;
		}
	ASSERT_EQ(IMG_SavePNG(surface, path.c_str()), 0) << SDL_GetError();
	SDL_FreeSurface(surface);
}

class SpriteGL : public SharedRendererTest {
protected:
	void SetUp() override
	{
		SharedRendererTest::SetUp();
		if (IsSkipped())
			return;
		camera.clearColor = Vec3(0.0f);
		camera.transform.position = Vec3(0.0f, 0.0f, 10.0f); // looking down -Z at the origin
		Camera::SetCurrent(&camera);
	}
	void TearDown() override
	{
		if (renderer != nullptr)
			renderer->Resize((uint32_t)kLogicalWidth, (uint32_t)kLogicalHeight);
		SharedRendererTest::TearDown();
	}

	// The frame step's drawing up to the interface: two frame begins, the
	// camera, then the interface layer selected.
	void BeginInterface(uint32_t width, uint32_t height)
	{
		renderer->Resize(width, height);
		renderer->BeginFrame();
		renderer->BeginFrame();
		renderer->UpdateCameraMatrices();
		renderer->SetDrawBuffer(Renderer::kLayerInterface);
	}

	// A pixel of the interface layer, counted from the top left in pixels.
	Rgba LayerPixel(float x, float y) const
	{
		return ReadLayerPixel(*renderer, Renderer::kLayerInterface, (int)x, (int)y);
	}

	// Red, green and blue of the window's pixel after the frame, counted
	// from the top left; alpha reads 0 so the rows compare as colours.
	static Rgba WindowPixel(float x, float y)
	{
		Rgba pixel = ReadWindowPixel((int)kLogicalHeight, (int)x, (int)y);
		pixel.a = 0;
		return pixel;
	}

	// Where a point of the 600 x 360 logical screen lands in a window of
	// the given size: the largest centred box of that shape.
	static glm::vec2 ToWindow(glm::vec2 logical, float width, float height)
	{
		float scale = std::min(width / kLogicalWidth, height / kLogicalHeight);
		glm::vec2 origin((width - kLogicalWidth * scale) * 0.5f, (height - kLogicalHeight * scale) * 0.5f);
		return origin + logical * scale;
	}

	static void ExpectColor(const Rgba &actual, const Rgba &expected, const std::string &where)
	{
		SCOPED_TRACE(where);
		for (int c = 0; c < 4; c++)
			EXPECT_NEAR(actual[c], expected[c], kColorTolerance) << "channel " << c;
	}

	// A 2 x 2 picture: red, green on top; blue, white below.
	std::string QuadrantTexture()
	{
		std::string path = folder.Path("quadrants.png");
		WritePng(path, 2, 2, {kRed, kGreen, kBlue, kWhite});
		return path;
	}

	Camera camera;
	TempFolder folder;
};

}

// ---------------------------------------------------------------------------
// Without a context: cells, pivot, matrix.

TEST(Sprite, FramesSelectTheirCellOfTheSheet)
{
	struct Row {
		const char *name;
		bool byIndex;
		uint8_t a, b, columns, rows; // column and row, or index and unused
		glm::vec4 rect;				 // top, right, bottom, left
	};
	const Row rows[] = {
		{"column 1 of 4, row 0 of 2", false, 1, 0, 4, 2, {0, 0.5f, 0.5f, 0.25f}},
		{"index 5 of 4 x 2 is column 1 of row 1", true, 5, 0, 4, 2, {0.5f, 0.5f, 1, 0.25f}},
		{"no columns or rows is the whole picture", false, 0, 0, 0, 0, {0, 1, 1, 0}},
		{"index 0 with no columns or rows", true, 0, 0, 0, 0, {0, 1, 1, 0}},
		{"last cell of 3 x 3", true, 8, 0, 3, 3, {2 / 3.0f, 1, 1, 2 / 3.0f}},
		{"index 3 of a single row of 3 wraps down", true, 3, 0, 3, 1, {1, 1 / 3.0f, 2, 0}},
		{"column and row past the sheet", false, 5, 2, 4, 2, {1, 1.5f, 1.5f, 1.25f}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Sprite sprite;
		if (row.byIndex)
			sprite.SetFrameIndex(row.a, row.columns, row.rows);
		else
			sprite.SetFrame(row.a, row.b, row.columns, row.rows);
		glm::vec4 rect = sprite.GetUVRect();
		for (int i = 0; i < 4; i++)
			EXPECT_FLOAT_EQ(rect[i], row.rect[i]) << "edge " << i;
		EXPECT_TRUE(sprite.IsChanged());
		sprite.ResetFrame();
		EXPECT_EQ(sprite.GetUVRect(), glm::vec4(0, 1, 1, 0));
	}
}

TEST(Sprite, SettersClampThePivotAndFlagOnlyPictureChanges)
{
	struct Row {
		const char *name;
		void (*set)(Sprite &);
		bool changes;
	};
	const Row rows[] = {
		{"colour", [](Sprite &s) { s.SetColor(glm::vec3(0.5f)); }, true},
		{"UV rectangle", [](Sprite &s) { s.SetUVRect(0, 1, 1, 0); }, true},
		{"size", [](Sprite &s) { s.SetSize(3, 4); }, false},
		{"pivot", [](Sprite &s) { s.SetPivot(glm::vec2(0.5f)); }, false},
		{"draw mode", [](Sprite &s) { s.SetDrawMode(0); }, false},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Sprite sprite;
		row.set(sprite);
		EXPECT_EQ(sprite.IsChanged(), row.changes);
	}

	Sprite sprite;
	const std::pair<glm::vec2, glm::vec2> pivots[] = {
		{{2, -1}, {1, 0}}, {{0.25f, 0.75f}, {0.25f, 0.75f}}, {{-3, 1.5f}, {0, 1}}};
	for (const auto &[given, stored] : pivots) {
		sprite.SetPivot(given);
		EXPECT_EQ(sprite.GetPivot(), stored);
	}
}

TEST(Sprite, ModelMatrixPutsThePivotOnThePosition)
{
	struct Row {
		const char *name;
		glm::vec3 position, scale;
		float turnDegrees; // about +Z
		glm::vec2 size, pivot;
		glm::vec3 corner00, corner11; // where the unit quad's corners land
	};
	const Row rows[] = {
		{"corner pivot", {100, 50, 0}, {1, 1, 1}, 0, {40, 20}, {0, 0}, {100, 50, 0}, {140, 70, 0}},
		{"centre pivot", {10, 20, 0}, {1, 1, 1}, 0, {40, 20}, {0.5f, 0.5f}, {-10, 10, 0}, {30, 30, 0}},
		{"far corner pivot", {10, 20, 0}, {1, 1, 1}, 0, {40, 20}, {1, 1}, {-30, 0, 0}, {10, 20, 0}},
		{"scaled transform", {0, 0, 5}, {2, 3, 1}, 0, {4, 2}, {0.5f, 0}, {-4, 0, 5}, {4, 6, 5}},
		{"turned a quarter", {1, 1, 0}, {1, 1, 1}, 90, {4, 2}, {0, 0}, {1, 1, 0}, {-1, 5, 0}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Sprite sprite;
		sprite.transform.SetPosition(row.position);
		sprite.transform.SetScale(row.scale);
		sprite.transform.SetRotation(glm::angleAxis(glm::radians(row.turnDegrees), glm::vec3(0, 0, 1)));
		sprite.SetSize(row.size.x, row.size.y);
		sprite.SetPivot(row.pivot);
		glm::mat4 matrix = sprite.GetModelMatrix();
		ExpectVecNear(row.corner00, glm::vec3(matrix * glm::vec4(0, 0, 0, 1)), 1e-4f);
		ExpectVecNear(row.corner11, glm::vec3(matrix * glm::vec4(1, 1, 0, 1)), 1e-4f);
	}
}

// ---------------------------------------------------------------------------
// Drawn by the real renderer on the offscreen driver.

// The sprite lands where its logical rectangle maps into the window, the
// right way up, tinted, whatever the window's size, and in front of a scene
// whose depth covers the whole window at the very front. In a window of the
// logical size it is then read back from the window after the post pass.
TEST_F(SpriteGL, DrawsItsPictureAtItsPlaceOnTheLogicalScreen)
{
	const std::string texture = QuadrantTexture();
	struct Row {
		const char *name;
		uint32_t width, height;
		glm::vec2 position, size, pivot;
		glm::vec3 tint;
	};
	const Row rows[] = {
		{"window of the logical size", 600, 360, {100, 50}, {40, 20}, {0, 0}, {1, 1, 1}},
		{"twice the size", 1200, 720, {300, 180}, {60, 60}, {0.5f, 0.5f}, {1, 1, 1}},
		{"wide window, boxed in the middle", 1200, 360, {500, 300}, {80, 40}, {1, 1}, {1, 1, 1}},
		{"tall window, boxed in the middle", 600, 720, {20, 20}, {100, 50}, {0, 0}, {1, 0.5f, 0}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Sprite sprite;
		sprite.SetTexture(texture.c_str());
		EXPECT_EQ(sprite.GetTextureSize(), glm::vec2(2, 2));
		sprite.transform.SetPosition(Vec3(row.position, 0.0f));
		sprite.SetSize(row.size.x, row.size.y);
		sprite.SetPivot(row.pivot);
		sprite.SetColor(row.tint);

		BeginInterface(row.width, row.height);
		glClearDepth(0.0);
		glClear(GL_DEPTH_BUFFER_BIT);
		glClearDepth(1.0);
		sprite.Render();
		EXPECT_EQ(renderer->GetRenderMode(), Renderer::kRenderModeDepthless);
		glm::vec2 topLeft = row.position - row.pivot * row.size;
		auto at = [&](float u, float v) {
			return ToWindow(topLeft + glm::vec2(u, v) * row.size, (float)row.width, (float)row.height);
		};
		auto tinted = [&](const Rgba &c) {
			return Rgba(glm::round(glm::vec3(c) * row.tint), c.a);
		};
		glm::vec2 p = at(0.25f, 0.25f);
		ExpectColor(LayerPixel(p.x, p.y), tinted(kRed), "top left quarter");
		p = at(0.75f, 0.25f);
		ExpectColor(LayerPixel(p.x, p.y), tinted(kGreen), "top right quarter");
		p = at(0.25f, 0.75f);
		ExpectColor(LayerPixel(p.x, p.y), tinted(kBlue), "bottom left quarter");
		p = at(0.75f, 0.75f);
		ExpectColor(LayerPixel(p.x, p.y), tinted(kWhite), "bottom right quarter");
		p = at(-0.1f, 0.5f);
		ExpectColor(LayerPixel(p.x, p.y), kNothing, "left of it");
		p = at(0.5f, 1.1f);
		ExpectColor(LayerPixel(p.x, p.y), kNothing, "below it");
		renderer->EndFrame();

		if (row.width != kLogicalWidth || row.height != kLogicalHeight)
			continue;
		for (const auto &[u, v, color] : {std::tuple{0.25f, 0.25f, kRed}, {0.75f, 0.75f, kWhite}, {-0.1f, 0.5f, kNothing}}) {
			SCOPED_TRACE("window at " + std::to_string(u) + "," + std::to_string(v));
			p = at(u, v);
			ExpectColor(WindowPixel(p.x, p.y), Rgba(color.r, color.g, color.b, 0), "window");
		}
	}
}

// Each sprite writes its cell and tint into the shared material right
// before it draws, so two sprites on one material show different cells.
TEST_F(SpriteGL, SpritesSharingAMaterialEachShowTheirOwnCell)
{
	std::string path = folder.Path("strip.png");
	WritePng(path, 2, 1, {kRed, kGreen});
	Sprite left, right;
	left.SetTexture(path.c_str());
	right.SetTexture(path.c_str());
	ASSERT_EQ(left.GetMaterial().Get(), right.GetMaterial().Get());
	left.SetFrame(0, 0, 2, 1);
	right.SetFrame(1, 0, 2, 1);
	right.SetColor(glm::vec3(0, 0.5f, 0));
	left.transform.SetPosition(Vec3(100, 100, 0));
	right.transform.SetPosition(Vec3(300, 100, 0));
	left.SetSize(50, 50);
	right.SetSize(50, 50);

	BeginInterface(600, 360);
	left.Render();
	right.Render();
	ExpectColor(LayerPixel(125, 125), kRed, "left sprite");
	ExpectColor(LayerPixel(325, 125), Rgba(0, 128, 0, 255), "right sprite");
	renderer->EndFrame();
}

TEST_F(SpriteGL, DrawModeAndMissingMaterialChooseHowItIsDrawn)
{
	struct Row {
		const char *name;
		bool textured;
		uint32_t drawMode;
		glm::vec2 filled, empty; // window pixels from the top left
		Rgba color;
	};
	const Row rows[] = {
		// Two world units wide at the origin, seen from ten units away: a
		// square around the window's centre.
		{"world camera", true, 0, {300, 180}, {20, 20}, kWhite},
		// The renderer's default material marks it in magenta, over the unit
		// square of clip space: the top right quarter of the window.
		{"no material", false, 1, {450, 90}, {150, 270}, Rgba(255, 0, 255, 255)},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Sprite sprite;
		if (row.textured) {
			std::string path = folder.Path("white.png");
			WritePng(path, 1, 1, {kWhite});
			sprite.SetTexture(path.c_str());
		}
		sprite.SetDrawMode(row.drawMode);
		sprite.SetSize(2, 2);
		sprite.SetPivot(glm::vec2(0.5f));
		BeginInterface(600, 360);
		sprite.Render();
		ExpectColor(LayerPixel(row.filled.x, row.filled.y), row.color, "inside");
		ExpectColor(LayerPixel(row.empty.x, row.empty.y), kNothing, "outside");
		renderer->EndFrame();
	}
}
