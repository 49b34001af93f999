#include "objects/NPCActor.h"
#include "objects/EntityLook.h"

#include "map/TileMap.h"
#include "objects/FacingBehaviour.h"
#include "objects/FollowBehaviour.h"
#include "objects/Party.h"

NPCActor::NPCActor(uint32_t entityKind)
	: Actor(entityKind)
{
	faction = kFactionTownsfolk;
	dropsEnabled = 0;
	stepDistance = kStepDistance;
	footstepVolume = kFootstepVolume;
}

void NPCActor::Start()
{
	Actor::Start();
	// The placement's "facing" line gives every actor a facing behaviour; a
	// member standing in for that placement follows instead.
	const size_t count = GetBehaviourCount();
	ActorBehaviour *top = count != 0 ? GetBehaviourAt(count - 1) : nullptr;
	if (party != nullptr && dynamic_cast<FollowBehaviour *>(top) == nullptr)
		party->Rejoin(this);
}

void NPCActor::Update(float dt)
{
	Actor::Update(dt);
	if (transform.position.y < kLowestHeight)
		transform.position.y = kLowestHeight;
}

void NPCActor::ResetState()
{
	Actor::ResetState();
	sayObject = map != nullptr ? map->FindSayObject(mapObject) : nullptr;
	if (sayObject == nullptr)
		return;
	if (map->IsGroupEnabled(sayObject->Group()) || GetBehaviourCount() != 0)
		return;
	AddBehaviour(std::make_unique<FacingBehaviour>(this), true);
}

void NPCActor::LoadModel()
{
	Actor::LoadModel();
}

void NPCActor::LoadFigure(const char *modelName, const char *textureName, float scale)
{
	model.Load(modelName, kAnimationFile, scale);
	model.SetMaterial(textureName, kShader);
}

void NPCActor::AddFigure(std::vector<EntityLook> &looks, const char *modelName, const char *textureName)
{
	EntityLook::AddAnimated(looks, modelName, kAnimationFile, textureName, kShader);
}

void NPCActor::SetVoice(const char *pattern, uint8_t count)
{
	soundSets[kSpeechVoice].Set(pattern, count, kVoiceVolume);
}
