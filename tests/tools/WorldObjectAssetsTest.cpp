// The models and textures the world objects draw with, as the build wrote
// them into the data tree: the shadow quads and their soft masks, the young
// smith's dress and the chook, each read back the way the game reads it.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/FileAccess.h"
#include "engine/render/IqmReader.h"
#include "engine/render/Mesh.h"
#include "engine/render/Model3D.h"
#include "support/AssetToolRunner.h"
#include "support/TempFolder.h"
#include "tools/IqmFileView.h"

namespace {

IqmFileView ReadDataFile(const char *name)
{
	return IqmFileView(TempFolder::ReadBytes(ResolvePath(name)));
}

// An RGBA copy of a PNG; null when it cannot be read.
struct Picture {
	std::unique_ptr<SDL_Surface, void (*)(SDL_Surface *)> surface{nullptr, SDL_FreeSurface};

	explicit Picture(const std::string &path)
	{
		SDL_Surface *loaded = IMG_Load(path.c_str());
		if (loaded == nullptr)
			return;
		surface.reset(SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0));
		SDL_FreeSurface(loaded);
	}
	bool Ok() const { return surface != nullptr; }
	int Width() const { return surface->w; }
	int Height() const { return surface->h; }
	const uint8_t *At(int x, int y) const
	{
		return static_cast<const uint8_t *>(surface->pixels) + y * surface->pitch + x * 4;
	}
	uint8_t Alpha(int x, int y) const { return At(x, y)[3]; }
};

// Where the joints of a model stand at a frame of one of its animations, in
// engine space (Y up, the model facing +Z), as the game's reader poses them.
glm::vec3 JointAt(IqmReader &reader, const char *animation, float frame, const char *joint)
{
	ModelAnimation *anim = reader.FindAnimation(animation);
	if (anim == nullptr)
		return glm::vec3(NAN);
	Mesh mesh;
	const float time = frame / 30.0f; // the reader shows frame 30 x time
	reader.BuildMesh(&mesh, &time, anim, nullptr, 0.0f);
	const ModelJoint *found = reader.FindJoint(joint);
	return found == nullptr ? glm::vec3(NAN) : found->transform.position;
}

void ExpectSameSkeleton(const IqmFileView &a, const IqmFileView &b)
{
	const std::vector<IqmFileView::Joint> x = a.Joints(), y = b.Joints();
	ASSERT_EQ(x.size(), y.size());
	for (size_t j = 0; j < x.size(); j++) {
		SCOPED_TRACE(x[j].name);
		EXPECT_EQ(x[j].name, y[j].name);
		EXPECT_EQ(x[j].parent, y[j].parent);
		for (int k = 0; k < 10; k++)
			EXPECT_FLOAT_EQ(x[j].transform[k], y[j].transform[k]);
	}
}

} // namespace

TEST(WorldObjectModels, EveryModelIsWrittenLoadsAndIsPaintedFromItsTexture)
{
	struct Row {
		const char *model, *texture;
		bool skinned; // bound to joints
		std::vector<const char *> animations;
	};
	const Row rows[] = {
		{"models/shadow.iqm", "mats/smask-circ.png", false, {}},
		{"models/shadow-sq.iqm", "mats/smask-rect.png", false, {}},
		{"models/blacksmithdress.iqm", "models/blacksmithdress.png", true, {}},
		{"models/chook.iqm", "models/chookbomb.png", true, {"Idle", "Run", "StrikeFore", "Die"}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.model);
		IqmReader reader;
		ASSERT_TRUE(reader.Load(ResolvePath(row.model).c_str())) << "missing or refused";
		EXPECT_GT(reader.GetTriangleCount(), 0u);
		EXPECT_EQ(reader.GetJointCount() > 0, row.skinned);
		for (const char *name : row.animations)
			EXPECT_NE(reader.FindAnimation(name), nullptr) << name;

		// Every triangle shows an opaque part of its texture (the shadows'
		// masks are the exception: they fade out by design).
		Picture texture(ResolvePath(row.texture));
		ASSERT_TRUE(texture.Ok()) << row.texture << ": " << IMG_GetError();
		IqmFileView file = ReadDataFile(row.model);
		ASSERT_TRUE(file.HasHeader());
		const IqmHeader &h = file.Header();
		const uint32_t uvs = file.ArrayOffset(kIqmTexCoord);
		ASSERT_NE(uvs, 0u);
		auto uvOf = [&](uint32_t v) { return glm::vec2(file.F32(uvs + 8 * v), file.F32(uvs + 8 * v + 4)); };
		for (uint32_t t = 0; t < h.triangleCount; t++) {
			const uint32_t at = h.triangleOffset + 12 * t;
			const glm::vec2 centre = (uvOf(file.U32(at)) + uvOf(file.U32(at + 4)) + uvOf(file.U32(at + 8))) / 3.0f;
			ASSERT_TRUE(centre.x >= 0 && centre.x <= 1 && centre.y >= 0 && centre.y <= 1) << "triangle " << t;
			if (row.skinned) {
				const int x = (int)(centre.x * texture.Width()), y = (int)(centre.y * texture.Height());
				EXPECT_EQ(texture.Alpha(x, y), 255) << "triangle " << t;
			}
		}
	}
}

