// Input from synthetic SDL events: key slots across frames, bindings and game
// actions, the controller that input follows (a virtual SDL joystick stands in
// for a real pad so that the device events take the real road), and the
// movement vector with its orthographic snap.
#include <gtest/gtest.h>
#include "support/MissingDevice.h"
#include <SDL.h>

#include <vector>

#include "engine/core/Input.h"

namespace {

constexpr float kTolerance = 1e-3f;

SDL_Event KeyEvent(bool down, uint16_t scancode, SDL_Keycode sym = 0)
{
	SDL_Event event{};
	event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
	event.key.keysym.scancode = static_cast<SDL_Scancode>(scancode);
	event.key.keysym.sym = sym;
	return event;
}

SDL_Event ButtonEvent(bool down, SDL_JoystickID which, uint8_t button)
{
	SDL_Event event{};
	event.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
	event.cbutton.which = which;
	event.cbutton.button = button;
	return event;
}

SDL_Event AxisEvent(SDL_JoystickID which, uint8_t axis, int16_t value)
{
	SDL_Event event{};
	event.type = SDL_CONTROLLERAXISMOTION;
	event.caxis.which = which;
	event.caxis.axis = axis;
	event.caxis.value = value;
	return event;
}

SDL_Event DeviceEvent(uint32_t type, int32_t which)
{
	SDL_Event event{};
	event.type = type;
	event.cdevice.which = which;
	return event;
}

TEST(InputKeys, StatesFollowPressHoldAndReleaseAcrossFrames)
{
	enum Step { Down, Up, EndFrame };
	struct Row {
		Step step;
		uint32_t state;	// of the key afterwards
		bool down, pressed;
	};
	struct Case {
		const char *name;
		std::vector<Row> rows;
	};
	const Case cases[] = {
		{"press, hold, release, free",
		 {{Down, kKeyPressed, true, true}, {EndFrame, kKeyHeld, true, false}, {EndFrame, kKeyHeld, true, false},
		  {Up, kKeyReleased, false, false}, {EndFrame, kKeyUp, false, false}}},
		{"press and release in one poll is never pressed",
		 {{Down, kKeyPressed, true, true}, {Up, kKeyReleased, false, false}, {EndFrame, kKeyUp, false, false}}},
		{"key repeat of a held key stays held",
		 {{Down, kKeyPressed, true, true}, {EndFrame, kKeyHeld, true, false}, {Down, kKeyHeld, true, false}}},
		{"released and pressed again in one frame is pressed",
		 {{Down, kKeyPressed, true, true}, {EndFrame, kKeyHeld, true, false}, {Up, kKeyReleased, false, false},
		  {Down, kKeyPressed, true, true}}},
		{"release of a key never pressed", {{Up, kKeyUp, false, false}, {EndFrame, kKeyUp, false, false}}},
	};
	const uint16_t key = SDL_SCANCODE_J;
	for (const Case &c : cases) {
		SCOPED_TRACE(c.name);
		Input input;
		for (size_t i = 0; i < c.rows.size(); ++i) {
			SCOPED_TRACE(::testing::Message() << "step " << i);
			const Row &row = c.rows[i];
			if (row.step == EndFrame)
				input.EndFrame();
			else
				input.HandleEvent(KeyEvent(row.step == Down, key));
			EXPECT_EQ(input.GetKeyState(key), row.state);
			EXPECT_EQ(input.IsKeyDown(key), row.down);
			EXPECT_EQ(input.IsKeyPressed(key), row.pressed);
		}
		// A freed slot forgets its key entirely.
		for (uint8_t slot = 0; slot < kInputKeySlotCount && c.rows.back().state == kKeyUp; ++slot)
			EXPECT_EQ(input.GetKeySlot(slot).scancode, 0) << "slot " << int(slot);
	}
}

TEST(InputKeys, NinthHeldKeyTakesOverASlot)
{
	Input input;
	const uint16_t keys[9] = {SDL_SCANCODE_A, SDL_SCANCODE_B, SDL_SCANCODE_C, SDL_SCANCODE_D, SDL_SCANCODE_E,
							  SDL_SCANCODE_F, SDL_SCANCODE_G, SDL_SCANCODE_H, SDL_SCANCODE_I};
	for (int i = 0; i < 8; ++i)
		input.HandleEvent(KeyEvent(true, keys[i]));
	input.EndFrame();

	// With every slot held the rotation comes back to where it started, the
	// slot of the eighth key, and takes it over. The slot keeps its held
	// state, so the new key is down at once but never seen as pressed.
	input.HandleEvent(KeyEvent(true, keys[8]));
	EXPECT_TRUE(input.IsKeyDown(keys[8]));
	EXPECT_FALSE(input.IsKeyPressed(keys[8]));
	EXPECT_FALSE(input.IsKeyDown(keys[7]));
	for (int i = 0; i < 7; ++i)
		EXPECT_TRUE(input.IsKeyDown(keys[i])) << "key " << i;

	// A key released in this frame gives its slot to the next new key.
	input.EndFrame();
	input.HandleEvent(KeyEvent(false, keys[2]));
	input.HandleEvent(KeyEvent(true, SDL_SCANCODE_J));
	EXPECT_TRUE(input.IsKeyPressed(SDL_SCANCODE_J));
	EXPECT_EQ(input.GetKeyState(keys[2]), kKeyUp);
	for (int i : {0, 1, 3, 4, 5, 6, 8})
		EXPECT_TRUE(input.IsKeyDown(keys[i])) << "key " << i;
}

TEST(InputKeys, KeyCodeLowByteAlsoMatches)
{
	struct Case {
		const char *name;
		uint16_t scancode;
		SDL_Keycode sym;
		uint16_t query;
		bool down;
	};
	const Case cases[] = {
		{"by scancode", SDL_SCANCODE_RETURN, SDLK_RETURN, 40, true},
		{"left parenthesis key reads as Return", SDL_SCANCODE_9, SDLK_LEFTPAREN, 40, true},
		{"a letter key matches its character", SDL_SCANCODE_K, SDLK_k, 'k', true},
		{"only the low byte of the key code counts", SDL_SCANCODE_F5, 0x4000007A, 'z', true},
		{"a low byte of 128 or more is negative", SDL_SCANCODE_KP_1, 0xE1, 0xE1, false},
		{"an unrelated key", SDL_SCANCODE_K, SDLK_k, 40, false},
		{"empty symbols of free slots are not key 0", SDL_SCANCODE_K, SDLK_k, 0, false},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.name);
		Input input;
		input.HandleEvent(KeyEvent(true, c.scancode, c.sym));
		EXPECT_EQ(input.IsKeyDown(c.query), c.down);
		EXPECT_EQ(input.IsKeyPressed(c.query), c.down);
		// The state query goes by scancode only.
		EXPECT_EQ(input.GetKeyState(c.query), c.query == c.scancode ? kKeyPressed : kKeyUp);
	}
}

