// The world's objects in the running game, headless: the real in-game scene
// plays a small map holding one of each kind the hero deals with, and the
// test walks the hero through them with the arrow keys and the action key at
// a fixed 1/60 s per frame, then reads the save file back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <functional>
#include <string>

#include "map/MapCommand.h"
#include "objects/PickupCollectable.h"
#include "objects/PropBlockRaiseLower.h"
#include "objects/PropCupboard.h"
#include "objects/PropDoor.h"
#include "objects/PropSaveSwitch.h"
#include "objects/PropSign.h"
#include "objects/PropSwitch.h"
#include "support/GameSceneTestWorld.h"
#include "support/MissingDevice.h"

namespace {

constexpr int kMaxFrames = 600;
constexpr float kNear = 0.25f; // world units: close enough to a spot walked to

// The test map, "home" because a fresh game begins there. The hero starts
// beside the fireplace at the foot of column 5 and meets, going north: a
// coin, a cooler, a collectable, a sword and an axe, a cupboard, a door, a
// key, a locked door and a sign. Column 7 holds a switch whose id is the
// flag of a rock block in column 9; west of the fire stands a hut; every
// other class stands along the east side.
enum : uint16_t {
	kCoin = 10, kCooler, kTriangle, kSword, kAxe, kCupboard, kDoor, kKey, kLockDoor, kSign, kSwitch, kBlock, kFire,
	kHut,
};
constexpr int kMapW = 12;
constexpr int kMapH = 28;
constexpr int kLane = 5;       // the column the hero walks north
constexpr int kBackLane = 7;   // and the one it comes back by
constexpr int kFireRow = 24;
constexpr uint8_t kLockGroup = 3; // never enabled: only the key opens that door
constexpr const char *kSignText = "PLAYGROUND. Mind the block.";
// The rest of the classes stand out of the way along the east side.
constexpr int kSceneryColumn = 10;
constexpr uint16_t kFirstScenery = 40;
constexpr uint32_t kSceneryKinds[] = {10, 11, 13, 14, 15, 17, 19, 20, 25, 59, 6, 45, 46, 47, 48, 49};

// A record of the objects map: an entity placement of the kind on a tile.
MapObjectDef &Place(TileMapData &data, uint32_t kind, int x, int y, uint16_t id, const char *name)
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
	return data.entityRecords.back();
}

// One script line of the record, appended to the map's command table.
void AddLine(TileMapData &data, MapObjectDef &record, uint32_t code, uint8_t argument, uint16_t value)
{
	if (record.commandCount == 0)
		record.firstCommand = (uint16_t)data.commands.size();
	MapCommand command;
	command.code = code;
	command.argument = argument;
	command.value = value;
	data.commands.push_back(command);
	record.commandCount++;
}

class ObjectsPlaythrough : public testing::Test {
protected:
	void SetUp() override
	{
		std::string whyNot;
		if (!world.Prepare(whyNot))
			SKIP_FOR_MISSING_DEVICE() << whyNot;
		world.book.AddFlat("home", kMapW, kMapH, [](TileMapData &data) {
			Place(data, 37, kLane, 21, kCoin, "playcoin");
			Place(data, 39, kLane, 20, kCooler, "playcooler");
			Place(data, 40, kLane, 19, kTriangle, "tri1");
			Place(data, 43, kLane, 18, kSword, "sword");
			Place(data, 44, kLane, 16, kAxe, "axe");
			Place(data, 12, kLane, 14, kCupboard, "cupboard");
			Place(data, 16, kLane, 11, kDoor, "door");
			Place(data, 42, kLane, 9, kKey, "key");
			MapObjectDef &lockDoor = Place(data, 7, kLane, 7, kLockDoor, "lockdoor");
			AddLine(data, lockDoor, kCmdUnlock, 0, kLockGroup);
			MapObjectDef &sign = Place(data, 18, kLane, 3, kSign, "Playground");
			data.messages.push_back(MapMessage(kSignText));
			AddLine(data, sign, kCmdSay, (uint8_t)kSign, (uint16_t)(data.messages.size() - 1));
			Place(data, 4, kBackLane, 14, kSwitch, "switch");
			Place(data, 5, kBackLane + 2, 14, kBlock, "block").flag = kSwitch;
			Place(data, 22, kLane, kFireRow, kFire, "fire");
			Place(data, 9, 2, kFireRow, kHut, "playhut");
			uint16_t id = kFirstScenery;
			for (uint32_t kind : kSceneryKinds) {
				const int row = 1 + (id - kFirstScenery) * 3 / 2;
				Place(data, kind, kSceneryColumn + (id & 1), row, id, nullptr).flag = kSwitch;
				id++;
			}
		});
		// The hut's inside, with the way back out.
		world.book.AddFlat("playhut", 6, 5, [](TileMapData &data) {
			MapBook::AddObject(data, kObjectExit, "home", 2, 4, 2, 1);
			MapBook::AddObject(data, kObjectSpawn, "home", 2, 3, 1, 1);
		});
	}

