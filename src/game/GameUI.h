#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/core/Entity.h"
#include "engine/render/Material.h"
#include "engine/render/Sprite.h"
#include "engine/render/Textbox.h"
#include "map/MapGameLink.h"
#include "objects/PlayerStats.h"

class Input;
class UIMiniMap;

// The in-game HUD: hearts, the held item, the cooler's weight, the play
// clock, the hit-chain bar, the minimap, the row of found letters, a centred
// banner, and the message box in which notices, speech and questions are
// typed letter by letter with sounds, under a speaker title and above one or
// two prompt buttons. The in-game scene owns one and lists it; while it
// exists it is the current HUD, so map scripts and world objects reach it
// without owning it. The player feeds it the hero's status every frame and
// answers its prompts. All placement is on the 600 x 360 interface screen.
// Texts are copied; the HUD owns its boxes, sprites and minimap.
class GameUI : public Entity {
public:
	// Message states.
	static constexpr uint32_t kMessagePlain = MapGameLink::kMessagePlain;
	static constexpr uint32_t kMessageQuestion = MapGameLink::kMessageQuestion;
	static constexpr uint32_t kMessageAnsweredYes = MapGameLink::kMessageAnsweredYes;
	static constexpr uint32_t kMessageAnsweredNo = MapGameLink::kMessageAnsweredNo;
	// Display kinds of a message.
	static constexpr uint8_t kKindMessage = MapGameLink::kKindMessage;
	static constexpr uint8_t kKindNotice = MapGameLink::kKindNotice;
	static constexpr uint8_t kKindPrompt = MapGameLink::kKindPrompt;
	static constexpr uint8_t kKindMission = MapGameLink::kKindMission;

	static constexpr float kBannerSeconds = 4.0f;
	static constexpr float kLetterRowSeconds = 3.0f;
	static constexpr float kSecondsPerLetter = 0.03f; // one reveal step at speed 1
	static constexpr float kLingerSeconds = 0.3f;     // typing flag kept after the last letter
	static constexpr float kBrutalLingerSeconds = 0.1f;
	static constexpr float kPromptSeconds = 1000.0f;  // a prompt keeps its message up until closed
	static constexpr float kPlainSpeed = 1.1f;
	static constexpr float kSpeechSpeed = 1.0f;
	static constexpr float kHurriedSpeed = 5.0f;
	static constexpr uint8_t kHeartCount = 12;
	static constexpr uint8_t kLetterCount = 4;
	static constexpr uint8_t kMaxChain = 8;

	GameUI();
	~GameUI() override;

	GameUI(const GameUI &) = delete;
	GameUI &operator=(const GameUI &) = delete;

	// The HUD that exists now, or null.
	static GameUI *Current();
	// A HUD exists and is busy or shows a message.
	static bool IsDisplaying();

	// Sets up the boxes, sprites and minimap (the HUD has joined its scene).
	void Init() override;
	void Update(float dt) override;
	void Render() override;

	// seconds: how long the message stays once typed; kind as above.
	virtual void ShowMessage(const char *text, float seconds, uint8_t kind);
	// A message under a speaker title box, with writing sounds.
	virtual void ShowTitledMessage(const char *title, const char *text, float seconds, uint8_t kind);
	// As a titled message, typed a little slower with talking sounds.
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
	// Hurries the typing while action 1 is held (not for a mission text).
	void RequestSkipTyping();
	void SetMessageWaviness(float value) { waviness = value; }
	// Shows the row of found letters for 3 s.
	void ShowLetters();
	// Hides the letter row at once.
	void HideLetters();
	// Reads the "shotmap" flag into the minimap switch and rebuilds the map.
	void RefreshShotMap();
	// chain: the hero's hit chain, 0 to 8.
	void SetPlayerStatus(const PlayerStats &stats, uint8_t chain);
	// Null reads the program's input.
	void SetInput(const Input *source) { input = source; }

	bool IsMessageVisible() const { return messageVisible != 0; }
	// True while the message shown is speech.
	bool IsSpeech() const { return speech != 0; }
	uint32_t GetMessageState() const { return messageState; }
	void SetMessageState(uint32_t state) { messageState = state; }
	// Typing, the letter row or the banner has time left.
	bool IsBusy() const { return typing != 0 || letterTime > 0.0f || bannerTime > 0.0f; }
	// The banner (the full-screen timer) has time left.
	bool IsTimerActive() const { return bannerTime > 0.0f; }