TEST(InputActions, DefaultKeysFeedActionsAndMenuQueries)
{
	struct Case {
		const char *name;
		uint16_t scancode;
		int action;	// -1: none
		bool confirm, back, skip;
	};
	const Case cases[] = {
		{"Space", SDL_SCANCODE_SPACE, 1, true, false, false},
		{"left Shift", SDL_SCANCODE_LSHIFT, 2, false, true, false},
		{"right Shift", SDL_SCANCODE_RSHIFT, 2, false, true, false},
		{"Return", SDL_SCANCODE_RETURN, 3, true, false, true},
		{"Return2", SDL_SCANCODE_RETURN2, 3, true, false, true},
		{"Escape", SDL_SCANCODE_ESCAPE, 4, false, true, true},
		{"movement key", SDL_SCANCODE_W, -1, false, false, false},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.name);
		Input input;
		input.HandleEvent(KeyEvent(true, c.scancode));
		for (uint8_t action = 0; action < kInputActionCount; ++action) {
			EXPECT_EQ(input.IsActionPressed(action), action == c.action) << "action " << int(action);
			EXPECT_EQ(input.IsActionDown(action), action == c.action) << "action " << int(action);
		}
		EXPECT_EQ(input.IsConfirmPressed(), c.confirm);
		EXPECT_EQ(input.IsBackPressed(), c.back);
		EXPECT_EQ(input.IsSkipPressed(), c.skip);

		// Next frame the key is held: still down, no longer pressed.
		input.EndFrame();
		EXPECT_EQ(input.AnyActionDown(), c.action >= 0);
		EXPECT_FALSE(input.AnyActionPressed() || input.IsConfirmPressed() || input.IsBackPressed() ||
					 input.IsSkipPressed());
	}
}

// Attaches a virtual game controller and lets an Input follow it through the
// same device event SDL sends.
class InputController : public ::testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
		deviceIndex = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
												SDL_CONTROLLER_BUTTON_MAX, 0);
		if (deviceIndex < 0 || !SDL_IsGameController(deviceIndex))
			SKIP_FOR_MISSING_DEVICE() << "no virtual game controller: " << SDL_GetError();
		input.HandleEvent(DeviceEvent(SDL_CONTROLLERDEVICEADDED, deviceIndex));
		padId = input.GetController().instanceId;
		ASSERT_GE(padId, 0);
	}

	void TearDown() override
	{
		if (padId >= 0)
			input.HandleEvent(DeviceEvent(SDL_CONTROLLERDEVICEREMOVED, padId));
		if (deviceIndex >= 0)
			SDL_JoystickDetachVirtual(deviceIndex);
		SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
		SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
	}

	Input input;
	int deviceIndex = -1;
	SDL_JoystickID padId = -1;
};