	Player &Hero() { return world.scene->GetPlayer(); }
	GameUI &Hud() { return world.scene->GetHud(); }
	bool MessageUp() { return Hud().IsMessageVisible(); }
	Vec3 Where() { return Hero().transform.position; }

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
	// Walks along one axis to the centre line of a tile column or row.
	bool WalkToColumn(int x)
	{
		const float target = world.TileCentre(x, 0).x;
		const SDL_Scancode key = Where().x < target ? SDL_SCANCODE_RIGHT : SDL_SCANCODE_LEFT;
		const bool east = key == SDL_SCANCODE_RIGHT;
		return WalkUntil(key, [&] { return east ? Where().x >= target - kNear : Where().x <= target + kNear; });
	}
	bool WalkToRow(int y)
	{
		const float target = world.TileCentre(0, y).z;
		const SDL_Scancode key = Where().z < target ? SDL_SCANCODE_DOWN : SDL_SCANCODE_UP;
		const bool south = key == SDL_SCANCODE_DOWN;
		return WalkUntil(key, [&] { return south ? Where().z >= target - kNear : Where().z <= target + kNear; });
	}
	// Walks until the hero offers to use the record, then presses action.
	bool UseBy(SDL_Scancode key, uint16_t id)
	{
		MapObjectDef *record = Record(id);
		if (!WalkUntil(key, [&] { return Hero().GetUseTarget() == record; }))
			return false;
		Tap(SDL_SCANCODE_SPACE);
		return true;
	}
	bool FramesUntil(const std::function<bool()> &done, int maxFrames = kMaxFrames) { return world.FramesUntil(done, maxFrames); }
	void Tap(SDL_Scancode key) { world.Tap(key); }
	void ReadMessage()
	{
		// A press hurries the typing only while held; once typed, one closes.
		for (int press = 0; press < 30 && MessageUp(); press++) {
			Tap(SDL_SCANCODE_SPACE);
			world.Frames(20);
		}
	}
	MapObjectDef *Record(uint16_t id) { return world.scene->GetMap().FindEntityRecordById(id); }
	Entity *EntityOf(uint16_t id) { return Record(id)->entity; }
	template <class T> T *Find(uint16_t id) { return dynamic_cast<T *>(EntityOf(id)); }

	GameSceneTestWorld world;
};

} // namespace

