#pragma once

#include <cstdint>
#include <string>

#include "engine/core/Entity.h"
#include "objects/PlayerStats.h"

// The in-game HUD as the rest of the game sees it: the message box that
// scripts and world objects fill with notices, speech and questions, the one
// or two prompt buttons under it, the answer the player gave, the centred
// banner, and the player's status (hearts, held item, weight, hit chain).
// This first HUD keeps that state and logs every text it is given; it draws
// nothing yet. A message is "typed" for a time that grows with its length
// (finished at once on request) and keeps the HUD busy meanwhile; the banner
// runs on its own timer and blacks out play while it is up. There is at most
// one HUD: it registers itself as the current one while it exists, so map
// code and world objects reach it without owning it. It copies the texts it
// is given.
class GameUI : public Entity {
public:
	// Message states.
	static constexpr uint32_t kMessagePlain = 0;
	static constexpr uint32_t kMessageQuestion = 1;
	static constexpr uint32_t kMessageAnsweredYes = 2; // also "confirmed"
	static constexpr uint32_t kMessageAnsweredNo = 3;
	// Display kinds of a message.
	static constexpr uint8_t kKindMessage = 0;
	static constexpr uint8_t kKindNotice = 1;
	static constexpr uint8_t kKindPrompt = 2;   // asks yes or no
	static constexpr uint8_t kKindMission = 3;  // comes out at an even pace, cannot be hurried

	static constexpr float kBannerSeconds = 4.0f;
	static constexpr float kLetterRowSeconds = 3.0f;
	static constexpr float kSecondsPerLetter = 0.03f; // typing pace at speed 1
	static constexpr float kLingerSeconds = 0.3f;     // a typed text stays "typing" this long

	GameUI();
	~GameUI() override;

	GameUI(const GameUI &) = delete;
	GameUI &operator=(const GameUI &) = delete;

	// The HUD that exists now, or null.
	static GameUI *Current();
	// A HUD exists and is busy or shows a message.
	static bool IsDisplaying();

	void Update(float dt) override;

	// seconds: how long the message stays once typed; kind as above.
	virtual void ShowMessage(const char *text, float seconds, uint8_t kind);
	// A message under a speaker title box; a prompt kind asks a question.
	virtual void ShowTitledMessage(const char *title, const char *text, float seconds, uint8_t kind);
	// A message spoken by the named speaker.
	virtual void ShowSpeech(const char *speaker, const char *text, float seconds, uint8_t kind);
	// Finishes the typing and shows one prompt button with the label.
	void ShowPrompt(const char *label);
	// Finishes the typing and shows both buttons.
	void ShowChoice(const char *yesLabel, const char *noLabel);
	// The centred banner for 4 s; empty or null closes the message instead.
	void ShowBanner(const char *text);
	void CloseMessage();
	void HidePrompts();
	// Finishes the typing at once (not for a mission text).
	void SkipTyping();
	// Finishes the typing on the next update (not for a mission text).
	void RequestSkipTyping();
	void SetMessageWaviness(float value) { waviness = value; }
	void ShowLetters() { letterTime = kLetterRowSeconds; }
	// Reads the "shotmap" flag into the minimap switch.
	void RefreshShotMap();
	void SetPlayerStatus(const PlayerStats &stats, uint8_t chain);

	bool IsMessageVisible() const { return messageVisible != 0; }
	// True while the message shown is speech.
	bool IsSpeech() const { return speech != 0; }
	uint32_t GetMessageState() const { return messageState; }
	void SetMessageState(uint32_t state) { messageState = state; }
	// Typing, the letter row or the banner has time left.
	bool IsBusy() const { return typing != 0 || letterTime > 0.0f || bannerTime > 0.0f; }
	// The banner (the full-screen timer) has time left.
	bool IsTimerActive() const { return bannerTime > 0.0f; }

	const std::string &GetMessageText() const { return messageText; }
	const std::string &GetTitleText() const { return titleText; }
	const std::string &GetBannerText() const { return bannerText; }
	const std::string &GetPromptLabel() const { return promptA; }
	const std::string &GetSecondPromptLabel() const { return promptB; }
	bool IsPromptShown() const { return promptAShown != 0; }
	bool IsChoiceShown() const { return promptAShown != 0 && promptBShown != 0; }
	bool IsTyping() const { return typing != 0; }
	uint8_t GetMessageKind() const { return messageKind; }
	float GetMessageTimeLeft() const { return messageTime; }
	float GetWaviness() const { return waviness; }
	bool IsShotMapOn() const { return shotMap != 0; }
	const PlayerStats &GetShownStats() const { return shownStats; }
	uint8_t GetShownChain() const { return shownChain; }

protected:
	// Starts the typing of a new message.
	void BeginMessage(const char *title, const char *text, float seconds, uint8_t kind);

	uint8_t messageVisible = 0;
	uint8_t speech = 0;
	uint32_t messageState = kMessagePlain;

private:
	std::string messageText;
	std::string titleText;
	std::string bannerText;
	std::string promptA;
	std::string promptB;
	uint8_t promptAShown = 0;
	uint8_t promptBShown = 0;
	uint8_t typing = 0;
	uint8_t skipRequested = 0;
	uint8_t messageKind = kKindMessage;
	uint8_t shotMap = 0;
	float typedTime = 0.0f;   // seconds the current message has been typing
	float typingTime = 0.0f;  // seconds its typing takes
	float messageTime = 0.0f; // seconds it stays once typed
	float bannerTime = 0.0f;
	float letterTime = 0.0f;
	float waviness = 0.0f;
	PlayerStats shownStats;
	uint8_t shownChain = 0;
};