TEST(WorldObjectModels, ShadowQuadsLieFlatAndSpanTheirMaskOnce)
{
	for (const char *name : {"models/shadow.iqm", "models/shadow-sq.iqm"}) {
		SCOPED_TRACE(name);
		IqmFileView file = ReadDataFile(name);
		ASSERT_TRUE(file.HasHeader());
		const IqmHeader &h = file.Header();
		ASSERT_EQ(h.vertexCount, 4u);
		ASSERT_EQ(h.triangleCount, 2u);
		const uint32_t positions = file.ArrayOffset(kIqmPosition), normals = file.ArrayOffset(kIqmNormal);
		const uint32_t uvs = file.ArrayOffset(kIqmTexCoord);
		glm::vec2 lowUv(1), highUv(0), lowXy(100), highXy(-100);
		for (uint32_t v = 0; v < 4; v++) {
			EXPECT_FLOAT_EQ(file.F32(positions + 12 * v + 8), 0.0f) << "vertex " << v << " off the ground";
			EXPECT_FLOAT_EQ(file.F32(normals + 12 * v + 8), 1.0f) << "vertex " << v << " not facing up";
			const glm::vec2 xy(file.F32(positions + 12 * v), file.F32(positions + 12 * v + 4));
			const glm::vec2 uv(file.F32(uvs + 8 * v), file.F32(uvs + 8 * v + 4));
			lowXy = glm::min(lowXy, xy);
			highXy = glm::max(highXy, xy);
			lowUv = glm::min(lowUv, uv);
			highUv = glm::max(highUv, uv);
		}
		// Centred on the owner, two units across at size 1.
		EXPECT_EQ(lowXy, glm::vec2(-1.0f));
		EXPECT_EQ(highXy, glm::vec2(1.0f));
		EXPECT_EQ(lowUv, glm::vec2(0.0f));
		EXPECT_EQ(highUv, glm::vec2(1.0f));
		// Both triangles wind up (counter-clockwise seen from above).
		const uint32_t p = positions;
		for (uint32_t t = 0; t < 2; t++) {
			uint32_t i[3];
			for (int k = 0; k < 3; k++)
				i[k] = file.U32(h.triangleOffset + 12 * t + 4 * k);
			auto at = [&](uint32_t v) { return glm::vec2(file.F32(p + 12 * v), file.F32(p + 12 * v + 4)); };
			const glm::vec2 a = at(i[1]) - at(i[0]), b = at(i[2]) - at(i[0]);
			EXPECT_GT(a.x * b.y - a.y * b.x, 0.0f) << "triangle " << t;
		}

		// As the shadow loads it: flat on the ground in the game's space.
		Model3D model;
		ASSERT_TRUE(model.LoadSimple(name, 1.0f));
		const std::vector<glm::vec3> &drawn = model.GetMesh()->GetPositions();
		ASSERT_EQ(drawn.size(), 4u);
		for (const glm::vec3 &p : drawn) {
			EXPECT_NEAR(p.y, 0.0f, 1e-6f);
			EXPECT_NEAR(std::fabs(p.x), 1.0f, 1e-6f);
			EXPECT_NEAR(std::fabs(p.z), 1.0f, 1e-6f);
		}
	}
}

