#pragma once
#include <SDL.h>
#include <glm/vec2.hpp>
#include <cstdint>

// States shared by key slots and controller buttons. A key or button is down
// in kKeyPressed or kKeyHeld, and pressed in kKeyPressed only, which lasts
// exactly one frame; a release (kKeyReleased) also lasts one frame.
enum KeyState : uint32_t {
	kKeyUp = 0,
	kKeyReleased = 1,
	kKeyPressed = 2,
	kKeyHeld = 3,
};

constexpr uint8_t kInputActionCount = 10;	// numbered game actions 0..9
constexpr uint8_t kInputKeySlotCount = 8;	// keys tracked at once

// Actions with a name of their own in the menus and on the controller.
constexpr uint8_t kActionAttack = 1;
constexpr uint8_t kActionCancel = 2;
constexpr uint8_t kActionConfirm = 3;
constexpr uint8_t kActionBack = 4;
constexpr uint8_t kActionPadUp = 6;
constexpr uint8_t kActionPadDown = 7;
constexpr uint8_t kActionPadLeft = 8;
constexpr uint8_t kActionPadRight = 9;

// Two SDL scancodes that mean the same thing; 0 is no key.
struct KeyPair {
	uint16_t first = 0;
	uint16_t second = 0;
};

// One tracked keyboard key: its scancode (0 while the slot is free), the low
// byte of the key code at its last press, and its KeyState.
struct KeySlot {
	uint16_t scancode = 0;
	uint8_t keySymbol = 0;
	uint32_t state = kKeyUp;
};

// The one game controller that input follows: the SDL joystick instance id it
// listens to (-1 while free), its left stick (-1..1, up and left negative) and
// one KeyState per game action, fed by every button mapped to that action.
struct ControllerState {
	int32_t instanceId = -1;
	glm::vec2 stick{0.0f, 0.0f};
	uint32_t buttons[kInputActionCount] = {};

	bool IsButtonDown(uint8_t action) const;
	bool IsButtonPressed(uint8_t action) const;
	// kKeyUp for an action above 9.
	uint32_t GetButtonState(uint8_t action) const;
	// The stick, with the d-pad standing in for an axis the stick leaves near
	// its centre.
	glm::vec2 GetStick() const;
};

// Keyboard bindings: a pair of keys for each movement direction and each
// game action.
struct InputBindings {
	enum MoveDirection : uint8_t { MoveLeft = 0, MoveRight = 1, MoveUp = 2, MoveDown = 3 };

	KeyPair movement[4];
	KeyPair actions[kInputActionCount];

	void Clear();
	// An empty pair for an action above 9.
	KeyPair GetActionKeys(uint8_t action) const;
};

// Snaps a movement vector to the nearest of eight directions, keeping its
// length; a vector shorter than the snap dead zone becomes zero. Used while
// the view is orthographic, where free diagonal movement looks wrong.
glm::vec2 SnapToEightDirections(glm::vec2 move);

// The keyboard and game-controller state of the program. The frame step
// feeds it every event except quit and window events, and tells it when the
// poll and the frame end; game code asks it about keys, the numbered game
// actions and the movement vector. It follows one controller at a time and
// tracks up to eight keys at once. There is one, reached through Input::Get;
// tests may make their own.
class Input {
public:
	// Starts SDL's game-controller subsystem, loads controller mappings from
	// "gamecontrollerdb.txt" in the working directory when it is there, and
	// sets the default bindings.
	Input();
	Input(const Input &) = delete;
	Input &operator=(const Input &) = delete;

	// The program's input, made on first use.
	static Input *Get();

	void Reset();
	void SetDefaultBindings();

	void HandleEvent(const SDL_Event &event);
	// End of the event poll.
	void UpdateControllers();
	// End of the frame: presses become holds, releases become free.
	void EndFrame();

	// A key is matched by scancode, or by the low byte of its key code read
	// as a signed byte.
	bool IsKeyDown(uint16_t code) const;
	bool IsKeyPressed(uint16_t code) const;
	// kKeyUp for scancode 0 or a key no slot holds.
	uint32_t GetKeyState(uint16_t scancode) const;
	uint32_t GetKeyPairState(KeyPair pair) const;
	uint32_t GetActionKeyState(KeyPair pair) const;

	bool IsActionDown(uint8_t action) const;
	bool IsActionPressed(uint8_t action) const;
	bool AnyActionDown() const;
	bool AnyActionPressed() const;
	bool IsBackPressed() const;
	bool IsConfirmPressed() const;
	bool IsSkipPressed() const;

	// Movement for the given player (all callers pass 0): stick, or the
	// movement keys when the stick is near its centre, at most length 1, and
	// snapped to eight directions while the renderer's post mode is
	// orthographic.
	glm::vec2 GetMoveVector(uint32_t player) const;
	// The same with the orthographic snap chosen by the caller.
	glm::vec2 GetMoveVector(uint32_t player, bool orthoSnap) const;

	const ControllerState &GetController() const { return controller; }
	const KeySlot &GetKeySlot(uint8_t index) const { return keySlots[index % kInputKeySlotCount]; }

private:
	void HandleKeyEvent(const SDL_KeyboardEvent &event);
	void HandleControllerButton(const SDL_ControllerButtonEvent &event);
	void HandleControllerAxis(const SDL_ControllerAxisEvent &event);
	void HandleControllerDevice(const SDL_ControllerDeviceEvent &event);

	KeySlot keySlots[kInputKeySlotCount];
	uint8_t nextSlot = 0;
	ControllerState controller;
	InputBindings bindings;
};
