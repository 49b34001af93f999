#include "objects/CreatureSetup.h"
#include "objects/EntityLook.h"

#include "objects/Actor.h"

#include <iterator>

namespace {

constexpr const char *kChookHurt = "sfx/vox-chickhit%d.wav";
constexpr const char *kChookIdle = "sfx/vox-chickbok%d.wav";
constexpr const char *kSmallStep = "sfx/smstep%d.wav";
constexpr const char *kStep = "sfx/step%d.wav";
constexpr const char *kBlob = "sfx/blob%d.wav";
constexpr const char *kSmith = "models/blacksmith.iqm"; // the people's animations

// kind, hearts, scaled, speed, radius, contact, shadow, model, animations, scale, texture, model speed, hit stun,
// footsteps, count, step distance, footstep volume, idle voice, count, volume, hurt voice, count, volume
constexpr CreatureRow kRows[] = {
	{50, 2, true, 3.0f, 0.3f, 1, 1.0f, "models/chook2.iqm", nullptr, 0.34f, "models/chook.png", 0.0f, 0.0f,
		kSmallStep, 2, 1.0f, 0.75f, kChookIdle, 2, 0.3f, kChookHurt, 3, 0.5f},
	{51, 3, true, 3.0f, 0.3f, 1, 0.9f, "models/chook.iqm", nullptr, 0.4f, "models/chook2.png", 120.0f, 0.4f,
		kStep, 2, 1.0f, 0.75f, kChookIdle, 2, 0.3f, kChookHurt, 3, 0.5f},
	{52, 8, true, 3.0f, 0.3f, 1, 2.5f, "models/chook.iqm", nullptr, 0.7f, "models/chook3.png", 15.0f, 0.3f,
		kStep, 2, 2.0f, 1.2f, kChookIdle, 2, 0.3f, kChookHurt, 3, 0.5f},
	{53, 12, true, 3.0f, 0.4f, 2, 2.0f, "models/ogre.iqm", nullptr, 0.4f, "models/ogre.png", 12.0f, 0.0f,
		"sfx/bigstep%d.wav", 3, 3.0f, 1.0f, "sfx/vox-ogre%d.wav", 3, 0.3f, "sfx/vox-ogrehit%d.wav", 3, 0.5f},
	{54, 2, true, 9.0f, 0.25f, 1, 0.0f, "models/minion.iqm", kSmith, 0.26f, "models/minion.png", 0.0f, 0.0f,
		kStep, 2, 0.4f, 0.75f, nullptr, 0, 0.0f, nullptr, 0, 0.0f},
	{55, 12, true, 3.0f, 0.4f, 1, 0.0f, "models/firewizard.iqm", kSmith, 0.35f, "models/firewizard.png", 30.0f,
		0.0f, nullptr, 0, 0.0f, 0.0f, nullptr, 0, 0.0f, nullptr, 0, 0.0f},
	{56, 1, false, 5.0f, 0.25f, 1, 0.0f, "models/blacklord.iqm", kSmith, 0.45f, "models/blacklord.png", 0.0f, 0.0f,
		nullptr, 0, 1.5f, 0.6f, nullptr, 0, 0.0f, nullptr, 0, 0.0f},
	{57, 1, false, 3.0f, 0.3f, 1, 1.0f, "models/chook.iqm", nullptr, 0.4f, "models/chookbomb.png", 120.0f, 0.8f,
		kSmallStep, 2, 1.0f, 0.75f, kChookIdle, 2, 0.3f, kChookHurt, 3, 0.5f},
	{61, 1, false, 3.0f, 0.6f, 1, 0.5f, "models/bird.iqm", nullptr, 1.0f, "models/bird.png", 0.0f, 0.0f, nullptr, 0,
		0.0f, 0.0f, kChookIdle, 2, 0.3f, kChookHurt, 3, 0.5f},
	{62, 2, true, 2.0f, 0.3f, 1, 1.0f, "models/blob.iqm", nullptr, 0.6f, "models/blob.png", 0.0f, 0.0f, kBlob, 3,
		0.5f, 0.75f, kBlob, 3, 0.3f, kBlob, 3, 0.3f},
};

} // namespace

namespace CreatureSetup {

const CreatureRow *FindRow(uint32_t kind)
{
	for (const CreatureRow &row : kRows) {
		if (row.kind == kind)
			return &row;
	}
	return nullptr;
}

void Apply(Actor &actor, const CreatureRow &row)
{
	actor.faction = kFactionHostile;
	actor.moveSpeed = row.speed;
	actor.radius = row.radius;
	actor.contactDamage = row.contactDamage;
	if (row.shadowSize > 0.0f)
		actor.shadowSize = row.shadowSize;
	if (row.modelSpeed > 0.0f)
		actor.modelSpeed = row.modelSpeed;
	if (row.hitStun > 0.0f)
		actor.hitStun = row.hitStun;
	if (row.stepDistance > 0.0f)
		actor.stepDistance = row.stepDistance;
	if (row.footstepVolume > 0.0f)
		actor.footstepVolume = row.footstepVolume;
	if (row.idleVoice != nullptr)
		actor.soundSets[0].Set(row.idleVoice, row.idleVoiceCount, row.idleVoiceVolume);
	if (row.hurtVoice != nullptr)
		actor.soundSets[Actor::kHurtVoice].Set(row.hurtVoice, row.hurtVoiceCount, row.hurtVoiceVolume);
	actor.ApplyDifficulty(row.baseHearts, row.scaled);
}

namespace {

// The files LoadModel loads: the row's, unless others are given.
struct Figure {
	const char *model;
	const char *animations;
	const char *texture;
};

Figure FigureOf(const CreatureRow &row, const char *model, const char *animations, const char *texture)
{
	if (model == nullptr) {
		model = row.model;
		animations = row.animations;
	}
	return {model, animations, texture != nullptr ? texture : row.texture};
}

} // namespace

void LoadModel(Actor &actor, const CreatureRow &row, const char *model, const char *animations, float scale,
	const char *texture)
{
	const Figure figure = FigureOf(row, model, animations, texture);
	if (scale <= 0.0f)
		scale = row.scale;
	actor.model.ClearLoaded();
	const bool loaded = figure.animations != nullptr ? actor.model.Load(figure.model, figure.animations, scale)
	                                                 : actor.model.LoadSimple(figure.model, scale);
	if (loaded)
		actor.model.SetMaterial(figure.texture, kShader);
	actor.Actor::LoadModel();
}

void AddLook(std::vector<EntityLook> &looks, const CreatureRow &row, const char *model, const char *animations,
	const char *texture)
{
	const Figure figure = FigureOf(row, model, animations, texture);
	EntityLook::AddAnimated(looks, figure.model, figure.animations, figure.texture, kShader);
}

void LoadFootsteps(Actor &actor, const CreatureRow &row)
{
	if (row.footsteps != nullptr)
		actor.footstepSounds.Generate(row.footsteps, row.footstepCount);
	else
		actor.Actor::LoadFootsteps();
}

} // namespace CreatureSetup