TEST_F(ObjectsPlaythrough, WalksThroughEveryKindAndSavesAtTheFire)
{
	world.game.StartPlay(); // play has begun: the fireplace knows its map
	TalvexGameScene &scene = world.Begin();
	ASSERT_TRUE(world.UntilLoaded());
	ASSERT_STREQ("home", scene.GetLoadedAs());
	world.Frames(120); // the map's title
	ReadMessage();
	Entity *sword = EntityOf(kSword);
	Entity *axe = EntityOf(kAxe);
	auto *fire = Find<PropSaveSwitch>(kFire);
	auto *triangle = Find<PickupCollectable>(kTriangle);
	auto *cupboard = Find<PropCupboard>(kCupboard);
	auto *door = Find<PropDoor>(kDoor);
	auto *lockDoor = Find<PropDoor>(kLockDoor);
	auto *sign = Find<PropSign>(kSign);
	auto *plate = Find<PropSwitch>(kSwitch);
	auto *block = Find<PropBlockRaiseLower>(kBlock);
	for (const void *entity : {(const void *)sword, (const void *)axe, (const void *)fire, (const void *)triangle,
			 (const void *)cupboard, (const void *)door, (const void *)lockDoor, (const void *)sign, (const void *)plate,
			 (const void *)block})
		ASSERT_NE(entity, nullptr);
	const uint16_t triangleFlag = triangle->GetFlagId();
	const uint8_t coolerLevel = Hero().GetStats().capacityLevel;
	for (size_t i = 0; i < std::size(kSceneryKinds); i++) {
		auto *entity = dynamic_cast<MapEntity *>(EntityOf((uint16_t)(kFirstScenery + i)));
		ASSERT_NE(entity, nullptr) << "kind " << kSceneryKinds[i];
		EXPECT_EQ(entity->GetKind(), kSceneryKinds[i]);
	}
	EXPECT_FALSE(fire->IsLit()); // a fresh game has saved nowhere yet
	EXPECT_TRUE(lockDoor->IsLocked());

	// North up the lane. The coin, the cooler and the collectable are taken
	// and leave the map; their flags are set.
	ASSERT_TRUE(WalkUntil(SDL_SCANCODE_UP, [&] { return EntityOf(kCoin) == nullptr; }));
	EXPECT_TRUE(GameProgress::FlagId(HashName("playcoin")));
	ASSERT_TRUE(WalkUntil(SDL_SCANCODE_UP, [&] { return EntityOf(kCooler) == nullptr; }));
	EXPECT_EQ(Hero().GetStats().capacityLevel, coolerLevel + 1);
	ASSERT_TRUE(WalkUntil(SDL_SCANCODE_UP, [&] { return EntityOf(kTriangle) == nullptr; }));
	EXPECT_TRUE(GameProgress::FlagId(triangleFlag));
	// The sword, then the axe: the sword lies there again.
	ASSERT_TRUE(WalkUntil(SDL_SCANCODE_UP, [&] { return Hero().GetStats().heldKind == 43; }));
	EXPECT_FALSE(sword->IsActive());
	ASSERT_TRUE(WalkUntil(SDL_SCANCODE_UP, [&] { return Hero().GetStats().heldKind == 44; }));
	EXPECT_TRUE(sword->IsActive());
	EXPECT_FALSE(axe->IsActive());
	ReadMessage();

	// Into the cupboard and out again.
	ASSERT_TRUE(UseBy(SDL_SCANCODE_UP, kCupboard));
	ASSERT_TRUE(FramesUntil([&] { return !Hero().IsVisible(); }, 60)) << "the hero climbs in";
	EXPECT_FALSE(cupboard->IsOpen()); // pulled shut behind the hero
	world.Frames(30);
	EXPECT_FALSE(Hero().IsVisible());
	Tap(SDL_SCANCODE_SPACE);
	EXPECT_TRUE(Hero().IsVisible());
	EXPECT_TRUE(cupboard->IsOpen());
	EXPECT_LT(Where().z, cupboard->transform.position.z); // out in front of it
	world.Frames(30);

	// The door opens on use and stays open; the map remembers it.
	ASSERT_TRUE(UseBy(SDL_SCANCODE_UP, kDoor));
	EXPECT_TRUE(door->IsOpen());
	EXPECT_TRUE(scene.GetMap().IsGroupEnabled(kDoor));
	// The key; the locked door gives way to its blow.
	ASSERT_TRUE(WalkUntil(SDL_SCANCODE_UP, [&] { return Hero().GetStats().heldKind == 42; }));
	EXPECT_TRUE(axe->IsActive());
	ReadMessage();
	ASSERT_TRUE(WalkUntil(SDL_SCANCODE_UP, [&] { return Where().z <= lockDoor->transform.position.z + 1.6f; }));
	EXPECT_TRUE(lockDoor->IsLocked());
	world.Frames(60); // the pose of the key taken ends
	Tap(SDL_SCANCODE_SPACE);
	ASSERT_TRUE(FramesUntil([&] { return lockDoor->IsOpen(); }, 30));
	EXPECT_FALSE(lockDoor->IsLocked());
	EXPECT_TRUE(scene.GetMap().IsGroupEnabled(kLockDoor));

	// The sign: read, its line enables its group and it stands still.
	EXPECT_FALSE(scene.GetMap().IsGroupEnabled(kSign));
	ASSERT_TRUE(UseBy(SDL_SCANCODE_UP, kSign));
	ASSERT_TRUE(FramesUntil([&] { return MessageUp(); }, 30));
	EXPECT_EQ(Hud().GetMessageText(), kSignText);
	EXPECT_TRUE(scene.GetMap().IsGroupEnabled(kSign));
	ReadMessage();
	const glm::quat still = sign->transform.rotation;
	world.Frames(10);
	EXPECT_EQ(sign->transform.rotation, still);

	// Back south by the other lane, over the switch: the block sinks while
	// it is pressed and rises once the hero has walked on.
	ASSERT_TRUE(WalkToRow(5));
	ASSERT_TRUE(WalkToColumn(kBackLane));
	const float blockTop = block->transform.position.y;
	ASSERT_TRUE(WalkUntil(SDL_SCANCODE_DOWN, [&] { return plate->IsOn(); }));
	EXPECT_TRUE(block->IsLowered());
	ASSERT_TRUE(WalkToRow(18));
	EXPECT_FALSE(plate->IsOn());
	ASSERT_TRUE(FramesUntil([&] { return block->transform.position.y >= blockTop - 0.01f; }, 300));
	EXPECT_FALSE(block->IsLowered());

	// To the fireplace, and light it.
	ASSERT_TRUE(WalkToRow(kFireRow));
	ASSERT_TRUE(UseBy(SDL_SCANCODE_LEFT, kFire));
	EXPECT_TRUE(fire->IsLit());

	// The save file holds the map as the start, the coin's and the
	// collectable's flags and the bigger cooler.
	GameProgress saved;
	ASSERT_TRUE(GameProgress::ReadSlot(saved, 0));
	EXPECT_EQ(HashName("home"), saved.startMap);
	for (uint16_t flag : {HashName("playcoin"), triangleFlag})
		EXPECT_NE(std::find(saved.flags.begin(), saved.flags.end(), flag), saved.flags.end()) << flag;
	EXPECT_EQ(saved.stats.capacityLevel, coolerLevel + 1);

	// Putting the fire out gives back every heart; lighting it again saves
	// nothing new, so the file stays byte for byte as it was.
	const std::vector<uint8_t> before = TempFolder::ReadBytes(GameProgress::SaveFileName(0));
	ASSERT_FALSE(before.empty());
	ReadMessage();
	Hero().stats.hearts = 1;
	ASSERT_TRUE(UseBy(SDL_SCANCODE_LEFT, kFire));
	EXPECT_FALSE(fire->IsLit());
	EXPECT_EQ(Hero().GetStats().hearts, Hero().GetStats().maxHearts);
	ReadMessage();
	ASSERT_TRUE(UseBy(SDL_SCANCODE_LEFT, kFire));
	EXPECT_TRUE(fire->IsLit());
	EXPECT_EQ(before, TempFolder::ReadBytes(GameProgress::SaveFileName(0)));
	ReadMessage();

	// Round to the hut's door, and in: its map loads.
	ASSERT_TRUE(WalkToRow(kFireRow + 2));
	ASSERT_TRUE(WalkToColumn(2));
	ASSERT_TRUE(WalkUntil(SDL_SCANCODE_UP, [&] { return scene.IsMapLoading() || std::string(scene.GetLoadedAs()) != "home"; }));
	EXPECT_TRUE(world.UntilOn("playhut"));
}

