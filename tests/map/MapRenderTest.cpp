// The home map as the player first sees it: loaded through every phase,
// looked at through the camera rig, drawn through the post pass into the
// window, read back, saved as a picture beside the test binary, and checked
// for the surface that must show at known tiles.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "engine/core/Camera.h"
#include "engine/core/Entity.h"
#include "engine/core/FileAccess.h"
#include "engine/core/Scene.h"
#include "engine/render/Renderer.h"
#include "map/CameraRig.h"
#include "map/TileMap.h"
#include "support/SharedRenderer.h"
#include "support/WindowPicture.h"

namespace {

constexpr int kSample = 5;				// pixels across the square averaged at each point
constexpr float kFrameTime = 1.0f / 60.0f; // seconds
constexpr int kSettleFrames = 180;		// rig updates until its easing has come to rest
constexpr int kMostLoadSteps = 100;		// a load that takes more never ends

// The surfaces of the map as its textures paint them, told apart by hue so
// that the lighting of the ground shader may brighten or darken them.
enum class Surface { Sand, Green, Water, Brown, Grey, Void, Other };

const char *SurfaceName(Surface s)
{
	switch (s) {
	case Surface::Sand: return "sand";
	case Surface::Green: return "green";
	case Surface::Water: return "water";
	case Surface::Brown: return "brown";
	case Surface::Grey: return "grey";
	case Surface::Void: return "void";
	default: return "other";
	}
}

// Thresholds in 8-bit channel steps. Walls turned away from the sun are
// dark, so hues are told apart by ratios as well as by steps.
constexpr int kVoidSum = 40;		// below: nothing drawn (the black clear colour)
constexpr int kSandSum = 360;		// sand is the one bright warm surface
constexpr int kHueMargin = 15;		// a channel this far above another leads
constexpr int kGreySpreadShare = 8; // grey: channels within an eighth of the brightest
constexpr int kGreySpreadSlack = 3;
constexpr int kWarmShare = 4;		// warm: red beats blue by a quarter of red at least

Surface Classify(const Rgb &c)
{
	if (c.Sum() < kVoidSum)
		return Surface::Void;
	if (c.b > c.r + 3 * kHueMargin && c.b > c.g + kHueMargin)
		return Surface::Water;
	if (c.g > c.r + kHueMargin && c.g > c.b + kHueMargin)
		return Surface::Green;
	const int brightest = std::max({c.r, c.g, c.b});
	const int spread = brightest - std::min({c.r, c.g, c.b});
	if (spread <= brightest / kGreySpreadShare + kGreySpreadSlack)
		return Surface::Grey;
	if (c.r >= c.g && c.g > c.b && (c.r - c.b) * kWarmShare >= c.r)
		return c.Sum() >= kSandSum ? Surface::Sand : Surface::Brown;
	return Surface::Other;
}

// A point of the map and the surface that must show there.
struct Check {
	const char *name;
	std::function<Vec3(const TileMap &)> point;
	Surface expected;
};

// The middle of a tile, on its ground.
std::function<Vec3(const TileMap &)> TileMiddle(int16_t x, int16_t y)
{
	return [=](const TileMap &map) { return map.TilePosition(x, y, 0.5f, 0.5f); };
}

// Halfway up the wall on the south side of a tile, down to the ground in
// front of it.
std::function<Vec3(const TileMap &)> SouthWallMiddle(int16_t x, int16_t y)
{
	return [=](const TileMap &map) {
		Vec3 top = map.TilePosition(x, y, 0.5f, 1.0f);
		Vec3 foot = map.TilePosition(x, (int16_t)(y + 1), 0.5f, 0.0f);
		return Vec3(top.x, (top.y + foot.y) * 0.5f, top.z);
	};
}

// Halfway up the wall on the west side of a tile, down to the ground of its
// western neighbour (the low half of a diagonal neighbour).
std::function<Vec3(const TileMap &)> WestWallMiddle(int16_t x, int16_t y)
{
	return [=](const TileMap &map) {
		Vec3 top = map.TilePosition(x, y, 0.0f, 0.5f);
		float foot = map.LevelHeight(map.TileAt((int16_t)(x - 1), y).secondLevel);
		return Vec3(top.x, (top.y + foot) * 0.5f, top.z);
	};
}

// The picture of the window after the post pass, rows from the top.
struct Picture : WindowPicture {
	Picture() : WindowPicture(kSample) {}
};

class MapRender : public SharedRendererTest {
protected:
	// Loads the home map through every phase, without scripts or actors,
	// and puts it in an active scene that draws it.
	void LoadHome(TileMap &map, Scene &scene)
	{
		testing::internal::CaptureStdout();
		map.Load("maps/home.tmx", TileMapLoadState::kNoScripts | TileMapLoadState::kNoActors, nullptr);
		int steps = 0;
		while (map.Step() && ++steps < kMostLoadSteps) {
		}
		std::string log = testing::internal::GetCapturedStdout();
		ASSERT_EQ(map.GetLoadState().phase, (uint32_t)kPhaseLoaded) << log;
		scene.state = kSceneActive;
		scene.AddEntity(&map);
		scene.Update(kFrameTime); // starts the tile map, so the scene draws it
	}