TEST(WorldObjectModels, DressKeepsTheSmithsSkeletonForItsAnimations)
{
	IqmFileView smith = ReadDataFile("models/blacksmith.iqm");
	IqmFileView young = ReadDataFile("models/blacksmith2.iqm");
	IqmFileView dress = ReadDataFile("models/blacksmithdress.iqm");
	ASSERT_TRUE(smith.HasHeader() && young.HasHeader() && dress.HasHeader());
	ExpectSameSkeleton(smith, dress);
	EXPECT_EQ(dress.Header().animationCount, 0u);
	// The skirt and the braid add to the young smith's body.
	EXPECT_GT(dress.Header().vertexCount, young.Header().vertexCount);

	// The game loads the dress with the smith's animations and runs in it.
	IqmReader reader;
	ASSERT_TRUE(reader.Load(ResolvePath("models/blacksmithdress.iqm").c_str()));
	ASSERT_TRUE(reader.LoadAnimations(ResolvePath("models/blacksmith.iqm").c_str()));
	EXPECT_GT(JointAt(reader, "Run", 4, "B_Foot.L").z, JointAt(reader, "Run", 4, "B_Foot.R").z + 0.8f);
}

TEST(WorldObjectModels, ChookRunsAndPecksOnItsOwnSkeleton)
{
	IqmFileView smith = ReadDataFile("models/blacksmith.iqm");
	IqmFileView chook = ReadDataFile("models/chook.iqm");
	ASSERT_TRUE(smith.HasHeader() && chook.HasHeader());
	EXPECT_LT(chook.Header().jointCount, smith.Header().jointCount);
	std::map<std::string, uint32_t> flags;
	for (const IqmFileView::Animation &anim : chook.Animations())
		flags[anim.name] = anim.flags;
	EXPECT_NE(flags["Idle"] & kIqmAnimLoop, 0u);
	EXPECT_NE(flags["Run"] & kIqmAnimLoop, 0u);
	EXPECT_EQ(flags["Die"] & kIqmAnimLoop, 0u);

	IqmReader reader;
	ASSERT_TRUE(reader.Load(ResolvePath("models/chook.iqm").c_str()));
	// A held thing rides at the beak, ahead of and above the body.
	const glm::vec3 beak = JointAt(reader, "Idle", 0, "B_Weapon.L");
	EXPECT_GT(beak.z, JointAt(reader, "Idle", 0, "B_Body").z + 0.5f);
	EXPECT_GT(beak.y, 1.8f);
	// The legs take turns: a quarter and three quarters through the run
	// cycle, first the left foot and then the right one is ahead.
	ModelAnimation *run = reader.FindAnimation("Run");
	ASSERT_NE(run, nullptr);
	const float quarter = run->frameCount / 4.0f;
	EXPECT_GT(JointAt(reader, "Run", quarter, "B_Foot.L").z, JointAt(reader, "Run", quarter, "B_Foot.R").z + 0.3f);
	EXPECT_GT(JointAt(reader, "Run", 3 * quarter, "B_Foot.R").z,
		JointAt(reader, "Run", 3 * quarter, "B_Foot.L").z + 0.3f);
	// The peck brings the head down.
	ModelAnimation *peck = reader.FindAnimation("StrikeFore");
	ASSERT_NE(peck, nullptr);
	EXPECT_LT(JointAt(reader, "StrikeFore", peck->frameCount / 3.0f, "B_Head").y,
		JointAt(reader, "Idle", 0, "B_Head").y - 0.3f);
}

TEST(WorldObjectTextures, SoftMasksAreSolidInTheMiddleAndClearAtTheRim)
{
	struct Row {
		const char *name;
		bool round;
	};
	const Row rows[] = {{"mats/smask-circ.png", true}, {"mats/smask-rect.png", false}};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Picture mask(ResolvePath(row.name));
		ASSERT_TRUE(mask.Ok()) << IMG_GetError();
		const int w = mask.Width(), h = mask.Height();
		ASSERT_EQ(w, h);
		const uint8_t *middle = mask.At(w / 2, h / 2);
		EXPECT_EQ(middle[3], 255);
		EXPECT_EQ(middle[0] + middle[1] + middle[2], 0) << "a shadow is black";
		for (int edge : {0, w - 1}) {
			EXPECT_LT(mask.Alpha(edge, h / 2), 8);
			EXPECT_LT(mask.Alpha(w / 2, edge), 8);
		}
		// From the middle outwards the cover only falls.
		for (int x = w / 2 + 1; x < w; x++)
			ASSERT_LE(mask.Alpha(x, h / 2), mask.Alpha(x - 1, h / 2)) << "at x " << x;
		// Towards a corner a square shadow stays dark where a round one has
		// already gone.
		const int nearCorner = w / 6;
		if (row.round)
			EXPECT_LT(mask.Alpha(nearCorner, nearCorner), 16);
		else
			EXPECT_GT(mask.Alpha(nearCorner, nearCorner), 200);
	}
}

