#include "engine/collision/CollisionChecker.h"

#include "engine/collision/Collider.h"
#include "engine/core/Entity.h"
#include "engine/core/Scene.h"

#include <gtest/gtest.h>

#include <glm/gtc/constants.hpp>

#include <memory>
#include <random>
#include <utility>
#include <vector>

// The checker tries only the pairs whose boxes share a cell of its ground
// grid. It must still meet exactly the pairs that trying every pair meets, in
// the same order and with the same push-outs, whatever the layout.

namespace {

using Meetings = std::vector<std::pair<int, int>>; // (who was told, of whom), in order
using Check = void (*)(Scene &scene);                // the one way a world is checked

// What a handler does, the first times its entity meets anyone: moves its
// own entity by its jump, or acts on a third one, which the grid cannot see.
enum class Act {
	kJump,   // moves itself by its jump
	kShove,  // moves the third entity by its jump
	kFetch,  // puts the third entity beside itself, however far it was
	kSwitch, // turns the third entity's mode to the next one, 1 included
	kGrow,   // makes the third entity's box three times as large
	kRemove, // takes the third entity out of the scene, or resumes it when paused
};

struct PieceSetup {
	Vec3 position, size;
	int32_t mode;
	float weight;
	bool turned;   // a quarter turn about Y
	Vec3 jump;     // how far its handler moves an entity
	bool reenters; // its first meeting runs a whole check of its own scene
	Act act = Act::kJump;
	uint16_t third = 0; // scene index of the entity it acts on
	bool paused = false;
};

class Piece : public Entity {
public:
	Piece(int id, const PieceSetup &setup, Meetings &log, Check check) : id(id), setup(setup), log(log), check(check)
	{
		transform.SetPosition(setup.position);
		if (setup.turned)
			transform.Rotate(glm::half_pi<float>(), Vec3(0, 1, 0));
		collider = new Collider(this, setup.size, Vec3(0, 0.5f * setup.size.y, 0));
		collider->mode = setup.mode;
		collider->weight = setup.weight;
	}
	void OnCollide(Entity *other) override
	{
		log.emplace_back(id, static_cast<Piece *>(other)->id);
		if (actsLeft > 0 && scene != nullptr) {
			--actsLeft;
			DoAct();
		}
		if (setup.reenters && !reentered && scene != nullptr) {
			reentered = true;
			check(*scene);
		}
	}

	void DoAct()
	{
		Entity *target = setup.act == Act::kJump ? this : scene->GetEntityAt(setup.third);
		if (target == nullptr)
			return;
		switch (setup.act) {
		case Act::kJump:
		case Act::kShove: target->transform.position += setup.jump; break;
		case Act::kFetch: target->transform.position = transform.position + setup.jump; break;
		case Act::kSwitch: target->collider->mode = (target->collider->mode + 1) % 5; break;
		case Act::kGrow: target->collider->size *= 3.0f; break;
		case Act::kRemove:
			if (target->lifeState == kLifePaused)
				target->SetActive(true);
			else
				scene->RemoveEntity(target);
			break;
		}
	}

