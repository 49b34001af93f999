// The townsfolk's figures, textures and voices as the build wrote them into
// the data tree: every figure stands on the smith's skeleton so that his
// animations play on it, and no two look alike.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "engine/core/FileAccess.h"
#include "engine/render/IqmReader.h"
#include "support/TempFolder.h"
#include "tools/IqmFileView.h"

namespace {

IqmFileView ReadDataFile(const std::string &name)
{
	return IqmFileView(TempFolder::ReadBytes(ResolvePath(name.c_str())));
}

// What a player sees of a figure at a glance: how many corners it has and
// how tall, wide and deep it stands, in hundredths.
std::tuple<uint32_t, int, int, int> Silhouette(const IqmFileView &file)
{
	const uint32_t positions = file.ArrayOffset(kIqmPosition);
	glm::vec3 low(1e9f), high(-1e9f);
	for (uint32_t v = 0; v < file.Header().vertexCount; v++) {
		const glm::vec3 p(file.F32(positions + 12 * v), file.F32(positions + 12 * v + 4), file.F32(positions + 12 * v + 8));
		low = glm::min(low, p);
		high = glm::max(high, p);
	}
	const glm::vec3 size = (high - low) * 100.0f;
	return {file.Header().vertexCount, (int)size.x, (int)size.y, (int)size.z};
}

} // namespace

TEST(TownsfolkAssets, FiguresWearTheSmithsSkeletonAndLookApart)
{
	const char *figures[] = {"oracle", "tinsmith", "woodsmith", "locksmith", "temptress", "npc-fr", "npc-pl",
		"npc-qr", "townee1", "townee2", "townee3"};
	IqmFileView smith = ReadDataFile("models/blacksmith.iqm");
	ASSERT_TRUE(smith.HasHeader());
	const auto bones = smith.Joints();
	std::set<std::tuple<uint32_t, int, int, int>> seen;
	for (const char *figure : figures) {
		SCOPED_TRACE(figure);
		const std::string path = std::string("models/") + figure + ".iqm";
		IqmFileView file = ReadDataFile(path);
		ASSERT_TRUE(file.HasHeader()) << "missing or unreadable";
		EXPECT_EQ(file.Header().animationCount, 0u) << "its animations come from the smith";
		const auto joints = file.Joints();
		ASSERT_EQ(joints.size(), bones.size());
		for (size_t j = 0; j < joints.size(); j++) {
			EXPECT_EQ(joints[j].name, bones[j].name);
			EXPECT_EQ(joints[j].parent, bones[j].parent);
		}
		EXPECT_TRUE(seen.insert(Silhouette(file)).second) << "looks like another figure";

		IqmReader reader;
		ASSERT_TRUE(reader.Load(ResolvePath(path.c_str()).c_str()));
		ASSERT_TRUE(reader.LoadAnimations(ResolvePath("models/blacksmith.iqm").c_str()));
		for (const char *animation : {"Idle", "Run", "Talk", "Wave", "Die"})
			EXPECT_NE(reader.FindAnimation(animation), nullptr) << animation;
		EXPECT_NE(reader.FindJoint("B_Weapon.L"), nullptr);
	}
}

TEST(TownsfolkAssets, TexturesOnTheSmithsGridAndVoicesAreThere)
{
	const char *textures[] = {"oracle", "partymember", "temptress", "npc-fr", "npc-pl", "npc-qr", "townee1",
		"townee2", "townee3"};
	std::set<std::vector<uint8_t>> seen;
	for (const char *name : textures) {
		SCOPED_TRACE(name);
		const std::string path = ResolvePath((std::string("models/") + name + ".png").c_str());
		SDL_Surface *picture = IMG_Load(path.c_str());
		ASSERT_NE(picture, nullptr);
		EXPECT_EQ(picture->w, 256);
		EXPECT_EQ(picture->h, 96);
		SDL_FreeSurface(picture);
		EXPECT_TRUE(seen.insert(TempFolder::ReadBytes(path)).second) << "painted like another";
	}
	const char *sounds[] = {"sfx/vox-smith1.wav", "sfx/vox-smith5.wav", "sfx/vox-leader1.wav", "sfx/vox-leader2.wav",
		"sfx/vox-tempt1.wav", "sfx/vox-tempt2.wav"};
	for (const char *name : sounds) {
		SCOPED_TRACE(name);
		SDL_RWops *file = SDL_RWFromFile(ResolvePath(name).c_str(), "rb");
		ASSERT_NE(file, nullptr);
		EXPECT_GT(SDL_RWsize(file), 44); // more than a bare header
		SDL_RWclose(file);
	}
}
