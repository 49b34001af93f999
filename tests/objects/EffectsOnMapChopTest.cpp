// The hero's blows on trees and grass, on the effects test map: a real swing
// whose strike effect reaches the plant through the collision checker.
#include "engine/render/ShaderPass.h"
#include "objects/EffectsMapWorld.h"
#include "objects/ItemKinds.h"
#include "objects/PropGrass.h"
#include "objects/PropTree.h"

namespace effectsmap {
namespace {

TEST_F(EffectsOnMap, AxeChopsATreeAndTheSwordCutsGrass)
{
	struct Row {
		const char *what;
		uint32_t held;
		uint32_t kind;
		bool falls; // chopped or cut
	};
	const Row rows[] = {
		{"the axe on a tree", ItemKinds::kAxe, PropTree::kKind, true},
		{"the sword on grass", ItemKinds::kSword, PropGrass::kKind, true},
		{"the sword on a tree", ItemKinds::kSword, PropTree::kKind, false},
	};
	const Tile plant{4, 8};
	const Tile hero{4, 9};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		LoadMap(Object(60, row.kind, plant));
		PlaceHero(hero);
		player.Hold(row.held, nullptr);
		player.facing = Vec3(0.0f, 0.0f, -1.0f); // north, at the plant
		player.transform.rotation = LookRotation(player.facing, Vec3(0.0f, 1.0f, 0.0f));
		MapEntity *target = Find<MapEntity>(60);
		ASSERT_NE(target, nullptr);
		auto *tree = dynamic_cast<PropTree *>(target);
		if (tree != nullptr) {
			// Its tint reaches the tree shader as the material colour.
			tree->Render();
			Material *material = tree->model.GetMaterial().Get();
			EXPECT_EQ(material->GetColor(), PropTree::TintColour(tree->tint));
			ShaderPass *pass = material->Bind(0);
			ASSERT_NE(pass, nullptr);
			EXPECT_NE(pass->program, 0u);
			EXPECT_GE(pass->GetUniform(kUniformColor), 0);
		}
		target->hurtTimer = 0.0f;
		Press(SDL_SCANCODE_SPACE);
		Frame();
		Release(SDL_SCANCODE_SPACE);
		bool shook = false;
		auto fallen = [&] {
			shook = shook || (tree != nullptr && tree->shakeTimer > 0.0f);
			return tree != nullptr ? tree->IsChopped() : !target->IsActive();
		};
		EXPECT_EQ(RunUntil(fallen, 1.0f), row.falls);
		if (tree != nullptr) {
			EXPECT_EQ(map.IsGroupEnabled(60), row.falls) << "the map remembers a chopped tree";
			EXPECT_EQ(shook, !row.falls) << "a blow that does not chop shakes the tree";
		}
	}
}

} // namespace
} // namespace effectsmap