	const int id;
	const PieceSetup setup;
	Meetings &log;
	const Check check;
	int actsLeft = 2;
	bool reentered = false;
};

// The scene built twice from one list, once for each way of checking.
struct World {
	World(const std::vector<PieceSetup> &setups, Check check)
	{
		for (const PieceSetup &setup : setups) {
			pieces.push_back(std::make_unique<Piece>(static_cast<int>(pieces.size()), setup, log, check));
			scene.AddEntity(pieces.back().get());
			if (setup.paused)
				pieces.back()->SetActive(false);
		}
	}
	Scene scene;
	Meetings log;
	std::vector<std::unique_ptr<Piece>> pieces;
};

bool TakesPart(const Entity *e)
{
	return e != nullptr && e->collider != nullptr && e->IsActive() && e->collider->mode != Collider::kModeIgnored;
}

// The check without the grid: every pair, in scene order, however many
// partners an entity meets.
void CheckEveryPair(Scene &scene)
{
	const uint16_t count = scene.GetEntityCount();
	for (uint16_t i = 0; i < count; ++i)
		ForgetContacts(scene.GetEntityAt(i));
	for (uint16_t i = 0; i < count; ++i) {
		Entity *a = scene.GetEntityAt(i);
		if (!TakesPart(a))
			continue;
		for (uint16_t j = static_cast<uint16_t>(i + 1); j < count; ++j) {
			// A handler may have taken A's collider away earlier in this row.
			Collider *ca = a->collider;
			if (!ca)
				break;
			Entity *b = scene.GetEntityAt(j);
			if (b == a || !TakesPart(b))
				continue;
			Collider *cb = b->collider;
			if ((ca->mode < Collider::kModeStatic && cb->mode < Collider::kModeStatic) || !cb->Intersects(ca))
				continue;
			ca->contacts.push_back(b);
			cb->contacts.push_back(a);
			if (ca->mode >= Collider::kModeSolid && cb->mode >= Collider::kModeStatic)
				ca->Resolve(cb);
			if (cb->mode >= Collider::kModeSolid && ca->mode >= Collider::kModeStatic)
				cb->Resolve(ca);
			a->OnCollide(b);
			b->OnCollide(a);
		}
	}
}

void CheckWithGrid(Scene &scene)
{
	CollisionChecker::Get()->Check(&scene);
}

std::vector<int> ContactIds(const Piece &piece)
{
	std::vector<int> ids;
	for (const Entity *partner : piece.collider->contacts)
		ids.push_back(static_cast<const Piece *>(partner)->id);
	return ids;
}

// Layouts drawn from a seed. Sizes stay small unless a row asks for huge
// ones; the modes and weights are drawn from all there are.
struct Draw {
	float spread;    // positions over -spread..spread on X and Z
	float largest;   // edge of the largest ordinary box
	int count;
	int huge;        // boxes of 20 to 60 units among them
	bool onBorders;  // faces exactly on cell borders
	float jumpReach; // handlers move an entity up to this far
	bool reentry;    // one handler runs a check of its own
	Act act = Act::kJump;
};

std::vector<PieceSetup> Generate(const Draw &draw, unsigned seed)
{
	std::mt19937 random(seed);
	auto uniform = [&](float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); };
	auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
	const float weights[] = { 0.5f, 1.0f, 2.0f };
	std::vector<PieceSetup> setups;
	for (int i = 0; i < draw.count; i++) {
		PieceSetup setup;
		setup.position = Vec3(uniform(-draw.spread, draw.spread), uniform(0.0f, 1.0f), uniform(-draw.spread, draw.spread));
		setup.size = Vec3(uniform(0.2f, draw.largest), uniform(0.5f, 2.0f), uniform(0.2f, draw.largest));
		if (draw.onBorders) {
			// A unit footprint whose faces lie on multiples of the cell side.
			setup.size = Vec3(1.0f, 1.0f, 1.0f);
			setup.position.x = 2.0f * static_cast<float>(pick(9) - 4) + (pick(2) == 0 ? 0.5f : -0.5f);
			setup.position.z = 2.0f * static_cast<float>(pick(9) - 4) + (pick(2) == 0 ? 0.5f : 1.5f);
		}
		if (i < draw.huge)
			setup.size = Vec3(uniform(20.0f, 60.0f), 1.0f, uniform(1.0f, 60.0f));
		setup.mode = pick(5);
		setup.weight = weights[pick(3)];
		setup.turned = pick(2) == 1;
		setup.jump = Vec3(uniform(-draw.jumpReach, draw.jumpReach), 0.0f, uniform(-draw.jumpReach, draw.jumpReach));
		setup.reenters = draw.reentry && i == draw.count / 3;
		if (draw.act != Act::kJump) {
			setup.act = draw.act;
			setup.third = static_cast<uint16_t>(pick(draw.count));
			setup.paused = draw.act == Act::kRemove && pick(3) == 0;
		}
		setups.push_back(setup);
	}
	// The huge ones among the others, not all first.
	std::shuffle(setups.begin(), setups.end(), random);
	// A paused piece waits where the one before it stands, so that resumed
	// it meets an entity whose pairs are still to come.
	for (size_t i = 1; i < setups.size(); i++) {
		if (setups[i].paused)
			setups[i].position = setups[i - 1].position;
	}
	return setups;
}

} // namespace

TEST(CollisionGrid, MeetsTheSamePairsInTheSameOrderAsTryingEveryPair)
{
	struct Row {
		const char *name;
		Draw draw;
	};
	const Row rows[] = {
		{ "scattered over both signs of X and Z", { 30.0f, 2.5f, 160, 0, false, 0.0f, false } },
		{ "faces on cell borders", { 0.0f, 1.0f, 120, 0, true, 0.0f, false } },
		{ "huge boxes among small", { 40.0f, 2.0f, 150, 6, false, 0.0f, false } },
		{ "a packed pile pushed far across cells", { 4.0f, 3.5f, 90, 0, false, 0.0f, false } },
		{ "handlers move their own entity", { 12.0f, 2.0f, 120, 0, false, 7.0f, false } },
		{ "a crowd on one spot, each meeting dozens", { 0.4f, 1.0f, 70, 0, false, 0.0f, false } },
		{ "a handler checks the scene again", { 6.0f, 2.0f, 80, 1, false, 3.0f, true } },
		{ "handlers shove a third entity across cells", { 12.0f, 2.0f, 120, 0, false, 7.0f, false, Act::kShove } },
		{ "handlers fetch a far entity into touch", { 30.0f, 2.0f, 120, 0, false, 0.5f, false, Act::kFetch } },
		{ "handlers switch a third entity's mode", { 12.0f, 2.0f, 120, 0, false, 0.0f, false, Act::kSwitch } },
		{ "handlers grow a third entity's box", { 12.0f, 2.0f, 120, 0, false, 0.0f, false, Act::kGrow } },
		{ "handlers remove an entity or resume a paused one", { 12.0f, 2.0f, 120, 0, false, 0.0f, false, Act::kRemove } },
	};
	CollisionChecker checker;
	for (const Row &row : rows) {
		for (unsigned seed = 1; seed <= 3; seed++) {
			SCOPED_TRACE(testing::Message() << row.name << ", seed " << seed);
			const std::vector<PieceSetup> setups = Generate(row.draw, seed);
			World every(setups, CheckEveryPair), grid(setups, CheckWithGrid);
			// A few checks in a row, each starting where the last left off.
			for (int frame = 0; frame < 3; frame++) {
				SCOPED_TRACE(testing::Message() << "check " << frame);
				CheckEveryPair(every.scene);
				CheckWithGrid(grid.scene);
				ASSERT_FALSE(every.log.empty());
				ASSERT_EQ(every.log, grid.log);
				for (size_t k = 0; k < setups.size(); k++) {
					const Vec3 &expected = every.pieces[k]->transform.position;
					const Vec3 &actual = grid.pieces[k]->transform.position;
					ASSERT_TRUE(expected.x == actual.x && expected.y == actual.y && expected.z == actual.z)
						<< "piece " << k << " ends elsewhere";
					ASSERT_EQ(ContactIds(*every.pieces[k]), ContactIds(*grid.pieces[k])) << "piece " << k;
				}
			}
		}
	}
}
