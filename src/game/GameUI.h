#pragma once

#include <cstdint>

// The in-game HUD as the rest of the game sees it: the message box that
// scripts fill with messages, speech and prompts, and the answer the player
// gave to the last prompt. There is at most one HUD; it registers itself as
// the current one while it exists, so map code can reach it without owning
// it. It never holds on to the texts it is given past the call.
class GameUI {
public:
	// Message state after the player answered yes to a prompt.
	static constexpr uint32_t kMessageAnsweredYes = 2;
	// Display kinds of a message.
	static constexpr uint8_t kKindMessage = 0;
	static constexpr uint8_t kKindPrompt = 2;   // asks yes or no
	static constexpr uint8_t kKindMission = 3;

	GameUI();
	virtual ~GameUI();

	GameUI(const GameUI &) = delete;
	GameUI &operator=(const GameUI &) = delete;

	// The HUD that exists now, or null.
	static GameUI *Current();

	// seconds: how long the message stays; kind as above.
	virtual void ShowMessage(const char *text, float seconds, uint8_t kind);
	// A message under a title box; ends speech.
	virtual void ShowTitledMessage(const char *title, const char *text, float seconds, uint8_t kind);
	// A message spoken by the named speaker.
	virtual void ShowSpeech(const char *speaker, const char *text, float seconds, uint8_t kind);

	bool IsMessageVisible() const { return messageVisible != 0; }
	// True while the message shown is speech.
	bool IsSpeech() const { return speech != 0; }
	// kMessageAnsweredYes once the player said yes to a prompt.
	uint32_t GetMessageState() const { return messageState; }

protected:
	uint8_t messageVisible = 0;
	uint8_t speech = 0;
	uint32_t messageState = 0;
};
