// The townsfolk, each a figure on the shared skeleton (Figure.h) that the
// game animates with "models/blacksmith.iqm", told apart by build, clothes
// and headgear as well as by colour:
// - "models/oracle.iqm": a bearded elder in a hooded robe to the ankles.
// - "models/tinsmith.iqm": the stocky smith under a tall funnel hat.
// - "models/woodsmith.iqm": a broad, bearded man in a flat cap.
// - "models/locksmith.iqm": a lean man in a long-tailed coat, bare-headed.
// - "models/temptress.iqm": a slender woman with long hair in a wide gown.
// - "models/npc-fr.iqm": a brother of the abbey, hooded, robed to the feet.
// - "models/npc-pl.iqm": a pilgrim with a broad-brimmed hat and a cloak.
// - "models/npc-qr.iqm": a heavy quarryman in a round helmet.
// - "models/townee1.iqm" to "townee3.iqm": a young man with a mop of hair, a
//   woman in a skirt, and an old bearded man in a tall hat.
// Their textures repaint the cells of "models/blacksmith.png" (texgen).
#include "Models.h"

#include "Figure.h"

using namespace figure;

namespace {

// Every part of the outline wider (or narrower) by a factor.
Build Scaled(Build body, float factor)
{
	for (glm::vec2 *part : {&body.pelvis, &body.waist, &body.chestLow, &body.chestTop, &body.upperArmTop,
			 &body.upperArmLow, &body.foreArmTop, &body.foreArmLow, &body.thighTop, &body.thighLow}) {
		*part *= factor;
	}
	return body;
}

// The tunic outline with plain cells: shirt front and sleeves of the cloth.
Build Townsman(const Build &from)
{
	Build body = from;
	body.handSkin = kSkin;
	return body;
}

bool Finish(ModelBuilder &b, const char *name, IqmModel *out, std::string *error)
{
	return b.Finish(name, name, out, error);
}

} // namespace

bool BuildOracle(IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	Build body = Townsman(SlimBuild());
	body.face = kFaceBeard;
	AddBody(&b, body);
	AddBeard(&b);
	AddSkirt(&b, 0.25f, 0.12f, kApron);
	AddHood(&b, body, kHat);
	return Finish(b, "oracle", out, error);
}

bool BuildTinsmith(IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	Build body = StockyBuild();
	body.face = kFace;
	AddBody(&b, body);
	AddHat(&b, body, 0.42f, 0.7f, kHat);
	return Finish(b, "tinsmith", out, error);
}

bool BuildWoodsmith(IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	const Build body = Scaled(StockyBuild(), 1.12f);
	AddBody(&b, body);
	AddBeard(&b);
	AddHat(&b, body, 0.44f, 0.12f, kHat);
	return Finish(b, "woodsmith", out, error);
}

bool BuildLocksmith(IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	const Build body = Townsman(Scaled(SlimBuild(), 0.9f));
	AddBody(&b, body);
	AddMop(&b, body, body.hair);
	AddSkirt(&b, 1.2f, 0.0f, kTunic); // the coat's tails
	return Finish(b, "locksmith", out, error);
}

bool BuildTemptress(IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	Build body = Townsman(Scaled(SlimBuild(), 0.88f));
	body.waist = {0.3f, 0.21f};
	AddBody(&b, body);
	AddLongHair(&b, body, body.hair);
	AddMop(&b, body, body.hair);
	AddSkirt(&b, 0.2f, 0.25f, kApron);
	return Finish(b, "temptress", out, error);
}

bool BuildNpcFr(IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	Build body = Townsman(StockyBuild());
	body.face = kFace;
	AddBody(&b, body);
	AddSkirt(&b, 0.15f, 0.05f, kApron);
	AddHood(&b, body, kHat);
	return Finish(b, "npc-fr", out, error);
}

bool BuildNpcPl(IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	Build body = Townsman(SlimBuild());
	body.face = kFaceBeard;
	AddBody(&b, body);
	AddBeard(&b);
	AddSkirt(&b, 1.0f, 0.1f, kApron); // the cloak
	AddHat(&b, body, 0.8f, 0.22f, kHat);
	return Finish(b, "npc-pl", out, error);
}

bool BuildNpcQr(IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	Build body = Scaled(StockyBuild(), 1.2f);
	body.face = kFace;
	AddBody(&b, body);
	AddHat(&b, body, 0.4f, 0.3f, kHat);
	return Finish(b, "npc-qr", out, error);
}

bool BuildTownee1(IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	const Build body = Townsman(SlimBuild());
	AddBody(&b, body);
	AddMop(&b, body, body.hair);
	return Finish(b, "townee1", out, error);
}

bool BuildTownee2(IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	Build body = Townsman(Scaled(SlimBuild(), 0.92f));
	body.waist = {0.33f, 0.22f};
	AddBody(&b, body);
	AddLongHair(&b, body, body.hair);
	AddSkirt(&b, 0.5f, 0.1f, kApron);
	return Finish(b, "townee2", out, error);
}

bool BuildTownee3(IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	Build body = Townsman(StockyBuild());
	AddBody(&b, body);
	AddBeard(&b);
	AddHat(&b, body, 0.5f, 0.45f, kHat);
	return Finish(b, "townee3", out, error);
}
