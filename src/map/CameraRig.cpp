#include "map/CameraRig.h"

#include <algorithm>

#include "engine/core/ActiveSequence.h"
#include "engine/core/Camera.h"
#include "engine/core/Entity.h"
#include "engine/render/Renderer.h"
#include "map/MapGameLink.h"
#include "map/TileMap.h"

// Services of the game that the view depends on.

constexpr int32_t kFollowFieldOfView = 30;   // degrees
constexpr int32_t kFixedFieldOfView = 15;    // degrees
constexpr int kFixedViewGameMode = 2;
constexpr uint8_t kFixedViewPostMode = 5;
constexpr float kFocusRate = 0.06f;          // share of the way to the player per 60th of a second

// The resting view: 45 degrees down from this far behind and above.
constexpr float kFollowDistance = 20.0f;     // world units at zoom 1
constexpr float kFollowHeightFactor = 1.0f;
constexpr float kFollowBoundsRate = 0.5f;
constexpr float kFollowOffsetRate = 0.3f;
constexpr float kFollowBoundsTarget = 1.0f;

// Speech: lower and nearer, centred on the speaker, bounds let go.
constexpr float kSpeechHeightFactor = 0.75f;
constexpr float kSpeechDistance = 13.0f;
constexpr float kSpeechBoundsRate = 0.8f;
constexpr float kSpeechOffsetRate = 0.5f;

// Any other message: nearer, bounds let go.
constexpr float kMessageDistance = 15.0f;
constexpr float kMessageBoundsRate = 0.8f;
constexpr float kMessageOffsetRate = 0.6f;

// The bounds test looks at a point this far north of the focus, where the
// middle of the view lies.
constexpr float kBoundsLookAhead = 1.5f;     // world units
constexpr float kBoundsMarginPerOffset = 0.45f;
constexpr float kOrthoBoundsMargin = 10.0f;  // world units
// How far the bounds may hold the focus from the player, as shares of the
// view's depth. The edges of the follow view (45 degrees down, 30 degrees
// high) lie 0.42 of it south of the focus and 0.73 north on flat ground (less
// for the head of a player standing there), and at least 0.5 to either side.
// A player who walks on past the map's edge (out through an exit, during its
// fade) stays in the view instead of walking off it; inside the map the
// bounds hold him about as far as this at most.
constexpr float kMostSouthLead = 0.38f;
constexpr float kMostNorthLead = 0.5f;
constexpr float kMostSideLead = 0.45f;

const Vec3 kFixedViewOffset(-30.0f, 30.0f, 30.0f);
const Vec3 kUp(0.0f, 1.0f, 0.0f);

static bool IsOrthoView()
{
	Renderer *renderer = GetRenderer();
	return renderer != nullptr && renderer->IsCurrentPostModeOrtho();
}

static void Approach(Vec3 &value, const Vec3 &goal, float rate, float dt)
{
	value += (goal - value) * SmoothFactor(rate, dt);
}

void CameraRig::Attach(Camera *newCamera, Entity *newTarget, TileMap *newTileMap)
{
	camera = newCamera;
	target = newTarget;
	tileMap = newTileMap;
	if (camera != nullptr) {
		camera->clearColor = Vec3(0.0f);
		Camera::SetCurrent(camera);
		camera->fieldOfView = kFollowFieldOfView;
	}
	if (target != nullptr)
		focus = target->transform.position;
	if (MapGameLink::Get().IsMode(kFixedViewGameMode)) {
		fixedMode = 1;
		if (GetRenderer() != nullptr)
			GetRenderer()->SetPostModeIndex(kFixedViewPostMode);
	} else {
		fixedMode = 0;
	}
}

void CameraRig::Update(float dt)
{
	if (camera == nullptr || target == nullptr)
		return;
	Approach(focus, target->transform.position, kFocusRate, dt);
	if (IsOrthoView())
		focus = target->transform.position;
	focus.y = 0.0f;
	camera->SetPosition(focus);
	if (fixedMode == 1)
		UpdateFixed();
	else
		UpdateFollow(dt);
}

void CameraRig::UpdateFollow(float dt)
{
	const float baseY = focus.y;
	float zoom = tileMap != nullptr ? tileMap->GetMapData().zoom : 1.0f;
	if (!(zoom > 0.0f))
		zoom = 1.0f; // a zoom of 0 would put the camera infinitely far away
	float distance = kFollowDistance / zoom;
	float heightFactor = kFollowHeightFactor;
	float boundsRate = kFollowBoundsRate;
	float offsetRate = kFollowOffsetRate;
	float boundsTarget = kFollowBoundsTarget;

	const bool ortho = IsOrthoView();
	if (!ortho) {
		MapGameLink &game = MapGameLink::Get();
		if (game.IsMessageVisible()) {
			if (closeUp == kCloseUpNone) {
				if (game.IsSpeech()) {
					closeUp = kCloseUpSpeech;
					speaker = GetActiveSequenceSource();
				} else {
					closeUp = kCloseUpMessage;
				}
			}
		} else {
			closeUp = kCloseUpNone;
		}

		if (closeUp == kCloseUpSpeech) {
			heightFactor = kSpeechHeightFactor;
			distance = kSpeechDistance;
			boundsRate = kSpeechBoundsRate;
			offsetRate = kSpeechOffsetRate;
			boundsTarget = 0.0f;
			// The speaker is only looked at while the sequence that chose it
			// still names it: the rig does not own it, and an entity that
			// went with its sequence must not be read.
			if (speaker != nullptr && speaker == GetActiveSequenceSource() && Entity::IsAlive(speaker))
				focus = speaker->transform.position;
		} else if (closeUp == kCloseUpMessage) {
			distance = kMessageDistance;
			boundsRate = kMessageBoundsRate;
			offsetRate = kMessageOffsetRate;
			boundsTarget = 0.0f;
		}
	}

	Vec3 bounded = focus;
	if (tileMap != nullptr) {
		bounded.z -= kBoundsLookAhead;
		float margin = ortho ? kOrthoBoundsMargin : kBoundsMarginPerOffset * offset.z;
		tileMap->ClampToMap(bounded, margin);
		bounded.z += kBoundsLookAhead;
		if (!ortho && target != nullptr) {
			const Vec3 &player = target->transform.position;
			const float depth = distance; // the depth the offset eases toward
			// Only the hold is limited: a focus still easing after the
			// player keeps its lag.
			bounded.z = std::clamp(bounded.z, std::min(focus.z, player.z - kMostSouthLead * depth),
				std::max(focus.z, player.z + kMostNorthLead * depth));
			bounded.x = std::clamp(bounded.x, std::min(focus.x, player.x - kMostSideLead * depth),
				std::max(focus.x, player.x + kMostSideLead * depth));
		}
	}
	bounded.y = baseY;

	boundsBlend += (boundsTarget - boundsBlend) * SmoothFactor(boundsRate, dt);
	focus += (bounded - focus) * boundsBlend;

	Approach(offset, Vec3(offset.x, distance * heightFactor, distance), offsetRate, dt);
	eye = focus + offset;
	LookFromEye();
}

void CameraRig::UpdateFixed()
{
	eye = focus + kFixedViewOffset;
	LookFromEye();
	camera->fieldOfView = kFixedFieldOfView;
}

void CameraRig::LookFromEye()
{
	camera->transform.SetPosition(eye);
	// Before the offset has grown (a first frame of no time) the eye sits on
	// the focus, and there is no direction to look in.
	if (eye != focus)
		camera->transform.LookAt(focus);
}