	// Draws a frame, saves it beside the test binary and checks it.
	void ShootAndCheck(Scene &scene, const TileMap &map, const char *file, const std::vector<Check> &checks)
	{
		glm::mat4 matrix = DrawFrame(scene);
		Picture picture;
		picture.ReadWindow();
		std::string path = GetBaseDirectory() + file;
		EXPECT_TRUE(picture.Save(path)) << "could not write " << path << ": " << SDL_GetError();
		ExpectSurfaces(picture, matrix, map, checks);
	}

	// One frame step's drawing: two frame begins, the camera's matrices, the
	// scene, then the post pass and the swap. Returns the matrix the scene
	// was drawn with.
	glm::mat4 DrawFrame(Scene &scene)
	{
		renderer->BeginFrame();
		renderer->BeginFrame();
		renderer->UpdateCameraMatrices();
		glm::mat4 matrix = renderer->GetMatrix(0);
		scene.Render();
		renderer->EndFrame();
		return matrix;
	}

	void ExpectSurfaces(const Picture &picture, const glm::mat4 &matrix, const TileMap &map,
		const std::vector<Check> &checks)
	{
		for (const Check &check : checks) {
			SCOPED_TRACE(check.name);
			int x = 0, y = 0;
			Rgb colour;
			if (!WindowPicture::ToPixel(matrix, check.point(map), x, y) || !picture.Average(x, y, colour)) {
				ADD_FAILURE() << "the point is out of the view";
				continue;
			}
			EXPECT_STREQ(SurfaceName(Classify(colour)), SurfaceName(check.expected))
				<< "at pixel " << x << ", " << y << ": rgb " << colour.r << " " << colour.g << " " << colour.b;
		}
	}
};

}

TEST_F(MapRender, HomeMapShowsItsGroundWaterWallsRampsAndBorder)
{
	TileMap map;
	Scene scene;
	LoadHome(map, scene);
	if (HasFatalFailure())
		return;

	// The tiles the checks below rely on are what the map says they are.
	struct Tile {
		int16_t x, y;
		uint8_t level;
	};
	const Tile tiles[] = {{12, 13, 1}, {16, 11, 1}, {15, 14, 7}, {21, 14, 3}, {21, 16, 3}, {21, 17, 1},
		{18, 9, 2}, {18, 10, 2}, {18, 11, 1}, {19, 3, 5}, {4, 4, 5}, {4, 13, 1}, {0, 8, 1}, {23, 7, 1}};
	for (const Tile &t : tiles) {
		SCOPED_TRACE("tile " + std::to_string(t.x) + ", " + std::to_string(t.y));
		EXPECT_EQ(map.TileAt(t.x, t.y).level, t.level);
	}
	EXPECT_EQ(map.TileAt(22, 10).kind, map.TileAt(22, 11).kind) << "one ramp over two tiles";
	EXPECT_GE(map.TileAt(22, 10).kind, 6u);
	EXPECT_LE(map.TileAt(22, 10).kind, 9u);
	EXPECT_EQ(map.GetMapData().border, 2);

	// The player stands in the pond's middle; the rig looks at it from the
	// south, and the map's south edge holds the view in.
	Entity player;
	player.transform.SetPosition(map.TilePosition(17, 14, 0.5f, 0.5f));
	Camera camera;
	CameraRig rig;
	rig.Attach(&camera, &player, &map);
	for (int i = 0; i < kSettleFrames; i++)
		rig.Update(kFrameTime);

	struct View {
		const char *name;
		const char *file;
		std::function<void()> aim;
		std::vector<Check> checks;
	};
	const std::vector<View> views = {
		{"through the camera rig", "map_home.png", [] {},
			{
				{"sand ground west of the pond", TileMiddle(12, 13), Surface::Sand},
				{"sand ground north of the pond", TileMiddle(16, 11), Surface::Sand},
				{"water of the pond", TileMiddle(15, 14), Surface::Water},
				{"grass top of the level-3 block", TileMiddle(21, 14), Surface::Green},
				{"wall below the level-3 block's south edge", SouthWallMiddle(21, 16), Surface::Brown},
				{"grass top of Maren's low bed", TileMiddle(18, 9), Surface::Green},
				{"wall below the low bed's south edge", SouthWallMiddle(18, 10), Surface::Brown},
				{"grass of the ramp's lower half", TileMiddle(22, 10), Surface::Green},
				{"grass of the ramp's upper half", TileMiddle(22, 11), Surface::Green},
				{"border east of the map", TileMiddle(25, 7), Surface::Sand},
			}},
		{"over the whole map", "map_home_overview.png",
			[&camera] {
				camera.fieldOfView = 45;
				camera.transform.SetPosition(Vec3(23.0f, 56.0f, 62.0f));
				camera.transform.LookAt(Vec3(23.0f, 0.0f, 15.0f));
			},
			{
				{"sand ground", TileMiddle(10, 10), Surface::Sand},
				{"stone top of the level-5 plateau", TileMiddle(19, 3), Surface::Grey},
				{"stone top of the terraced hill", TileMiddle(4, 4), Surface::Grey},
				{"water of the pond", TileMiddle(16, 14), Surface::Water},
				{"sand of the meadow below the hill", TileMiddle(4, 13), Surface::Sand},
				// The hedge round home runs on into the border, but for the
				// orchard's gap in the west.
				{"border west of the map", TileMiddle(-2, 8), Surface::Sand},
				{"border north of the map", TileMiddle(12, -3), Surface::Green},
				{"sand of the chook yard south of the pond", TileMiddle(12, 20), Surface::Sand},
				{"outside the border", TileMiddle(-7, 8), Surface::Void},
			}},
	};
	for (const View &view : views) {
		SCOPED_TRACE(view.name);
		view.aim();
		ShootAndCheck(scene, map, view.file, view.checks);
	}
}

