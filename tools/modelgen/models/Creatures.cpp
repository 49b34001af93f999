// The creatures that are people, or nearly: figures on the shared skeleton
// (Figure.h). The minion, the fire wizard and the dark lord carry no
// animations; the game plays those of "models/blacksmith.iqm" on them. The
// ogre is a hulking figure on the same skeleton that carries the animations
// in its own file, so it stands on its own.
// - "models/minion.iqm": a small, spindly imp in a dark hood.
// - "models/firewizard.iqm": a robed wizard under a tall pointed hat.
// - "models/blacklord.iqm": a broad figure in a long dark robe and hood with
//   a heavy beard of shadow.
// - "models/ogre.iqm": huge shoulders, thick limbs, a small head, a loincloth.
// Their textures repaint the cells of "models/blacksmith.png" (texgen).
#include "Models.h"

#include "Figure.h"

using namespace figure;

namespace {

Build Widened(Build body, float factor)
{
	for (glm::vec2 *part : {&body.pelvis, &body.waist, &body.chestLow, &body.chestTop, &body.upperArmTop,
			 &body.upperArmLow, &body.foreArmTop, &body.foreArmLow, &body.hand, &body.thighTop, &body.thighLow,
			 &body.shinTop, &body.shinLow}) {
		*part *= factor;
	}
	return body;
}

} // namespace

bool BuildMinion(IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	Build body = Widened(SlimBuild(), 0.75f);
	body.handSkin = kSkin;
	body.foreArm = kTunicSleeve;
	AddBody(&b, body);
	AddHood(&b, body, kHat);
	return b.Finish("minion", "minion", out, error);
}

bool BuildFireWizard(IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	Build body = SlimBuild();
	body.face = kFaceBeard;
	body.foreArm = kTunicSleeve;
	AddBody(&b, body);
	AddBeard(&b);
	AddSkirt(&b, 0.2f, 0.15f, kApron);
	AddHat(&b, body, 0.55f, 1.3f, kHat);
	return b.Finish("firewizard", "firewizard", out, error);
}

bool BuildBlackLord(IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	Build body = Widened(StockyBuild(), 1.1f);
	body.face = kFaceBeard;
	body.foreArm = kSleeve;
	AddBody(&b, body);
	AddBeard(&b);
	AddSkirt(&b, 0.15f, 0.2f, kApron);
	AddHood(&b, body, kHat);
	return b.Finish("blacklord", "blacklord", out, error);
}

bool BuildOgre(IqmModel *out, std::string *error)
{
	ModelBuilder b(kTextureWidth, kTextureHeight);
	AddHumanSkeleton(&b);
	Build body = Widened(StockyBuild(), 1.45f);
	body.head = 0.3f;
	body.neck = 0.24f;
	body.face = kFaceBeard;
	body.foreArm = kSkin;
	body.upperArm = kSkin;
	body.upperArmCuff = kSkin;
	body.handSkin = kSkin;
	body.chest = kSkin;
	body.chestFront = kShirtFront;
	AddBody(&b, body);
	AddSkirt(&b, 1.2f, 0.1f, kApron);
	AddHumanAnimations(&b);
	return b.Finish("ogre", "ogre", out, error);
}
