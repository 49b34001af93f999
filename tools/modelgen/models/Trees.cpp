// The trees, the stump and the tuft of grass: "models/tree4.iqm" (a broad
// leafy tree of four tiers of leaves), "models/tree2.iqm" (a slim tree of
// two tall tiers), "models/stump.iqm" (what the axe leaves) and
// "models/grass.iqm" (a tuft of tapering blades). All share one texture,
// "mats/tree.png" or a ground's own: leaves in its rows 0 to 23, bark in rows
// 24 to 31. One root joint each; trees sway and shake as a whole. The tops of
// the tallest tiers stay below 4.4, where a bird perches.
#include "Models.h"

#include "../ModelBuilder.h"

#include <vector>

namespace {

constexpr int kTextureSize = 32;
const AtlasRect kLeaves = {0, 0, 32, 24};
const AtlasRect kBark = {0, 24, 32, 8};

// A box from z0 to z1 narrowing from bottom to top, square in plan.
struct Tier {
	float z0, z1;
	float bottomHalf, topHalf;
	const AtlasRect *skin;
	float x = 0.0f, y = 0.0f;
	float depthRatio = 1.0f; // Y half size against X half size (thin blades)
};

bool BuildTiers(const char *name, const std::vector<Tier> &tiers, IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureSize, kTextureSize);
	b.AddJoint("B_Root", -1, {0, 0, 0});
	for (const Tier &tier : tiers) {
		BoxShape box;
		box.bottom = {tier.x, tier.y, tier.z0};
		box.bottomHalf = {tier.bottomHalf, tier.bottomHalf * tier.depthRatio};
		box.top = {tier.x, tier.y, tier.z1};
		box.topHalf = {tier.topHalf, tier.topHalf * tier.depthRatio};
		box.skin = BoxSkin::All(*tier.skin);
		box.bottomRing = box.topRing = {0, -1, 0.0f};
		b.AddBox(box);
	}
	return b.Finish(name, name, out, error);
}

} // namespace

bool BuildTree4(IqmModel *out, std::string *error)
{
	return BuildTiers("tree4",
		{
			{0.0f, 1.5f, 0.22f, 0.16f, &kBark},
			{1.1f, 2.1f, 1.05f, 1.25f, &kLeaves},
			{2.0f, 2.9f, 1.2f, 1.0f, &kLeaves},
			{2.8f, 3.6f, 0.95f, 0.65f, &kLeaves},
			{3.5f, 4.2f, 0.6f, 0.2f, &kLeaves},
		},
		out, error);
}

bool BuildTree2(IqmModel *out, std::string *error)
{
	return BuildTiers("tree2",
		{
			{0.0f, 1.3f, 0.18f, 0.14f, &kBark},
			{0.9f, 2.8f, 1.2f, 0.45f, &kLeaves},
			{2.3f, 4.3f, 0.9f, 0.08f, &kLeaves},
		},
		out, error);
}

bool BuildStump(IqmModel *out, std::string *error)
{
	return BuildTiers("stump",
		{
			{0.0f, 0.45f, 0.26f, 0.22f, &kBark},
			{0.0f, 0.12f, 0.34f, 0.26f, &kBark}, // the roots' flare
		},
		out, error);
}

bool BuildGrass(IqmModel *out, std::string *error)
{
	// Thin blades across each other, each narrowing to a point.
	return BuildTiers("grass",
		{
			{0.0f, 0.7f, 0.45f, 0.05f, &kLeaves, 0.0f, 0.0f, 0.06f},
			{0.0f, 0.55f, 0.35f, 0.04f, &kLeaves, 0.15f, 0.2f, 0.08f},
			{0.0f, 0.6f, 0.05f, 0.005f, &kLeaves, -0.1f, -0.15f, 8.0f},
			{0.0f, 0.5f, 0.04f, 0.004f, &kLeaves, 0.25f, -0.1f, 9.0f},
		},
		out, error);
}