TEST_F(InputController, ButtonsFeedTheirActions)
{
	struct Case {
		uint8_t button;
		uint8_t action;
	};
	const Case cases[] = {
		{SDL_CONTROLLER_BUTTON_A, 1}, {SDL_CONTROLLER_BUTTON_X, 1}, {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 1},
		{SDL_CONTROLLER_BUTTON_B, 2}, {SDL_CONTROLLER_BUTTON_Y, 2}, {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 2},
		{SDL_CONTROLLER_BUTTON_START, 3}, {SDL_CONTROLLER_BUTTON_GUIDE, 3},
		{SDL_CONTROLLER_BUTTON_BACK, 4}, {SDL_CONTROLLER_BUTTON_TOUCHPAD, 4},
		{SDL_CONTROLLER_BUTTON_DPAD_UP, 6}, {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 7},
		{SDL_CONTROLLER_BUTTON_DPAD_LEFT, 8}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 9},
		{SDL_CONTROLLER_BUTTON_LEFTSTICK, 0}, {SDL_CONTROLLER_BUTTON_RIGHTSTICK, 0},
		{SDL_CONTROLLER_BUTTON_MISC1, 0}, {SDL_CONTROLLER_BUTTON_PADDLE3, 0},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(SDL_GameControllerGetStringForButton(static_cast<SDL_GameControllerButton>(c.button)));
		input.Reset();
		input.HandleEvent(ButtonEvent(true, padId, c.button));
		for (uint8_t action = 0; action < kInputActionCount; ++action)
			EXPECT_EQ(input.IsActionPressed(action), action == c.action) << "action " << int(action);
		input.EndFrame();
		EXPECT_EQ(input.GetController().GetButtonState(c.action), kKeyHeld);
		EXPECT_TRUE(input.IsActionDown(c.action));
		EXPECT_FALSE(input.IsActionPressed(c.action));
		input.HandleEvent(ButtonEvent(false, padId, c.button));
		EXPECT_EQ(input.GetController().GetButtonState(c.action), kKeyReleased);
		input.EndFrame();
		EXPECT_EQ(input.GetController().GetButtonState(c.action), kKeyUp);
	}
}

TEST_F(InputController, SharedButtonsOtherPadsAndRemoval)
{
	// A second button of the same action does not press it again, and
	// letting go of either releases it.
	input.HandleEvent(ButtonEvent(true, padId, SDL_CONTROLLER_BUTTON_A));
	EXPECT_TRUE(input.IsConfirmPressed());
	input.EndFrame();
	input.HandleEvent(ButtonEvent(true, padId, SDL_CONTROLLER_BUTTON_X));
	EXPECT_EQ(input.GetController().GetButtonState(1), kKeyHeld);
	input.HandleEvent(ButtonEvent(false, padId, SDL_CONTROLLER_BUTTON_X));
	EXPECT_FALSE(input.IsActionDown(1));

	// The stick is clamped when the poll ends.
	input.HandleEvent(AxisEvent(padId, SDL_CONTROLLER_AXIS_LEFTX, -32768));
	input.HandleEvent(AxisEvent(padId, SDL_CONTROLLER_AXIS_RIGHTY, 32767));
	input.UpdateControllers();
	EXPECT_FLOAT_EQ(input.GetController().stick.x, -1.0f);
	EXPECT_FLOAT_EQ(input.GetController().stick.y, 0.0f);

	// Another controller is not heard, and stays unfollowed when it arrives.
	input.HandleEvent(ButtonEvent(true, padId + 1, SDL_CONTROLLER_BUTTON_B));
	EXPECT_FALSE(input.IsActionDown(2));
	const int second = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
												 SDL_CONTROLLER_BUTTON_MAX, 0);
	ASSERT_GE(second, 0) << SDL_GetError();
	input.HandleEvent(DeviceEvent(SDL_CONTROLLERDEVICEADDED, second));
	EXPECT_EQ(input.GetController().instanceId, padId);

	// Removal frees the record but keeps what it last held.
	input.HandleEvent(ButtonEvent(true, padId, SDL_CONTROLLER_BUTTON_START));
	input.HandleEvent(DeviceEvent(SDL_CONTROLLERDEVICEREMOVED, padId + 100));
	EXPECT_EQ(input.GetController().instanceId, padId);
	input.HandleEvent(DeviceEvent(SDL_CONTROLLERDEVICEREMOVED, padId));
	EXPECT_EQ(input.GetController().instanceId, -1);
	input.HandleEvent(ButtonEvent(false, padId, SDL_CONTROLLER_BUTTON_START));
	EXPECT_TRUE(input.IsActionDown(3));
	EXPECT_FLOAT_EQ(input.GetController().stick.x, -1.0f);
	padId = -1;
	SDL_JoystickDetachVirtual(second);
}

