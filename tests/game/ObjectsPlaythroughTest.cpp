// The world's objects in the running game, headless: the real in-game scene
// plays a small map holding a dragon coin, two swords and a fireplace, and
// the test walks the hero through them with the arrow keys and the action
// key at a fixed 1/60 s per frame, then reads the save file back.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "objects/PropSaveSwitch.h"
#include "support/GameSceneTestWorld.h"

namespace {

constexpr int kMaxFrames = 600;

// A record of the objects map: an entity placement of the kind on a tile.
void Place(TileMapData &data, uint32_t kind, int x, int y, uint16_t id, const char *name)
{
	MapObjectDef record;
	record.kind = kObjectEntity;
	record.type = (uint8_t)(kind - 2);
	record.x = (uint16_t)x;
	record.y = (uint16_t)y;
	record.id = id;
	if (name != nullptr) {
		record.name = MapName(name);
		record.key = HashName(name);
	}
	data.entityRecords.push_back(record);
}

class ObjectsPlaythrough : public testing::Test {
protected:
	void SetUp() override
	{
		std::string whyNot;
		if (!world.Prepare(whyNot))
			GTEST_SKIP() << whyNot;
		// A fresh game begins on "home", beside its fireplace; up the middle
		// column lie a coin, a sword and an axe.
		world.book.AddFlat("home", 11, 12, [](TileMapData &data) {
			Place(data, 37, 5, 7, 10, "playcoin");
			Place(data, 43, 5, 5, 11, "sword");
			Place(data, 44, 5, 3, 12, "axe");
			Place(data, 22, 5, 10, 13, "fire");
		});
	}

	Player &Hero() { return world.scene->GetPlayer(); }
	bool MessageUp() { return world.scene->GetHud().IsMessageVisible(); }

	// Walks with the key held until done; the messages met on the way are
	// read with the action key.
	bool WalkUntil(SDL_Scancode key, const std::function<bool()> &done)
	{
		for (int i = 0; i < kMaxFrames; i++) {
			if (done())
				break;
			if (MessageUp()) {
				world.Release(key);
				ReadMessage();
				continue;
			}
			world.Press(key);
			world.Frame();
		}
		world.Release(key);
		world.Frame();
		return done();
	}
	void Tap(SDL_Scancode key)
	{
		world.Press(key);
		world.Frame();
		world.Release(key);
		world.Frame();
	}
	void ReadMessage()
	{
		// A press hurries the typing only while held; once typed, one closes.
		for (int press = 0; press < 30 && MessageUp(); press++) {
			Tap(SDL_SCANCODE_SPACE);
			world.Frames(20);
		}
	}
	Entity *EntityOf(uint16_t id) { return world.scene->GetMap().FindEntityRecordById(id)->entity; }

	GameSceneTestWorld world;
};

} // namespace

TEST_F(ObjectsPlaythrough, TakesACoinSwapsSwordsAndSavesAtTheFire)
{
	world.game.StartPlay(); // play has begun: the fireplace knows its map
	TalvexGameScene &scene = world.Begin();
	ASSERT_TRUE(world.UntilLoaded());
	ASSERT_STREQ("home", scene.GetLoadedAs());
	world.Frames(120); // the map's title
	ReadMessage();
	Entity *sword = EntityOf(11);
	Entity *axe = EntityOf(12);
	ASSERT_NE(sword, nullptr);
	ASSERT_NE(axe, nullptr);

	auto *fire = dynamic_cast<PropSaveSwitch *>(EntityOf(13));
	ASSERT_NE(fire, nullptr);
	EXPECT_FALSE(fire->IsLit()); // a fresh game has saved nowhere yet

	// The coin: taken, remembered, its flag set.
	ASSERT_TRUE(WalkUntil(SDL_SCANCODE_UP, [&] { return EntityOf(10) == nullptr; }));
	EXPECT_TRUE(GameProgress::FlagId(HashName("playcoin")));
	// The sword, then the axe: the sword lies there again.
	ASSERT_TRUE(WalkUntil(SDL_SCANCODE_UP, [&] { return Hero().GetStats().heldKind == 43; }));
	EXPECT_FALSE(sword->IsActive());
	ASSERT_TRUE(WalkUntil(SDL_SCANCODE_UP, [&] { return Hero().GetStats().heldKind == 44; }));
	EXPECT_TRUE(sword->IsActive());
	EXPECT_FALSE(axe->IsActive());

	// Back down beside the swords' column to the fireplace, and light it.
	const float eastColumn = world.TileCentre(6, 0).x;
	ASSERT_TRUE(WalkUntil(SDL_SCANCODE_RIGHT, [&] { return Hero().transform.position.x >= eastColumn; }));
	const float fireRow = fire->transform.position.z;
	ASSERT_TRUE(WalkUntil(SDL_SCANCODE_DOWN, [&] { return Hero().transform.position.z >= fireRow; }));
	ASSERT_TRUE(WalkUntil(SDL_SCANCODE_LEFT,
		[&] { return Hero().GetUseTarget() == scene.GetMap().FindEntityRecordById(13); }));
	Tap(SDL_SCANCODE_SPACE);
	EXPECT_TRUE(fire->IsLit());

	// The save file holds the map as the start and the coin's flag.
	GameProgress saved;
	ASSERT_TRUE(GameProgress::ReadSlot(saved, 0));
	EXPECT_EQ(HashName("home"), saved.startMap);
	EXPECT_NE(std::find(saved.flags.begin(), saved.flags.end(), HashName("playcoin")), saved.flags.end());

	// Putting the fire out gives back every heart; lighting it again saves
	// nothing new, so the file stays byte for byte as it was.
	const std::vector<uint8_t> before = TempFolder::ReadBytes(GameProgress::SaveFileName(0));
	ASSERT_FALSE(before.empty());
	ReadMessage();
	Hero().stats.hearts = 1;
	ASSERT_TRUE(WalkUntil(SDL_SCANCODE_LEFT,
		[&] { return Hero().GetUseTarget() == scene.GetMap().FindEntityRecordById(13); }));
	Tap(SDL_SCANCODE_SPACE);
	EXPECT_FALSE(fire->IsLit());
	EXPECT_EQ(Hero().GetStats().hearts, Hero().GetStats().maxHearts);
	ReadMessage();
	ASSERT_TRUE(WalkUntil(SDL_SCANCODE_LEFT,
		[&] { return Hero().GetUseTarget() == scene.GetMap().FindEntityRecordById(13); }));
	Tap(SDL_SCANCODE_SPACE);
	EXPECT_TRUE(fire->IsLit());
	EXPECT_EQ(before, TempFolder::ReadBytes(GameProgress::SaveFileName(0)));
}
