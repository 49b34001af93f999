// Townsfolk: their looks and voices, the floor they never sink below, who
// faces the player, and the smith who turns dark until he has joined.
#include "map/MapCommand.h"
#include "objects/ActorRegistry.h"
#include "objects/FacingBehaviour.h"
#include "objects/FleeBehaviour.h"
#include "objects/NPCLocksmith.h"
#include "objects/NPCOracle.h"
#include "objects/NPCTemptress.h"
#include "objects/NPCTinsmith.h"
#include "objects/NPCTownee.h"
#include "objects/NPCWoodsmith.h"
#include "objects/Party.h"
#include "support/EntityLookCheck.h"
#include "support/ObjectTestWorld.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using objecttest::ObjectTestWorld;

TEST(NPCLook, TowneeFigureComesFromItsNameOrGroup)
{
	struct Row {
		const char *name; // null: unnamed
		uint16_t id;      // low byte: the group
		int variant;      // -1: a figure of its own
		const char *model;
		const char *texture;
	};
	const Row rows[] = {
		{"pilgrim", 9, -1, "models/npc-pl.iqm", "models/npc-pl.png"},
		{"quarryman", 9, -1, "models/npc-qr.iqm", "models/npc-qr.png"},
		{"frere", 9, -1, "models/npc-fr.iqm", "models/npc-fr.png"},
		{"Prieur", 9, -1, "models/npc-fr.iqm", "models/npc-fr.png"},
		{"abbe", 9, -1, "models/npc-fr.iqm", "models/npc-fr.png"},
		{"moine", 9, -1, "models/npc-fr.iqm", "models/npc-fr.png"},
		{nullptr, 0x0203, 3, "models/townee1.iqm", "models/townee2.png"},
		{nullptr, 0x0104, 4, "models/townee2.iqm", "models/townee3.png"},
		// 2 + ('B' - 64) + ('o' - 64) + ('b' - 64) = 85.
		{"Bob", 9, 85, "models/townee2.iqm", "models/townee1.png"},
		// Only the first three letters count.
		{"Bobbin", 9, 85, "models/townee2.iqm", "models/townee1.png"},
		{"A", 9, 3, "models/townee1.iqm", "models/townee2.png"},
		// Digits and blanks lie below '@': the sum goes negative, the
		// remainders do not.
		{"12", 9, -27, "models/townee1.iqm", "models/townee3.png"},
		{"1 1", 9, -60, "models/townee1.iqm", "models/townee1.png"},
		{"\xE9t\xE9", 9, -120, "models/townee1.iqm", "models/townee1.png"},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name != nullptr ? row.name : "unnamed");
		MapObjectDef placement;
		placement.id = row.id;
		if (row.name != nullptr)
			placement.name = MapName(row.name);
		if (row.variant != -1) {
			EXPECT_EQ(NPCTownee::VariantNumber(placement), row.variant);
		}
		char model[NPCTownee::kLookChars] = {};
		char texture[NPCTownee::kLookChars] = {};
		NPCTownee::ChooseLook(placement, model, texture);
		EXPECT_STREQ(model, row.model);
		EXPECT_STREQ(texture, row.texture);
	}
}

TEST(NPCClasses, EachKindBuildsItsTownspersonWithItsVoice)
{
	struct Row {
		uint32_t kind;
		bool (*isClass)(MapEntity *);
		const char *voice;
		uint8_t variants;
	};
	const Row rows[] = {
		{26, [](MapEntity *e) { return dynamic_cast<NPCTownee *>(e) != nullptr; }, "sfx/vox-smith%d.wav", 5},
		{27, [](MapEntity *e) { return dynamic_cast<NPCOracle *>(e) != nullptr; }, "sfx/vox-leader%d.wav", 2},
		{28, [](MapEntity *e) { return dynamic_cast<NPCTinsmith *>(e) != nullptr; }, "sfx/vox-black%d.wav", 2},
		{29, [](MapEntity *e) { return dynamic_cast<NPCWoodsmith *>(e) != nullptr; }, "sfx/vox-smith%d.wav", 3},
		{30, [](MapEntity *e) { return dynamic_cast<NPCLocksmith *>(e) != nullptr; }, "sfx/vox-smith%d.wav", 3},
		{31, [](MapEntity *e) { return dynamic_cast<NPCTemptress *>(e) != nullptr; }, "sfx/vox-tempt%d.wav", 2},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE("kind " + std::to_string(row.kind));
		std::unique_ptr<MapEntity> made(MapEntityFactory::CreateByKind(row.kind));
		ASSERT_TRUE(made != nullptr && row.isClass(made.get()));
		const NPCActor &npc = static_cast<const NPCActor &>(*made);
		EXPECT_EQ(npc.GetFaction(), kFactionTownsfolk);
		EXPECT_EQ(npc.dropsEnabled, 0);
		EXPECT_FLOAT_EQ(npc.stepDistance, 1.5f);
		EXPECT_STREQ(npc.soundSets[Actor::kSpeechVoice].pattern, row.voice);
		EXPECT_EQ(npc.soundSets[Actor::kSpeechVoice].count, row.variants);
	}
}