// Water stands at 0.3, above level 1 but below every terrace, so a terrace
// beside the pond needs a wall from its top down to the water; without one
// the view runs through the ground into the void. Looked at from the west,
// across the pond, at the level-3 block on its east shore.
TEST_F(MapRender, TerracesBesideTheWaterHaveWallsDownToIt)
{
	TileMap map;
	Scene scene;
	LoadHome(map, scene);
	if (HasFatalFailure())
		return;
	// West of the block lies a column of diagonal tiles whose low halves
	// are water.
	for (int16_t y = 12; y <= 16; y++) {
		SCOPED_TRACE("row " + std::to_string(y));
		EXPECT_EQ(map.TileAt(19, y).secondLevel, 7);
		EXPECT_EQ(map.TileAt(20, y).level, 3);
	}

	Camera camera;
	camera.fieldOfView = 50;
	camera.transform.SetPosition(Vec3(30.0f, 6.0f, 28.0f));
	camera.transform.LookAt(Vec3(39.0f, 1.0f, 28.0f));
	Camera::SetCurrent(&camera);
	ShootAndCheck(scene, map, "map_home_pond.png",
		{
			{"grass top of the block", TileMiddle(21, 14), Surface::Green},
			{"water of the pond", TileMiddle(18, 13), Surface::Water},
			{"block's west wall above the north shore", WestWallMiddle(20, 12), Surface::Brown},
			{"block's west wall above the south shore", WestWallMiddle(20, 16), Surface::Brown},
		});
}

namespace {

// Where two neighbouring squares of a drawn map meet at different heights,
// the step between their grounds must be closed by wall faces standing on
// the shared edge; any part left open shows the void below the map as a
// black notch. Checks every edge of the map and its border ring at a few
// points along it, from the walls the map actually built.
class EdgeCoverage {
public:
	explicit EdgeCoverage(const TileMap &map) : map(map), t(map.GetMapData().tileSize)
	{
		for (uint8_t level = 1; level <= TileMap::kLevelCount; level++) {
			const std::vector<glm::vec3> &positions = map.LayerMesh(level, true)->GetPositions();
			for (size_t i = 0; i + 3 < positions.size(); i += 4)
				walls.push_back({positions[i], positions[i + 1], positions[i + 2], positions[i + 3]});
		}
	}

	// The open parts of every edge, one line each; empty when all is closed.
	std::vector<std::string> FindGaps() const
	{
		const int border = 2 * map.GetMapData().border;
		const int w = map.GetMapData().width;
		const int h = map.GetMapData().height;
		std::vector<std::string> gaps;
		for (int y = -border; y < h + border; y++) {
			for (int x = -border; x < w + border; x++) {
				for (float s : kAlong) {
					if (x + 1 < w + border)
						CheckEdge(x, y, s, true, gaps);
					if (y + 1 < h + border)
						CheckEdge(x, y, s, false, gaps);
				}
			}
		}
		return gaps;
	}

private:
	static constexpr float kAlong[3] = {0.05f, 0.5f, 0.95f}; // fractions along an edge
	static constexpr float kInside = 1e-4f; // how far inside a square its side is read
	static constexpr float kTolerance = 1e-3f; // world units

