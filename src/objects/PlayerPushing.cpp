#include "objects/PlayerPushing.h"

#include "engine/core/MathUtil.h"
#include "objects/ItemKinds.h"
#include "objects/Player.h"
#include "objects/PushableProp.h"

#include <cmath>

bool PlayerPushing::Touch(Player &player, MapEntity &other)
{
	if (!ItemKinds::IsPushableKind(other.GetKind()) || !Entity::IsAlive(&other))
		return false;
	auto *prop = dynamic_cast<PushableProp *>(&other);
	if (prop == nullptr)
		return false;
	const Vec3 toward = other.transform.position - player.transform.position;
	const Vec3 axis = SnapDirectionToAxis(toward);
	if (glm::dot(player.facing, axis) <= kFacingDot || std::fabs(toward.y) >= kLevelBelow)
		return false;
	prop->TryPush(SnapDirectionToAxis(player.facing), false);
	if (ModelAnimation *pose = player.GetAnimation(kAnimPushWalk))
		player.model.BlendToAnimation(pose, kPoseBlend);
	player.actionTimer = kPushHold;
	player.actionMoveFactor = kPushMoveFactor;
	player.slideVelocity = Vec3(0.0f);
	return true;
}