TEST(WorldObjectTextures, DressTextureRepaintsOnlyTheClothes)
{
	Picture smith(ResolvePath("models/blacksmith.png"));
	Picture dress(ResolvePath("models/blacksmithdress.png"));
	ASSERT_TRUE(smith.Ok() && dress.Ok());
	ASSERT_EQ(smith.Width(), dress.Width());
	ASSERT_EQ(smith.Height(), dress.Height());
	constexpr int kCell = 32; // the grid the smiths' models are mapped onto
	auto cellDiffers = [&](int column, int row) {
		for (int y = row * kCell; y < (row + 1) * kCell; y++)
			for (int x = column * kCell; x < (column + 1) * kCell; x++)
				if (std::memcmp(smith.At(x, y), dress.At(x, y), 4) != 0)
					return true;
		return false;
	};
	// The young face, hair and skin are the smith's own...
	for (int column : {0, 4, 5, 6})
		EXPECT_FALSE(cellDiffers(column, 0)) << "cell " << column << ", 0";
	// ...the tunic, its front and sleeves and the apron are the dress.
	for (int column : {3, 4, 5, 6})
		EXPECT_TRUE(cellDiffers(column, 1)) << "cell " << column << ", 1";
}

TEST(TexgenTool, MasksAndRepaintedCopiesRefuseWhatTheyCannotMake)
{
	struct Row {
		const char *what, *recipe, *message; // message empty: the recipe works
	};
	const Row rows[] = {
		{"round mask", "out.png 16 16 softmask shape=circle edge=0.5\n", ""},
		{"unknown shape", "out.png 16 16 softmask shape=star\n", "unknown mask shape star"},
		{"base not made", "out.png 16 16 rects base=missing.png rects=0,0,1,1,#ffffff\n", "cannot use missing.png"},
		{"base of another size", "first.png 8 8 solid color=#ff0000\nout.png 16 16 rects base=first.png\n",
			"cannot use first.png"},
		{"copy of an earlier one",
			"first.png 16 16 solid color=#ff0000\nout.png 16 16 rects base=first.png rects=0,0,1,1,#0000ff\n", ""},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		TempFolder temp;
		const std::string recipe = temp.Path("recipe.txt");
		WriteTextFile(recipe, row.recipe);
		ToolRun run = RunAssetTool("texgen", Quoted(temp.Folder()) + " " + Quoted(recipe), temp.Path("log.txt"));
		if (std::string(row.message).empty()) {
			EXPECT_EQ(run.exitCode, 0) << run.output;
			ASSERT_TRUE(TempFolder::Exists(temp.Path("out.png")));
		} else {
			EXPECT_NE(run.exitCode, 0);
			EXPECT_NE(run.output.find(row.message), std::string::npos) << run.output;
			EXPECT_FALSE(TempFolder::Exists(temp.Path("out.png")));
		}
	}

	// The copy keeps the base's pixels where nothing is painted over them.
	TempFolder temp;
	const std::string recipe = temp.Path("recipe.txt");
	WriteTextFile(recipe, "first.png 4 4 solid color=#ff0000\nout.png 4 4 rects base=first.png rects=0,0,1,1,#0000ff\n");
	ASSERT_EQ(RunAssetTool("texgen", Quoted(temp.Folder()) + " " + Quoted(recipe), temp.Path("log.txt")).exitCode, 0);
	Picture copy(temp.Path("out.png"));
	ASSERT_TRUE(copy.Ok());
	EXPECT_EQ(copy.At(0, 0)[2], 255);
	EXPECT_EQ(copy.At(3, 3)[0], 255);
	EXPECT_EQ(copy.At(3, 3)[2], 0);
}
