#include "engine/core/Input.h"

#include <cmath>
#include <glm/geometric.hpp>

#include "engine/core/Log.h"
#include "engine/render/Renderer.h"

namespace {

constexpr const char *kControllerMappingFile = "gamecontrollerdb.txt";
constexpr float kStickAxisScale = 32767.0f;	// SDL axis units at full deflection
constexpr float kDpadFallbackThreshold = 0.1f;	// stick axis magnitude below which the d-pad decides
constexpr float kKeyboardTakeoverLengthSq = 0.1f;	// squared stick length below which the keys decide
constexpr float kOrthoDeadZone = 0.3f;	// movement length below which ortho movement stops
constexpr float kEighthTurn = 0.7853982f;	// radians between the eight ortho directions

// SDL scancodes of the default bindings and of the fixed menu keys.
constexpr uint16_t kScanA = 4;
constexpr uint16_t kScanD = 7;
constexpr uint16_t kScanS = 22;
constexpr uint16_t kScanW = 26;
constexpr uint16_t kScanReturn = 40;
constexpr uint16_t kScanEscape = 41;
constexpr uint16_t kScanSpace = 44;
constexpr uint16_t kScanRight = 79;
constexpr uint16_t kScanLeft = 80;
constexpr uint16_t kScanDown = 81;
constexpr uint16_t kScanUp = 82;
constexpr uint16_t kScanReturn2 = 158;
constexpr uint16_t kScanLeftShift = 225;
constexpr uint16_t kScanRightShift = 229;

bool IsDownState(uint32_t state)
{
	return state == kKeyPressed || state == kKeyHeld;
}

uint32_t MaxState(uint32_t a, uint32_t b)
{
	return a > b ? a : b;
}

// The game action that a controller button feeds. Sticks pressed in, the
// share button, the paddles and anything unknown all feed action 0.
uint8_t ActionForButton(uint8_t button)
{
	switch (button) {
	case SDL_CONTROLLER_BUTTON_A:
	case SDL_CONTROLLER_BUTTON_X:
	case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
		return kActionAttack;
	case SDL_CONTROLLER_BUTTON_B:
	case SDL_CONTROLLER_BUTTON_Y:
	case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
		return kActionCancel;
	case SDL_CONTROLLER_BUTTON_START:
	case SDL_CONTROLLER_BUTTON_GUIDE:
		return kActionConfirm;
	case SDL_CONTROLLER_BUTTON_BACK:
	case SDL_CONTROLLER_BUTTON_TOUCHPAD:
		return kActionBack;
	case SDL_CONTROLLER_BUTTON_DPAD_UP:
		return kActionPadUp;
	case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
		return kActionPadDown;
	case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
		return kActionPadLeft;
	case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
		return kActionPadRight;
	default:
		return 0;
	}
}

float ClampUnit(float value)
{
	if (value < -1.0f)
		return -1.0f;
	if (value > 1.0f)
		return 1.0f;
	return value;
}

}

// --- ControllerState --------------------------------------------------------

uint32_t ControllerState::GetButtonState(uint8_t action) const
{
	if (action >= kInputActionCount)
		return kKeyUp;
	return buttons[action];
}

bool ControllerState::IsButtonDown(uint8_t action) const
{
	return IsDownState(GetButtonState(action));
}

bool ControllerState::IsButtonPressed(uint8_t action) const
{
	return GetButtonState(action) == kKeyPressed;
}

glm::vec2 ControllerState::GetStick() const
{
	glm::vec2 result = stick;
	if (std::fabs(result.y) < kDpadFallbackThreshold) {
		if (IsButtonDown(kActionPadUp))
			result.y = -1.0f;
		else if (IsButtonDown(kActionPadDown))
			result.y = 1.0f;
	}
	if (std::fabs(result.x) < kDpadFallbackThreshold) {
		if (IsButtonDown(kActionPadLeft))
			result.x = -1.0f;
		else if (IsButtonDown(kActionPadRight))
			result.x = 1.0f;
	}
	return result;
}

// --- InputBindings ----------------------------------------------------------

void InputBindings::Clear()
{
	for (KeyPair &pair : movement)
		pair = KeyPair{};
	for (KeyPair &pair : actions)
		pair = KeyPair{};
}

KeyPair InputBindings::GetActionKeys(uint8_t action) const
{
	if (action >= kInputActionCount)
		return KeyPair{};
	return actions[action];
}

// --- Free helpers -----------------------------------------------------------

glm::vec2 SnapToEightDirections(glm::vec2 move)
{
	float length = std::sqrt(move.x * move.x + move.y * move.y);
	if (length < kOrthoDeadZone)
		return glm::vec2(0.0f, 0.0f);
	// std::round sends halfway values away from zero, which is the tie rule
	// movement wants.
	float angle = std::atan2(move.y, move.x);
	angle = std::round(angle / kEighthTurn) * kEighthTurn;
	return glm::vec2(std::cos(angle) * length, std::sin(angle) * length);
}

// --- Input ------------------------------------------------------------------