	std::string GetMessageText() const { return messageBox.GetText(); }
	std::string GetTitleText() const { return titleBox.GetText(); }
	std::string GetBannerText() const { return bannerBox.GetText(); }
	std::string GetPromptLabel() const { return promptABox.GetText(); }
	std::string GetSecondPromptLabel() const { return promptBBox.GetText(); }
	bool IsPromptShown() const { return promptABox.IsVisible(); }
	bool IsChoiceShown() const { return promptABox.IsVisible() && promptBBox.IsVisible(); }
	bool IsTitleShown() const { return titleBox.IsVisible(); }
	bool IsTyping() const { return typing != 0; }
	uint8_t GetMessageKind() const { return messageKind; }
	float GetMessageTimeLeft() const { return messageTime; }
	float GetTypingDelay() const { return typingDelay; }
	float GetCurrentSpeed() const { return currentSpeed; }
	float GetLingerLimit() const { return lingerLimit; }
	// Characters of the message shown so far.
	uint16_t GetShownChars() const { return shownChars; }
	float GetWaviness() const { return waviness; }
	bool IsShotMapOn() const { return shotMap != 0; }
	uint8_t GetShownHalves() const { return halves; }
	uint8_t GetShownMaxHalves() const { return maxHalves; }
	uint8_t GetShownChain() const { return chain; }
	bool IsOverWeight() const { return overWeight != 0; }
	const Sprite &GetHeart(uint8_t i) const { return hearts[i % kHeartCount]; }
	const Sprite &GetItemIcon() const { return itemIcon; }
	const Sprite &GetWeightIcon() const { return weightIcon; }
	const Textbox &GetWeightText() const { return weightBox; }
	const Sprite &GetLetter(uint8_t i) const { return letters[i % kLetterCount]; }
	const Sprite &GetChainFill() const { return barFill; }
	const Textbox &GetMessageBox() const { return messageBox; }
	const Textbox &GetPromptB() const { return promptBBox; }
	const Textbox &GetPromptA() const { return promptABox; }
	UIMiniMap &GetMiniMap() { return *minimap; }
	// The sound of the last reveal step ("" before any).
	const std::string &GetLastTypingSound() const { return lastTypingSound; }

protected:
	// Starts the typing of a new message; title null for none.
	void BeginMessage(const char *title, const char *text, float seconds, uint8_t kind);
	// One frame of the message box: placement, reveal, sounds and linger.
	void UpdateMessage(float dt);
	// Reveal steps of kinds 0 to 2; false when waiting on the delay.
	bool RevealSteps(float dt, uint32_t length);
	// The wait added after the character shown last, by what follows it.
	float StepDelay(uint32_t length) const;
	void UpdateHearts(float dt);
	bool IsActionHeld() const;

	uint8_t messageVisible = 0;
	uint8_t speech = 0;
	uint32_t messageState = kMessagePlain;

private:
	Textbox messageBox;
	Textbox promptABox;
	Textbox promptBBox;
	Textbox titleBox;
	Textbox clockBox;
	Textbox bannerBox;
	Material::Handle spriteMaterial;
	Sprite hearts[kHeartCount];
	Sprite itemIcon;
	Textbox weightBox;
	Sprite weightIcon;
	float messageDuration = 0.0f;
	float messageTime = 0.0f;
	float typedTime = 0.0f;
	float typingDelay = 0.0f;
	float bannerTime = 0.0f;
	uint8_t typing = 0;
	uint8_t skipRequested = 0;
	float soundGate = 0.0f;
	uint8_t halves = 0;
	uint8_t maxHalves = 0;
	uint32_t heldKind = 0;
	uint8_t weight = 0;
	uint8_t overWeight = 0;
	uint8_t chain = 0;
	uint8_t messageKind = kKindMessage;
	uint8_t clockOn = 0;
	float baseSpeed = kPlainSpeed;
	float currentSpeed = kPlainSpeed;
	float waviness = 0.0f;
	float lingerTime = 0.0f;
	float lingerLimit = kLingerSeconds;
	std::unique_ptr<UIMiniMap> minimap;
	uint8_t shotMap = 0;
	Sprite letters[kLetterCount];
	float letterTime = 0.0f;
	Sprite barBack;
	Sprite barFill;
	uint16_t shownChars = 0;
	uint8_t setUp = 0;
	const Input *input = nullptr;
	std::string lastTypingSound;
};
