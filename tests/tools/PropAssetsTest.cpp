// The files the props, pickups, doors, switches and the fireplace name, as
// the build wrote them into the data tree (tools/modelgen, texgen, sfxgen),
// each read back the way the game reads it; and the home map's scenery.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include "engine/core/FileAccess.h"
#include "engine/render/IqmReader.h"

#include <string>

namespace {

TEST(PropAssets, EveryModelLoadsWithTheAnimationsItsClassAsksFor)
{
	const char *models[] = {"hut", "hutstore", "table", "shelf", "cupboard", "bench", "bed", "scroll", "sign", "plank",
		"roof", "dragoncoin", "cooler", "key", "swordsword", "swordaxe", "swordfire", "swordelectric", "dress", "letter",
		"tri", "puzzle", "door", "lockdoor", "gatebk", "gate", "fireplace", "fireflame", "switch", "obelisk", "rockblock",
		"well", "cart"};
	for (const char *name : models) {
		const std::string path = std::string("models/") + name + ".iqm";
		SCOPED_TRACE(path);
		IqmReader reader;
		ASSERT_TRUE(reader.Load(ResolvePath(path.c_str()).c_str()));
		if (std::string(name) == "cupboard") {
			EXPECT_NE(reader.FindAnimation("open"), nullptr);
			EXPECT_NE(reader.FindAnimation("shut"), nullptr);
		}
	}
}

TEST(PropAssets, EveryTextureAndSoundIsThere)
{
	const char *textures[] = {"models/hut.png", "models/dragoncoin.png", "models/cooler.png", "models/key.png",
		"models/sword.png", "models/swordfire.png", "models/swordelectric.png", "models/swordice.png",
		"models/temptress.png", "models/lockdoor.png", "models/obelisk_on.png", "models/obelisk_off.png",
		"models/blacksmithdress.png", "mats/wooddarkb.png", "mats/woodboard.png", "mats/shelf.png", "mats/bed.png",
		"mats/scroll.png", "mats/scroll-news.png", "mats/letter1.png", "mats/letter2.png", "mats/letter3.png",
		"mats/letter4.png", "mats/tri.png", "mats/puzzle.png", "mats/blackrock.png", "mats/fire.png",
		"mats/switch_on_blue.png", "mats/switch_on_red.png", "mats/switch_off_blue.png", "mats/switch_off_red.png",
		"mats/rock-blue.png", "mats/rock-red.png", "mats/well.png", "mats/cart.png"};
	for (const char *name : textures) {
		SCOPED_TRACE(name);
		SDL_Surface *picture = IMG_Load(ResolvePath(name).c_str());
		EXPECT_NE(picture, nullptr);
		SDL_FreeSurface(picture);
	}
	const char *sounds[] = {"sfx/cupboard.wav", "sfx/cupboardshut.wav", "sfx/sword.wav", "sfx/door.wav",
		"sfx/fire.wav", "sfx/switchon.wav", "sfx/switchoff.wav", "sfx/blockdown.wav", "sfx/blockup.wav",
		"sfx/collecttri.wav", "sfx/collectpuzzle.wav", "sfx/collectletter.wav", "sfx/swordquillowen.ogg"};
	for (const char *name : sounds) {
		SCOPED_TRACE(name);
		SDL_RWops *file = SDL_RWFromFile(ResolvePath(name).c_str(), "rb");
		ASSERT_NE(file, nullptr);
		EXPECT_GT(SDL_RWsize(file), 44); // more than a bare header
		SDL_RWclose(file);
	}
	SDL_RWops *shader = SDL_RWFromFile(ResolvePath("shaders/fire.dsh").c_str(), "rb");
	EXPECT_NE(shader, nullptr);
	if (shader != nullptr)
		SDL_RWclose(shader);
}

} // namespace

namespace {

// The rows of a picture that hold at least one pixel of the colour.
int RowsWithColour(const char *name, uint8_t r, uint8_t g, uint8_t b)
{
	SDL_Surface *loaded = IMG_Load(ResolvePath(name).c_str());
	if (loaded == nullptr)
		return -1;
	SDL_Surface *picture = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
	SDL_FreeSurface(loaded);
	if (picture == nullptr)
		return -1;
	int rows = 0;
	for (int y = 0; y < picture->h; y++) {
		const uint8_t *row = (const uint8_t *)picture->pixels + (size_t)y * picture->pitch;
		bool found = false;
		for (int x = 0; x < picture->w && !found; x++)
			found = row[x * 4] == r && row[x * 4 + 1] == g && row[x * 4 + 2] == b && row[x * 4 + 3] == 255;
		rows += found ? 1 : 0;
	}
	SDL_FreeSurface(picture);
	return rows;
}

// The start-up and title logos carry their names in the block alphabet, seven
// blocks tall: every block row of the lettering is inside the picture, none
// cut off by its lower edge.
TEST(LogoPictures, TheirLetteringIsWhole)
{
	const struct {
		const char *name;
		uint8_t r, g, b;
		int rows; // seven blocks of the logo's own block size, and any other ink of the colour
	} logos[] = {
		{"mats/halvenmoor.png", 0xf0, 0xe6, 0xc8, 7 * 4},
		{"mats/marrowbylogo.png", 0xf4, 0xf0, 0xe8, 7 * 3},
	};
	for (const auto &logo : logos) {
		SCOPED_TRACE(logo.name);
		EXPECT_EQ(logo.rows, RowsWithColour(logo.name, logo.r, logo.g, logo.b));
	}
}

} // namespace
