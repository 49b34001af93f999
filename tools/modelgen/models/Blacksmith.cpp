// The smiths: "models/blacksmith.iqm", the stocky bearded smith in shirt and
// leather apron who also carries every animation people share, and
// "models/blacksmith2.iqm", the young smith the player walks around as: a
// slimmer build in a green tunic on the same skeleton, with no animations of
// its own. Both are painted from "models/blacksmith.png".
// "models/blacksmithdress.iqm" is the young smith once more, in a dress with a
// pleated skirt and a braid, painted from "models/blacksmithdress.png" (the
// same grid of cells, repainted), again on the shared skeleton.
#include "Models.h"

#include "Figure.h"
#include "Humanoid.h"

using namespace figure;

// "models/blacksmith.png" is painted by texgen (tools/texgen/textures.txt) as
// the grid of cells that Figure.h names; keep the two in step.

bool BuildBlacksmith(IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	const Build body = StockyBuild();
	AddBody(&b, body);

	// The full beard hangs below the chin.
	AddBeard(&b);

	// The leather apron, in two pieces that bend with the waist.
	constexpr float kApronY = -0.33f; // just in front of the shirt
	constexpr float kApronHalfDepth = 0.02f;
	const float waistRing = 2.9f;
	BoxShape apron;
	apron.bottom = {0, kApronY, 1.7f};
	apron.bottomHalf = {0.4f, kApronHalfDepth};
	apron.top = {0, kApronY, waistRing};
	apron.topHalf = {0.4f, kApronHalfDepth};
	apron.skin = BoxSkin::All(kApron);
	apron.skin.back = kNone;
	apron.bottomRing = On(kHips);
	apron.topRing = Shared(kSpine, kChest, kWaistShare);
	b.AddBox(apron);
	BoxShape bib = apron;
	bib.bottom = {0, kApronY, waistRing};
	bib.top = {0, kApronY - 0.01f, 3.32f};
	bib.topHalf = {0.3f, kApronHalfDepth};
	bib.bottomRing = Shared(kSpine, kChest, kWaistShare);
	bib.topRing = On(kChest);
	b.AddBox(bib);

	AddHumanAnimations(&b);
	return b.Finish("blacksmith", "blacksmith", out, error);
}

bool BuildBlacksmithDress(IqmModel *out, std::string *error)
{
	// On "models/blacksmithdress.png" the tunic cells hold the bodice and
	// puffed sleeves, the apron cell the skirt and the trouser cells
	// stockings, so the young smith's outline dresses itself.
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	Build body = SlimBuild();
	body.waist = {0.36f, 0.24f}; // drawn in at the sash
	AddBody(&b, body);
	AddMop(&b, body, kHair2);

	// The skirt hangs to just below the knee.
	AddSkirt(&b, 0.78f, 0.0f, kApron);

	// A braid down the back of the head.
	BoxShape braid;
	braid.bottom = {0, 0.4f, 3.25f};
	braid.bottomHalf = {0.07f, 0.05f};
	braid.top = {0, 0.38f, 4.2f};
	braid.topHalf = {0.11f, 0.06f};
	braid.skin = BoxSkin::All(kHair2);
	braid.bottomRing = braid.topRing = On(kHead);
	b.AddBox(braid);

	// No animations, as for "models/blacksmith2.iqm": the game plays those of
	// "models/blacksmith.iqm" on this skeleton.
	return b.Finish("blacksmithdress", "blacksmithdress", out, error);
}

bool BuildBlacksmith2(IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	const Build body = SlimBuild();
	AddBody(&b, body);
	AddMop(&b, body, kHair2);

	// No animations: the game plays the ones in "models/blacksmith.iqm" on
	// this mesh, which is why both files must keep the same skeleton.
	return b.Finish("blacksmith2", "blacksmith", out, error);
}
