#include "objects/PlayerInput.h"

#include "engine/core/ActiveSequence.h"
#include "engine/core/Camera.h"
#include "engine/core/Input.h"
#include "objects/ActorRegistry.h"
#include "objects/GameLink.h"
#include "objects/Player.h"
#include "objects/PlayerTuning.h"

using namespace PlayerTuning;

namespace {

void StopHeldStill(Player &player)
{
	player.slideVelocity = Vec3(0.0f);
}

} // namespace

bool PlayerInput::AnswerMessages(Player &player)
{
	GameLink &game = GameLink::Get();
	if (game.IsBusy()) {
		ActorRegistry::StopAll();
		player.busyTimer = kBusySeconds;
		if (player.sinceLastPress > kPressGap && player.Pressed(kActionStrike)) {
			game.CompleteTyping(game.IsTimedMode());
			player.sinceLastPress = 0.0f;
			player.keepAttacking = 0;
		}
		StopHeldStill(player);
		return true;
	}
	if (IsSequenceRunning()) {
		ActorRegistry::StopAll();
		player.moveAxes = Vec3(0.0f);
		player.sinceScript = 0.0f;
		if (IsSequenceState2()) {
			player.busyTimer = kBusySeconds;
			uint32_t state = game.GetMessageState();
			if (state == kMessageQuestion) {
				game.ShowChoice("Yes", "No");
				if (player.Pressed(kActionStrike))
					state = kMessageYes;
				else if (player.Pressed(kActionRoll))
					state = kMessageNo;
			} else {
				game.ShowPrompt("Continue");
				if (player.Pressed(kActionStrike) || player.Pressed(kActionRoll))
					state = kMessageYes;
			}
			if (state > kMessageQuestion) {
				game.SetMessageState(state);
				game.CloseMessage();
				StepActiveSequence();
				player.keepAttacking = 0;
				player.keepRolling = 0;
			}
		}
		StopHeldStill(player);
		return true;
	}
	if (game.IsMessageVisible()) {
		ActorRegistry::StopAll();
		player.busyTimer = kBusySeconds;
		game.ShowPrompt("OK");
		if (player.Pressed(kActionStrike)) {
			game.CloseMessage();
			player.keepAttacking = 0;
			player.useTarget = nullptr;
		}
		StopHeldStill(player);
		return true;
	}
	return false;
}

bool PlayerInput::TakeUsePress(Player &player)
{
	Entity *entity = player.useTarget->entity;
	if (player.lastUsePosition != Vec3(0.0f) && Entity::IsAlive(entity))
		player.FaceTowards(entity);
	if (player.Pressed(kActionStrike)) {
		player.keepAttacking = 0;
		if (!IsLiveActor(entity) || player.sinceScript > kScriptPressGuard)
			player.Use(player.useTarget);
		return true;
	}
	if (player.useTarget != player.currentArea && player.CurrentTile() != player.promptTile) {
		player.useTarget = nullptr;
		GameLink::Get().CloseMessage();
		player.promptTile.Unset();
	}
	return false;
}

void PlayerInput::DesiredMove(Player &player, Vec3 &out)
{
	out = Vec3(0.0f);
	if (!player.HasHearts() || player.hideCupboard != nullptr || player.recoilTimer > 0.0f) {
		player.moveAxes = Vec3(0.0f);
		player.moveVelocity = Vec3(0.0f);
		return;
	}
	if (player.HasWalkTarget()) {
		Vec3 d = player.walkTarget - player.transform.position;
		d.y = 0.0f;
		if (glm::dot(d, d) >= kWalkTargetStopSq) {
			player.moveAxes = Vec3(0.0f);
			out = ClampLength(d * kAutoWalkGain, player.moveSpeed);
			return;
		}
		player.ClearWalkTarget();
	}
	if (player.walkOutDirection != 0) {
		out = ClampLength(DirectionToVector(player.walkOutDirection) * kAutoWalkGain, player.moveSpeed);
		return;
	}
	if (GameLink::Get().IsMessageVisible() || player.freezeTimer > 0.0f)
		return;
	glm::vec2 axes = player.Controls().GetMoveVector(0);
	player.moveAxes = Vec3(axes.x, axes.y, 0.0f);
	if (axes.x * axes.x + axes.y * axes.y <= kStickDeadZoneSq)
		return;
	const Vec3 up(0.0f, 1.0f, 0.0f);
	Vec3 right(1.0f, 0.0f, 0.0f);
	if (GameLink::Get().IsMode(2) && Camera::Get() != nullptr)
		right = Camera::Get()->transform.GetRight();
	Vec3 forward = glm::cross(right, up);
	Vec3 move = ClampLength(right * axes.x + forward * axes.y, 1.0f) * player.moveSpeed;
	if (player.actionTimer > 0.0f)
		move *= player.actionMoveFactor;
	out = move;
}