Input::Input()
{
	if (SDL_Init(SDL_INIT_GAMECONTROLLER) < 0)
		Log("SDL game controller initialization failed.  Error: %s\n", SDL_GetError());

	// The mapping database is optional; the name is taken as it is, relative
	// to the working directory.
	SDL_RWops *mappings = SDL_RWFromFile(kControllerMappingFile, "rb");
	if (mappings != nullptr)
		SDL_GameControllerAddMappingsFromRW(mappings, 1);

	Reset();
	SetDefaultBindings();
}

Input *Input::Get()
{
	static Input instance;
	return &instance;
}

void Input::Reset()
{
	for (KeySlot &slot : keySlots)
		slot = KeySlot{};
	controller.stick = glm::vec2(0.0f, 0.0f);
	for (uint32_t &button : controller.buttons)
		button = kKeyUp;
}

void Input::SetDefaultBindings()
{
	bindings.Clear();
	bindings.movement[InputBindings::MoveLeft] = {kScanLeft, kScanA};
	bindings.movement[InputBindings::MoveRight] = {kScanRight, kScanD};
	bindings.movement[InputBindings::MoveUp] = {kScanUp, kScanW};
	bindings.movement[InputBindings::MoveDown] = {kScanDown, kScanS};
	bindings.actions[kActionAttack] = {kScanSpace, 0};
	bindings.actions[kActionCancel] = {kScanLeftShift, kScanRightShift};
	bindings.actions[kActionConfirm] = {kScanReturn, kScanReturn2};
	bindings.actions[kActionBack] = {kScanEscape, 0};
}

void Input::HandleEvent(const SDL_Event &event)
{
	switch (event.type) {
	case SDL_KEYDOWN:
	case SDL_KEYUP:
		if (event.key.keysym.scancode > 0)
			HandleKeyEvent(event.key);
		break;
	case SDL_CONTROLLERBUTTONDOWN:
	case SDL_CONTROLLERBUTTONUP:
		HandleControllerButton(event.cbutton);
		break;
	case SDL_CONTROLLERAXISMOTION:
		HandleControllerAxis(event.caxis);
		break;
	case SDL_CONTROLLERDEVICEADDED:
	case SDL_CONTROLLERDEVICEREMOVED:
		HandleControllerDevice(event.cdevice);
		break;
	default:
		break;
	}
}

void Input::HandleKeyEvent(const SDL_KeyboardEvent &event)
{
	const uint16_t scancode = static_cast<uint16_t>(event.keysym.scancode);

	// A key released earlier in this frame still holds its slot, so pressing
	// it again finds the same slot.
	KeySlot *slot = nullptr;
	for (KeySlot &candidate : keySlots) {
		if (candidate.scancode == scancode) {
			slot = &candidate;
			break;
		}
	}
	if (slot == nullptr) {
		// Rotate to a slot that is not down; with all eight held, the slot
		// the rotation started on is taken over.
		for (uint8_t step = 0; step < kInputKeySlotCount; ++step) {
			nextSlot = static_cast<uint8_t>((nextSlot + 1) % kInputKeySlotCount);
			if (keySlots[nextSlot].state < kKeyPressed)
				break;
		}
		slot = &keySlots[nextSlot];
	}

	if (event.type == SDL_KEYDOWN) {
		slot->scancode = scancode;
		slot->keySymbol = static_cast<uint8_t>(event.keysym.sym & 0xFF);
		// A key repeat of a held key stays held.
		if (slot->state < kKeyPressed)
			slot->state = kKeyPressed;
	} else if (slot->scancode == scancode) {
		slot->state = kKeyReleased;
	}
}

void Input::HandleControllerButton(const SDL_ControllerButtonEvent &event)
{
	if (controller.instanceId < 0 || event.which != controller.instanceId)
		return;
	uint32_t &state = controller.buttons[ActionForButton(event.button)];
	if (event.type == SDL_CONTROLLERBUTTONDOWN) {
		if (!IsDownState(state))
			state = kKeyPressed;
	} else {
		// Buttons share actions: letting go of one releases the action even
		// while another of its buttons is held.
		state = kKeyReleased;
	}
}

void Input::HandleControllerAxis(const SDL_ControllerAxisEvent &event)
{
	if (controller.instanceId < 0 || event.which != controller.instanceId)
		return;
	if (event.axis == SDL_CONTROLLER_AXIS_LEFTX)
		controller.stick.x = event.value / kStickAxisScale;
	else if (event.axis == SDL_CONTROLLER_AXIS_LEFTY)
		controller.stick.y = event.value / kStickAxisScale;
}