class NPCOnMap : public ::testing::Test {
protected:
	~NPCOnMap() override
	{
		Party::Instance().Clear();
		ActorRegistry::Clear();
	}
	template <class T> T *Npc(uint16_t id) { return world.Find<T>(id); }
	ActorBehaviour *Top(Actor *actor)
	{
		const size_t count = actor->GetBehaviourCount();
		return count != 0 ? actor->GetBehaviourAt(count - 1) : nullptr;
	}

	ObjectTestWorld world;
};

TEST_F(NPCOnMap, NeverSinksBelowTheFloorHeight)
{
	MapTile hole;
	hole.kind = kTileFlat;
	world.loader.built.tiles[3 * ObjectTestWorld::kWidth + 3] = hole;
	world.Place(26, 3, 3, 1, "pilgrim");
	world.Load();
	NPCTownee *townee = Npc<NPCTownee>(1);
	ASSERT_NE(townee, nullptr);
	EXPECT_TRUE(NamesLookOf(*townee, townee->model));
	world.Frames(40);
	EXPECT_FLOAT_EQ(townee->transform.position.y, NPCActor::kLowestHeight);
}

TEST_F(NPCOnMap, FacesThePlayerOnlyWithSomethingToSay)
{
	const uint16_t hello = world.AddMessage("Hello there.");
	MapObjectDef &talker = world.Place(26, 2, 2, 0x0101, "talker");
	world.AddCommand(talker, kCmdSay, hello);
	world.Place(26, 4, 2, 0x0102, "mute");
	MapObjectDef &done = world.Place(26, 6, 2, 0x0103, "done");
	world.AddCommand(done, kCmdSay, hello);
	world.Load();
	world.map.SetGroupFlag(3, true);
	world.Load(); // "done" has said its piece: its group stays open

	NPCTownee *talkerNpc = Npc<NPCTownee>(0x0101);
	NPCTownee *muteNpc = Npc<NPCTownee>(0x0102);
	NPCTownee *doneNpc = Npc<NPCTownee>(0x0103);
	ASSERT_NE(talkerNpc, nullptr);
	ASSERT_NE(muteNpc, nullptr);
	ASSERT_NE(doneNpc, nullptr);
	EXPECT_NE(dynamic_cast<FacingBehaviour *>(Top(talkerNpc)), nullptr);
	EXPECT_EQ(talkerNpc->sayObject, world.map.FindEntityRecordById(0x0101));
	EXPECT_EQ(muteNpc->GetBehaviourCount(), 0u);
	EXPECT_EQ(muteNpc->sayObject, nullptr);
	EXPECT_EQ(doneNpc->GetBehaviourCount(), 0u);
}

TEST_F(NPCOnMap, NoMapMeansNothingIsLookedUp)
{
	NPCTownee loose;
	loose.ResetState();
	EXPECT_EQ(loose.sayObject, nullptr);
	EXPECT_EQ(loose.GetBehaviourCount(), 0u);
	NPCTinsmith smith;
	smith.Start();
	EXPECT_EQ(smith.GetFaction(), kFactionTownsfolk);
	EXPECT_EQ(smith.GetBehaviourCount(), 0u);
}

TEST_F(NPCOnMap, SmithWithAFleeLineTurnsDarkUntilHeJoins)
{
	for (bool member : {false, true}) {
		SCOPED_TRACE(member ? "party member" : "not yet recruited");
		world.link.flagIds.clear();
		if (member)
			world.link.SetFlagId(Party::FlagId(NPCTinsmith::kKind), true);
		world.loader.built.entityRecords.clear();
		world.loader.built.commands.clear();
		MapObjectDef &smith = world.Place(28, 5, 5, 1, "smith");
		world.AddCommand(smith, kCmdFlee, 2);
		world.Load();
		NPCTinsmith *npc = Npc<NPCTinsmith>(1);
		ASSERT_NE(npc, nullptr);
		FleeBehaviour *flee = dynamic_cast<FleeBehaviour *>(Top(npc));
		EXPECT_EQ(flee != nullptr, !member);
		if (flee != nullptr) {
			EXPECT_EQ(flee->directionCode, 2u);
		}
		const uint8_t side = member ? kFactionTownsfolk : kFactionHostile;
		EXPECT_EQ(npc->GetFaction(), side);
		EXPECT_EQ(npc->rememberedFaction, side);
		EXPECT_TRUE(NamesLookOf(*npc, npc->model));
	}
}

} // namespace
