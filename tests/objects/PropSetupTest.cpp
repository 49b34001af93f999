#include "engine/collision/Collider.h"
#include "engine/core/NameHash.h"
#include "engine/render/Model3D.h"
#include "objects/Shadow.h"
#include "support/EntityLookCheck.h"
#include "support/ObjectTestWorld.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <typeinfo>

using namespace objecttest;

namespace {

constexpr uint16_t kId = 3;
constexpr const char *kStandardShader = "shaders/standard.dsh";

// What one placement sets up at its start.
struct SetupCase {
	uint32_t kind;
	const char *name;
	const std::type_info &type;
	const char *model;   // null: the class keeps its models to itself
	const char *texture;
	float modelScale;
	int32_t colliderMode;
	Vec3 colliderSize;
	Vec3 colliderOffset;
	float colliderWeight;
	float radius;
	float shadowSize;
	float shadowStretch;
	float shadowLift;
};

const Model3D *ModelOf(MapEntity *entity)
{
	if (auto *prop = dynamic_cast<Prop *>(entity))
		return &prop->model;
	if (auto *plate = dynamic_cast<PropSwitch *>(entity))
		return &plate->GetModel();
	return nullptr;
}

void ExpectVec3(const Vec3 &actual, const Vec3 &expected)
{
	EXPECT_NEAR(actual.x, expected.x, 1e-5f);
	EXPECT_NEAR(actual.y, expected.y, 1e-5f);
	EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

TEST(PropSetup, EachKindSetsUpItsClassModelColliderAndShadow)
{
	const Vec3 zero(0.0f);
	const float lift = 0.01f; // the shadow's own
	const SetupCase cases[] = {
		{4, "plate", typeid(PropSwitch), "models/switch.iqm", "mats/switch_off_blue.png", 1.0f, 2, Vec3(0.2f, 0.5f, 0.2f),
		 Vec3(0.0f, 0.5f, 0.0f), 1.0f, 0.2f, 0.0f, 1.0f, lift},
		{5, "rock", typeid(PropBlockLower), "models/rockblock.iqm", "mats/rock-red.png", 1.0f, 3, Vec3(2.0f, 0.9f, 2.0f),
		 Vec3(0.0f, 1.0f, 0.0f), 1000.0f, 1.1f, 0.0f, 1.0f, lift},
		{6, "rock", typeid(PropBlockRaise), "models/rockblock.iqm", "mats/rock-red.png", 1.0f, 1, Vec3(2.0f, 0.9f, 2.0f),
		 Vec3(0.0f, 1.0f, 0.0f), 1000.0f, 1.1f, 0.0f, 1.0f, lift},
		// No "unlock" line: nothing keeps the lock door shut, so it stands open.
		{7, "vault", typeid(PropLockDoor), "models/lockdoor.iqm", "models/lockdoor.png", 1.0f, 1, Vec3(2.0f, 2.0f, 0.6f),
		 Vec3(0.0f, 1.0f, 0.0f), 10000.0f, 0.9f, 0.0f, 1.0f, lift},
		{9, "orchardhut", typeid(PropHut), "models/hut.iqm", "models/hut.png", 1.0f, 3, Vec3(2.1f, 1.0f, 1.2f), zero, 1.0f,
		 1.0f, 3.75f, 1.3f, lift},
		{9, "hutstore", typeid(PropHut), "models/hutstore.iqm", "models/hut.png", 1.0f, 3, Vec3(2.1f, 1.0f, 1.2f), zero,
		 1.0f, 1.0f, 3.75f, 1.3f, lift},
		{10, "table", typeid(PropTable), "models/table.iqm", "mats/wooddarkb.png", 1.0f, 3, Vec3(1.2f, 1.0f, 1.5f),
		 Vec3(0.0f, 0.25f, 0.0f), 1.0f, 1.1f, 3.0f, 1.0f, lift},
		{11, nullptr, typeid(PropShelf), "models/shelf.iqm", "mats/shelf.png", 1.0f, 3, Vec3(2.2f), Vec3(0.0f, 1.1f, 0.0f),
		 1.0f, 1.1f, 2.0f, 1.0f, lift},
		{12, nullptr, typeid(PropCupboard), "models/cupboard.iqm", "mats/wooddarkb.png", 1.0f, 3, Vec3(2.0f),
		 Vec3(0.0f, 1.0f, 0.0f), 1.0f, 1.0f, 0.0f, 1.0f, lift},
		{13, nullptr, typeid(PropBench), "models/bench.iqm", "mats/wooddarkb.png", 1.0f, 3, Vec3(2.0f),
		 Vec3(0.0f, 0.25f, 0.0f), 1.0f, 1.0f, 0.0f, 1.0f, lift},
		{14, nullptr, typeid(PropBed), "models/bed.iqm", "mats/bed.png", 1.0f, 3, Vec3(1.5f, 0.75f, 2.0f), zero, 1.0f, 1.0f,
		 2.9f, 1.0f, lift},
		{15, "table", typeid(PropScroll), "models/scroll.iqm", "mats/scroll.png", 0.6f, 2, Vec3(2.0f), zero, 1.0f, 1.0f,
		 0.0f, 1.0f, lift},
		{15, "ground news", typeid(PropScroll), "models/scroll.iqm", "mats/scroll-news.png", 0.7f, 2, Vec3(1.9f), zero,
		 1.0f, 1.0f, 0.0f, 1.0f, lift},
		{15, "recipe", typeid(PropScroll), "models/scroll.iqm", "mats/scroll.png", 0.7f, 2, Vec3(1.9f), zero, 1.0f, 1.0f,
		 0.0f, 1.0f, lift},
		{16, "door", typeid(PropDoor), "models/door.iqm", "mats/woodboard.png", 1.0f, 3, Vec3(2.0f, 2.0f, 0.6f),
		 Vec3(0.0f, 1.0f, 0.0f), 10000.0f, 0.9f, 0.0f, 1.0f, lift},
		{17, "gate", typeid(PropGate), "models/gate.iqm", "mats/woodboard.png", 1.0f, 3, Vec3(2.0f, 2.0f, 0.6f),
		 Vec3(0.0f, 1.0f, 0.0f), 10000.0f, 0.9f, 0.0f, 1.0f, lift},
		{18, "sign", typeid(PropSign), "models/sign.iqm", "mats/woodboard.png", 1.0f, 3, Vec3(1.44f),
		 Vec3(0.0f, 0.72f, 0.0f), 1.0f, 0.72f, 0.5f, 1.0f, lift},
		{19, "bridge", typeid(PropBridge), "models/plank.iqm", "mats/wooddarkb.png", 1.0f, 3, Vec3(2.0f, 0.2f, 2.0f),
		 Vec3(0.0f, 2.0f, 0.0f), 1000.0f, 1.1f, 2.0f, 1.0f, 0.02f},
		{20, "obelisk", typeid(PropObelisk), "models/obelisk.iqm", "models/obelisk_off.png", 1.0f, 3, Vec3(2.0f),
		 Vec3(0.0f, 0.6f, 0.0f), 1.0f, 0.2f, 0.0f, 1.0f, lift},
		{22, "fire", typeid(PropSaveSwitch), nullptr, nullptr, 1.0f, 3, Vec3(0.3f, 0.5f, 0.3f), Vec3(0.0f, 0.5f, 0.0f),
		 1.0f, 0.5f, 0.0f, 1.0f, lift},
		{25, "gate", typeid(PropBlackGate), "models/gatebk.iqm", "mats/blackrock.png", 1.0f, 3, Vec3(2.0f, 2.0f, 0.6f),
		 Vec3(0.0f, 1.0f, 0.0f), 10000.0f, 0.9f, 0.0f, 1.0f, lift},
		{37, "coin3", typeid(PickupDragonCoin), "models/dragoncoin.iqm", "models/dragoncoin.png", 0.7f, 2, Vec3(1.0f),
		 Vec3(0.0f, 0.5f, 0.0f), 1.0f, 0.5f, 0.75f, 1.0f, lift},
		{40, "tri2", typeid(PickupCollectable), "models/tri.iqm", "mats/tri.png", 0.5f, 2, Vec3(1.0f),
		 Vec3(0.0f, 0.5f, 0.0f), 1.0f, 0.5f, 0.75f, 1.0f, lift},
		{42, "key", typeid(PickupKey), "models/key.iqm", "models/key.png", 1.0f, 2, Vec3(1.0f), Vec3(0.0f, 0.5f, 0.0f),
		 1.0f, 0.5f, 0.75f, 1.0f, lift},
		{59, "roof", typeid(PropRoof), "models/roof.iqm", "mats/woodboard.png", 1.0f, 3, Vec3(2.0f, 0.2f, 2.0f), zero,
		 1000.0f, 1.1f, 2.0f, 1.0f, 0.02f},
	};
	for (const SetupCase &c : cases) {
		SCOPED_TRACE(std::to_string(c.kind) + " " + (c.name != nullptr ? c.name : "(unnamed)"));
		ObjectTestWorld world;
		// The blocks follow group 4 (red, off); the others show without a flag.
		const bool block = c.kind == 5 || c.kind == 6;
		world.Place(c.kind, 4, 4, kId, c.name, block ? 4 : 0);
		world.Load();
		MapEntity *entity = world.EntityOf(kId);
		ASSERT_NE(entity, nullptr);
		EXPECT_EQ(typeid(*entity), c.type);
		EXPECT_EQ(entity->GetKind(), c.kind);
		EXPECT_FLOAT_EQ(entity->radius, c.radius);
		ASSERT_NE(entity->collider, nullptr);
		EXPECT_EQ(entity->collider->mode, c.colliderMode);
		ExpectVec3(entity->collider->size, c.colliderSize);
		ExpectVec3(entity->collider->offset, c.colliderOffset);
		EXPECT_FLOAT_EQ(entity->collider->weight, c.colliderWeight);
		EXPECT_FLOAT_EQ(entity->shadowSize, c.shadowSize);
		EXPECT_FLOAT_EQ(entity->shadow->aspect, c.shadowStretch);
		EXPECT_FLOAT_EQ(entity->shadow->heightOffset, c.shadowLift);
		if (c.kind != PropSaveSwitch::kKind) { // never runs the map entity's physics
			EXPECT_EQ(entity->followsGround, 0);
		}
		if (c.model == nullptr)
			continue;
		const Model3D *model = ModelOf(entity);
		ASSERT_NE(model, nullptr);
		EXPECT_EQ(model->GetKey(), ModelReaderKey(c.model, c.model));
		EXPECT_FLOAT_EQ(model->GetTransform().scale.x, c.modelScale);
		EXPECT_EQ(model->GetMaterial().GetKey(), static_cast<uint16_t>(HashName(c.texture) + HashName(kStandardShader)));
		EXPECT_TRUE(NamesLookOf(*entity, *model));
	}
}

TEST(PropSetup, FurnitureTakesItsPlaceOnTheMap)
{
	ObjectTestWorld world;
	world.Place(10, 2, 2, 1, "table");
	world.Place(19, 4, 2, 2, "bridge");
	world.Place(59, 6, 2, 3, "roof");
	world.Place(15, 8, 2, 4, "table");
	world.Place(15, 8, 4, 5, "recipe");
	world.Load();
	EXPECT_FLOAT_EQ(world.EntityOf(1)->transform.scale.y, 0.7f);            // the table's low top
	EXPECT_FLOAT_EQ(world.EntityOf(2)->transform.position.y, world.map.LevelHeight(1));
	ExpectVec3(world.Find<Prop>(2)->renderOffset, Vec3(0.0f, 2.0f, 0.0f));   // the plank drawn lifted
	EXPECT_FLOAT_EQ(world.EntityOf(3)->transform.position.y, world.map.LevelHeight(5));
	// The scroll on the table moved onto its top and gave up its name, so
	// the name finds nothing any more; the loose scroll keeps its own.
	const Vec3 tile = world.map.TilePosition(8, 2, 0.5f, 0.5f);
	ExpectVec3(world.EntityOf(4)->transform.position, tile + Vec3(0.4f, 1.0f, -0.4f));
	EXPECT_EQ(world.map.FindEntityRecordByKeyName("table"), world.map.FindEntityRecordById(1));
	EXPECT_FALSE(world.EntityOf(4)->mapObject->name.IsSet());
	EXPECT_EQ(world.EntityOf(4)->mapObject->key, 0);
	EXPECT_NE(world.map.FindEntityRecordByKeyName("recipe"), nullptr);
	EXPECT_FALSE(MapEntity::EmptyMapObject().name.IsSet());
}

TEST(ModelProp, NamesTheMissingModelOrTextureAndStaysASolidBox)
{
	struct Case {
		const char *name;
		const char *objectName;
		bool model;
		bool texture;
		const char *logged; // null: nothing missing
		int32_t mode;
	};
	const Case cases[] = {
		{"both", "well", true, true, nullptr, Collider::kModeIgnored},
		{"texture only", "well", false, true, "No model found on well\n ", Collider::kModeStatic},
		{"model only", "cart", true, false, "No texture found on cart\n ", Collider::kModeStatic},
		{"unnamed", nullptr, false, false, "No model found on \n ", Collider::kModeStatic},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.name);
		ObjectTestWorld world;
		const uint16_t model = world.AddMessage("models/well.iqm");
		const uint16_t texture = world.AddMessage("mats/well.png");
		MapObjectDef &record = world.Place(63, 3, 3, kId, c.objectName);
		if (c.texture)
			world.AddCommand(record, kCmdTexture, texture);
		if (c.model)
			world.AddCommand(record, kCmdModel, model);
		testing::internal::CaptureStdout();
		world.Load();
		const std::string log = testing::internal::GetCapturedStdout();
		auto *prop = world.Find<ModelProp>(kId);
		ASSERT_NE(prop, nullptr);
		EXPECT_EQ(prop->collider->mode, c.mode);
		EXPECT_EQ(log.find("(null)"), std::string::npos);
		if (c.logged == nullptr) {
			EXPECT_EQ(log.find("found on"), std::string::npos);
			EXPECT_EQ(prop->model.GetKey(), ModelReaderKey("models/well.iqm", "models/well.iqm"));
			EXPECT_EQ(prop->killable, 0);
		} else {
			EXPECT_NE(log.find(c.logged), std::string::npos) << log;
			EXPECT_EQ(log.find("found on", log.find(c.logged) + strlen(c.logged)), std::string::npos) << "one message only";
		}
	}
}

TEST(PropSign, FindsItsTextThroughTheScriptAndSwaysUntilItIsRead)
{
	ObjectTestWorld world;
	// The sign's script: "if" group 9 -> object 20 says it; else "then" 21 -> 22 says.
	MapObjectDef &sign = world.Place(18, 3, 3, 5, "sign");
	world.AddCommand(sign, kCmdIf, 20, 9);
	world.AddCommand(sign, kCmdThen, 21);
	MapObjectDef &hop = world.AddObject(21);
	world.AddCommand(hop, kCmdThen, 22);
	MapObjectDef &text = world.AddObject(22);
	world.AddCommand(text, kCmdSay, world.AddMessage("Keep off the grass."));
	MapObjectDef &other = world.AddObject(20);
	world.AddCommand(other, kCmdSay, world.AddMessage("Welcome."));
	world.Load();
	auto *post = world.Find<PropSign>(5);
	ASSERT_NE(post, nullptr);
	ASSERT_NE(post->GetMessageObject(), nullptr);
	EXPECT_EQ(post->GetMessageObject()->id, 22);
	EXPECT_EQ(post->GetMessageGroup(), 22);

	const glm::quat rest = post->transform.rotation;
	world.Frames(3);
	EXPECT_GT(glm::length(glm::vec4(post->transform.rotation.x - rest.x, post->transform.rotation.y - rest.y,
		post->transform.rotation.z - rest.z, post->transform.rotation.w - rest.w)), 1e-4f);
	world.map.SetGroupFlag(22, true); // read: the map remembers its group
	const glm::quat still = post->transform.rotation;
	world.Frames(3);
	EXPECT_EQ(post->transform.rotation, still);

	// With group 9 on, the first branch decides.
	world.map.SetGroupFlag(9, true);
	EXPECT_EQ(world.map.FindSayObject(world.map.FindEntityRecordById(5))->id, 20);
}

TEST(PropSign, GivesUpAfterFourJumps)
{
	for (int jumps = 3; jumps <= 5; jumps++) {
		SCOPED_TRACE(jumps);
		ObjectTestWorld world;
		MapObjectDef &sign = world.Place(18, 3, 3, 5, "sign");
		world.AddCommand(sign, kCmdThen, 30);
		for (int i = 0; i < jumps - 1; i++) {
			MapObjectDef &hop = world.AddObject(static_cast<uint16_t>(30 + i));
			world.AddCommand(hop, kCmdThen, static_cast<uint16_t>(31 + i));
		}
		MapObjectDef &text = world.AddObject(static_cast<uint16_t>(30 + jumps - 1));
		world.AddCommand(text, kCmdSay, world.AddMessage("Far away."));
		world.Load();
		EXPECT_EQ(world.Find<PropSign>(5)->GetMessageObject() != nullptr, jumps <= TileMap::kMaxSayHops);
	}
}

TEST(PropCupboard, SoundsOnlyWhenItsDoorChanges)
{
	ObjectTestWorld world;
	world.Place(12, 3, 3, 5);
	world.Load();
	auto *cupboard = world.Find<PropCupboard>(5);
	ASSERT_NE(cupboard, nullptr);
	EXPECT_FALSE(cupboard->IsOpen());
	EXPECT_TRUE(world.sounds.names.empty()); // shut at the start, silently
	cupboard->SetOpen(true);
	cupboard->SetOpen(true);
	EXPECT_EQ(world.sounds.Count(PropCupboard::kOpenSound), 1u);
	cupboard->SetOpen(false);
	EXPECT_EQ(world.sounds.names, std::vector<std::string>({PropCupboard::kOpenSound, PropCupboard::kShutSound}));
	EXPECT_FALSE(cupboard->IsOpen());
}

} // namespace