void Input::HandleControllerDevice(const SDL_ControllerDeviceEvent &event)
{
	if (event.type == SDL_CONTROLLERDEVICEADDED) {
		const int deviceIndex = event.which;
		if (!SDL_IsGameController(deviceIndex))
			return;
		SDL_GameController *opened = SDL_GameControllerOpen(deviceIndex);
		if (opened == nullptr) {
			Log("Could not open gamecontroller %i: %s\n", deviceIndex, SDL_GetError());
			return;
		}
		const int32_t id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(opened));
		// Only one controller is followed; a second one stays open unheard.
		if (controller.instanceId == -1) {
			controller.instanceId = id;
			LogDebug("Connected controller %d\n", id);
		}
		return;
	}

	const int32_t id = event.which;
	if (controller.instanceId < 0 || controller.instanceId != id)
		return;
	SDL_GameControllerClose(SDL_GameControllerFromInstanceID(id));
	controller.instanceId = -1;
	LogDebug("Disconnected controller %d\n", id);
}

void Input::UpdateControllers()
{
	controller.stick.x = ClampUnit(controller.stick.x);
	controller.stick.y = ClampUnit(controller.stick.y);
}

void Input::EndFrame()
{
	for (KeySlot &slot : keySlots) {
		if (slot.state == kKeyReleased)
			slot = KeySlot{};
		else if (slot.state == kKeyPressed)
			slot.state = kKeyHeld;
	}
	for (uint32_t &button : controller.buttons) {
		if (button == kKeyPressed)
			button = kKeyHeld;
		else if (button == kKeyReleased)
			button = kKeyUp;
	}
}

bool Input::IsKeyDown(uint16_t code) const
{
	for (const KeySlot &slot : keySlots) {
		if (!IsDownState(slot.state))
			continue;
		if (slot.scancode == code || static_cast<int>(static_cast<int8_t>(slot.keySymbol)) == code)
			return true;
	}
	return false;
}

bool Input::IsKeyPressed(uint16_t code) const
{
	for (const KeySlot &slot : keySlots) {
		if (slot.state != kKeyPressed)
			continue;
		if (slot.scancode == code || static_cast<int>(static_cast<int8_t>(slot.keySymbol)) == code)
			return true;
	}
	return false;
}

uint32_t Input::GetKeyState(uint16_t scancode) const
{
	if (scancode == 0)
		return kKeyUp;
	for (const KeySlot &slot : keySlots) {
		if (slot.scancode == scancode)
			return slot.state;
	}
	return kKeyUp;
}

uint32_t Input::GetKeyPairState(KeyPair pair) const
{
	return MaxState(GetKeyState(pair.first), GetKeyState(pair.second));
}

uint32_t Input::GetActionKeyState(KeyPair pair) const
{
	return GetKeyPairState(pair);
}

bool Input::IsActionDown(uint8_t action) const
{
	return controller.IsButtonDown(action) || IsDownState(GetActionKeyState(bindings.GetActionKeys(action)));
}

bool Input::IsActionPressed(uint8_t action) const
{
	return controller.IsButtonPressed(action) || GetActionKeyState(bindings.GetActionKeys(action)) == kKeyPressed;
}

bool Input::AnyActionDown() const
{
	for (uint8_t action = 0; action < kInputActionCount; ++action) {
		if (IsActionDown(action))
			return true;
	}
	return false;
}

bool Input::AnyActionPressed() const
{
	for (uint8_t action = 0; action < kInputActionCount; ++action) {
		if (IsActionPressed(action))
			return true;
	}
	return false;
}

bool Input::IsBackPressed() const
{
	return IsActionPressed(kActionBack) || IsActionPressed(kActionCancel) || IsKeyPressed(kScanEscape);
}

bool Input::IsConfirmPressed() const
{
	return IsActionPressed(kActionConfirm) || IsActionPressed(kActionAttack) || IsKeyPressed(kScanReturn);
}

bool Input::IsSkipPressed() const
{
	return IsActionPressed(kActionConfirm) || IsActionPressed(kActionBack) || IsKeyPressed(kScanEscape);
}

glm::vec2 Input::GetMoveVector(uint32_t player) const
{
	const Renderer *renderer = GetRenderer();
	return GetMoveVector(player, renderer != nullptr && renderer->IsCurrentPostModeOrtho());
}

glm::vec2 Input::GetMoveVector(uint32_t player, bool orthoSnap) const
{
	glm::vec2 move = controller.GetStick();

	// The keys decide only while the stick rests near its centre; an axis
	// without a held key keeps the stick's value.
	if (player == 0 && move.x * move.x + move.y * move.y < kKeyboardTakeoverLengthSq) {
		if (IsDownState(GetKeyPairState(bindings.movement[InputBindings::MoveLeft])))
			move.x = -1.0f;
		else if (IsDownState(GetKeyPairState(bindings.movement[InputBindings::MoveRight])))
			move.x = 1.0f;
		if (IsDownState(GetKeyPairState(bindings.movement[InputBindings::MoveUp])))
			move.y = -1.0f;
		else if (IsDownState(GetKeyPairState(bindings.movement[InputBindings::MoveDown])))
			move.y = 1.0f;
	}

	if (move.x * move.x + move.y * move.y > 1.0f) {
		glm::vec2 unit = glm::normalize(move);
		move = (std::isnan(unit.x) || std::isnan(unit.y)) ? glm::vec2(0.0f, 0.0f) : unit;
	}

	if (orthoSnap)
		move = SnapToEightDirections(move);
	return move;
}