TEST_F(ObjectsPlaythrough, AFireWhoseSaveCannotBeWrittenSaysSo)
{
	// The save folder would lie under a plain file, so it can never be made,
	// whoever runs the test.
	const std::string blocker = world.folder.Path("afile");
	TempFolder::WriteBytes(blocker, {1, 2, 3});
	const std::string folder = blocker + "/saves";
	GameProgress::SetSaveFolder(folder.c_str());
	world.game.StartPlay();
	TalvexGameScene &scene = world.Begin();
	ASSERT_TRUE(world.UntilLoaded());
	world.Frames(120);
	ReadMessage();
	auto *fire = Find<PropSaveSwitch>(kFire);
	ASSERT_NE(fire, nullptr);

	ASSERT_TRUE(WalkToColumn(kBackLane - 1));
	ASSERT_TRUE(WalkToRow(kFireRow));
	testing::internal::CaptureStdout();
	const bool offered = UseBy(SDL_SCANCODE_LEFT, kFire);
	const std::string log = testing::internal::GetCapturedStdout();
	ASSERT_TRUE(offered);
	EXPECT_TRUE(fire->IsLit());
	EXPECT_TRUE(MessageUp());
	EXPECT_EQ(Hud().GetMessageText(), PropSaveSwitch::kSaveFailedText);
	EXPECT_NE(log.find("Couldn't save the game at the fire on fire"), std::string::npos) << log;
	EXPECT_FALSE(TempFolder::Exists(GameProgress::SaveFileName(0)));
	EXPECT_EQ(HashName("home"), GameProgress::Current().startMap); // kept for the next save that works
	(void)scene;
}