TEST_F(InputController, MoveVectorFromStickKeysAndPad)
{
	struct Case {
		const char *name;
		float stickX, stickY;
		std::vector<uint16_t> keys;
		std::vector<uint8_t> pad;
		uint32_t player;
		bool ortho;
		float x, y;
	};
	const float d = 0.70710678f;
	const uint8_t up = SDL_CONTROLLER_BUTTON_DPAD_UP, down = SDL_CONTROLLER_BUTTON_DPAD_DOWN;
	const uint8_t left = SDL_CONTROLLER_BUTTON_DPAD_LEFT, right = SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
	const Case cases[] = {
		{"nothing held", 0, 0, {}, {}, 0, false, 0, 0},
		{"left and right: left wins", 0, 0, {SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT}, {}, 0, false, -1, 0},
		{"up and down: up wins", 0, 0, {SDL_SCANCODE_DOWN, SDL_SCANCODE_UP}, {}, 0, false, 0, -1},
		{"D and S make a unit diagonal", 0, 0, {SDL_SCANCODE_D, SDL_SCANCODE_S}, {}, 0, false, d, d},
		{"small stick passes through", 0.05f, 0, {}, {}, 0, false, 0.05f, 0},
		{"small stick stops in ortho", 0.05f, 0, {}, {}, 0, true, 0, 0},
		{"keys override a small stick", 0.05f, 0, {SDL_SCANCODE_RIGHT}, {}, 0, false, 1, 0},
		{"a key leaves the other axis to the stick", 0.2f, 0.2f, {SDL_SCANCODE_W}, {}, 0, false, 0.196f, -0.981f},
		{"keys ignored under a pushed stick", 0.5f, 0, {SDL_SCANCODE_A}, {}, 0, false, 0.5f, 0},
		{"keys are player 0's only", 0, 0, {SDL_SCANCODE_A}, {}, 1, false, 0, 0},
		{"stick inside the circle is unchanged", 0.6f, 0.6f, {}, {}, 0, false, 0.6f, 0.6f},
		{"stick corner is clamped to length 1", 1, 1, {}, {}, 0, false, d, d},
		{"ortho snaps to the nearest direction", 0.9f, 0.3f, {}, {}, 0, true, 0.9487f, 0},
		{"d-pad up wins over down", 0, 0, {}, {down, up}, 0, false, 0, -1},
		{"d-pad left wins over right", 0, 0, {}, {right, left}, 0, false, -1, 0},
		{"d-pad does not override a pushed axis", 0.5f, 0, {}, {left}, 0, false, 0.5f, 0},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.name);
		input.Reset();
		input.HandleEvent(AxisEvent(padId, SDL_CONTROLLER_AXIS_LEFTX, static_cast<int16_t>(c.stickX * 32767.0f)));
		input.HandleEvent(AxisEvent(padId, SDL_CONTROLLER_AXIS_LEFTY, static_cast<int16_t>(c.stickY * 32767.0f)));
		input.UpdateControllers();
		for (uint16_t key : c.keys)
			input.HandleEvent(KeyEvent(true, key));
		for (uint8_t button : c.pad)
			input.HandleEvent(ButtonEvent(true, padId, button));
		const glm::vec2 move = input.GetMoveVector(c.player, c.ortho);
		EXPECT_NEAR(move.x, c.x, kTolerance);
		EXPECT_NEAR(move.y, c.y, kTolerance);
	}
}

TEST(InputMove, OrthoSnapKeepsLengthAndPicksOneOfEightDirections)
{
	struct Case {
		const char *name;
		glm::vec2 in, out;
	};
	const Case cases[] = {
		{"below the dead zone", {0.2f, 0.2f}, {0.0f, 0.0f}},
		{"just above the dead zone", {0.0f, -0.31f}, {0.0f, -0.31f}},
		{"near north (up is negative)", {0.3f, -0.9f}, {0.0f, -0.9487f}},
		{"near south-west", {-0.6f, 0.4f}, {-0.5099f, 0.5099f}},
		{"near west from below", {-1.0f, 0.01f}, {-1.0f, 0.0f}},
		{"near west from above", {-1.0f, -0.01f}, {-1.0f, 0.0f}},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.name);
		const glm::vec2 out = SnapToEightDirections(c.in);
		EXPECT_NEAR(out.x, c.out.x, kTolerance);
		EXPECT_NEAR(out.y, c.out.y, kTolerance);
	}
}

}