	// The edge east of (x, y) when east, else the one south of it.
	void CheckEdge(int x, int y, float s, bool east, std::vector<std::string> &gaps) const
	{
		const int16_t x0 = (int16_t)x, y0 = (int16_t)y;
		float a, b, line, across;
		if (east) {
			a = map.HeightAtTile(x0, y0, 1.0f - kInside, s);
			b = map.HeightAtTile((int16_t)(x + 1), y0, kInside, s);
			line = ((float)x + 0.5f) * t;
			across = ((float)y - 0.5f + s) * t;
		} else {
			a = map.HeightAtTile(x0, y0, s, 1.0f - kInside);
			b = map.HeightAtTile(x0, (int16_t)(y + 1), s, kInside);
			line = ((float)y + 0.5f) * t;
			across = ((float)x - 0.5f + s) * t;
		}
		const float lo = std::min(a, b), hi = std::max(a, b);
		if (hi - lo < kTolerance)
			return;
		std::vector<std::pair<float, float>> spans;
		for (const Wall &wall : walls) {
			float bottom, top;
			if (wall.SpanAt(east, line, across, bottom, top))
				spans.push_back({bottom, top});
		}
		std::sort(spans.begin(), spans.end());
		float reached = lo;
		for (const auto &span : spans) {
			if (span.first <= reached + kTolerance)
				reached = std::max(reached, span.second);
		}
		if (reached < hi - kTolerance) {
			gaps.push_back("open between " + std::to_string(reached) + " and " + std::to_string(hi) + " on the " +
				(east ? "east" : "south") + " side of " + std::to_string(x) + ", " + std::to_string(y) +
				" at " + std::to_string(s));
		}
	}

	struct Wall {
		glm::vec3 p[4];

		// The heights the face covers where it crosses the vertical line at
		// `across` on the plane x = line (east) or z = line; false when it
		// stands elsewhere.
		bool SpanAt(bool east, float line, float across, float &bottom, float &top) const
		{
			const int normalAxis = east ? 0 : 2;
			const int alongAxis = east ? 2 : 0;
			for (const glm::vec3 &corner : p) {
				if (std::fabs(corner[normalAxis] - line) > kTolerance)
					return false;
			}
			bool found = false;
			for (int i = 0; i < 4; i++) {
				const glm::vec3 &u = p[i];
				const glm::vec3 &v = p[(i + 1) % 4];
				const float lo = std::min(u[alongAxis], v[alongAxis]);
				const float hi = std::max(u[alongAxis], v[alongAxis]);
				if (across < lo - kTolerance || across > hi + kTolerance)
					continue;
				float ys[2] = {u.y, v.y};
				int count = 2;
				if (hi - lo > kTolerance) {
					const float f = (across - u[alongAxis]) / (v[alongAxis] - u[alongAxis]);
					ys[0] = u.y + (v.y - u.y) * f;
					count = 1;
				}
				for (int k = 0; k < count; k++) {
					bottom = found ? std::min(bottom, ys[k]) : ys[k];
					top = found ? std::max(top, ys[k]) : ys[k];
					found = true;
				}
			}
			return found;
		}
	};

	const TileMap &map;
	float t;
	std::vector<Wall> walls;
};

}

TEST_F(MapRender, ShippedMapsLeaveNoOpeningsBetweenNeighbouringSquares)
{
	const char *paths[] = {"maps/home.tmx", "mapo/home.tmx", "maps/town.tmx", "mapo/town.tmx", "maps/cinders.tmx",
		"mapo/cinders.tmx"};
	for (const char *path : paths) {
		SCOPED_TRACE(path);
		TileMap map;
		testing::internal::CaptureStdout();
		map.Load(path, TileMapLoadState::kNoScripts | TileMapLoadState::kNoActors, nullptr);
		int steps = 0;
		while (map.Step() && ++steps < kMostLoadSteps) {
		}
		std::string log = testing::internal::GetCapturedStdout();
		ASSERT_EQ(map.GetLoadState().phase, (uint32_t)kPhaseLoaded) << log;
		std::vector<std::string> gaps = EdgeCoverage(map).FindGaps();
		std::string listed;
		for (size_t i = 0; i < gaps.size() && i < 12; i++)
			listed += gaps[i] + "\n";
		EXPECT_TRUE(gaps.empty()) << gaps.size() << " openings, the first:\n" << listed;
	}
}
