#include "game/GameUI.h"

#include "engine/core/Log.h"
#include "engine/core/Scene.h"
#include "game/GameProgress.h"

namespace {

GameUI *g_currentUI = nullptr;

const char *TextOrEmpty(const char *text)
{
	return text != nullptr ? text : "";
}

}

GameUI::GameUI()
{
	drawLayer = Entity::kInterfaceLayer;
	g_currentUI = this;
}

GameUI::~GameUI()
{
	if (g_currentUI == this)
		g_currentUI = nullptr;
}

GameUI *GameUI::Current()
{
	return g_currentUI;
}

bool GameUI::IsDisplaying()
{
	return g_currentUI != nullptr && (g_currentUI->IsBusy() || g_currentUI->IsMessageVisible());
}

void GameUI::Update(float dt)
{
	if (typing != 0) {
		typedTime += dt;
		if (skipRequested != 0 || typedTime >= typingTime + kLingerSeconds) {
			typing = 0;
			skipRequested = 0;
			waviness = 0.0f;
		}
	}
	if (letterTime > 0.0f)
		letterTime -= dt;
	if (bannerTime > 0.0f)
		bannerTime -= dt;
	if (messageVisible != 0 && messageTime > 0.0f && typing == 0)
		messageTime -= dt;
}

void GameUI::BeginMessage(const char *title, const char *text, float seconds, uint8_t kind)
{
	messageText = TextOrEmpty(text);
	titleText = TextOrEmpty(title);
	messageKind = kind;
	messageTime = seconds;
	messageVisible = 1;
	typing = 1;
	skipRequested = 0;
	typedTime = 0.0f;
	// A mission text comes out over its whole time; others letter by letter.
	typingTime = kind == kKindMission ? seconds : kSecondsPerLetter * (float)messageText.size();
	promptAShown = 0;
	promptBShown = 0;
	if (titleText.empty())
		LogDebug("HUD: %s\n", messageText.c_str());
	else
		LogDebug("HUD: %s: %s\n", titleText.c_str(), messageText.c_str());
}

void GameUI::ShowMessage(const char *text, float seconds, uint8_t kind)
{
	BeginMessage(nullptr, text, seconds, kind);
	messageState = kMessagePlain;
}

void GameUI::ShowTitledMessage(const char *title, const char *text, float seconds, uint8_t kind)
{
	BeginMessage(title, text, seconds, kind);
	speech = 0;
	messageState = kind == kKindPrompt ? kMessageQuestion : kMessagePlain;
}

void GameUI::ShowSpeech(const char *speaker, const char *text, float seconds, uint8_t kind)
{
	// Not through ShowTitledMessage: a HUD that overrides one kind of message
	// must not see speech arrive as the other.
	BeginMessage(speaker, text, seconds, kind);
	speech = 1;
	messageState = kind == kKindPrompt ? kMessageQuestion : kMessagePlain;
}

void GameUI::ShowPrompt(const char *label)
{
	SkipTyping();
	promptA = TextOrEmpty(label);
	promptAShown = 1;
	promptBShown = 0;
}

void GameUI::ShowChoice(const char *yesLabel, const char *noLabel)
{
	SkipTyping();
	promptA = TextOrEmpty(yesLabel);
	promptB = TextOrEmpty(noLabel);
	promptAShown = 1;
	promptBShown = 1;
}

void GameUI::ShowBanner(const char *text)
{
	if (text == nullptr || text[0] == '\0') {
		messageTime = 0.0f;
		CloseMessage();
		return;
	}
	bannerText = text;
	bannerTime = kBannerSeconds;
	LogDebug("HUD banner: %s\n", text);
}

void GameUI::CloseMessage()
{
	messageVisible = 0;
	typing = 0;
	skipRequested = 0;
	speech = 0;
	promptAShown = 0;
	promptBShown = 0;
	bannerTime = 0.0f;
}

void GameUI::HidePrompts()
{
	promptAShown = 0;
	promptBShown = 0;
}

void GameUI::SkipTyping()
{
	if (typing == 0 || messageKind == kKindMission)
		return;
	typing = 0;
	skipRequested = 0;
	waviness = 0.0f;
}

void GameUI::RequestSkipTyping()
{
	if (typing != 0 && messageKind != kKindMission)
		skipRequested = 1;
}

void GameUI::RefreshShotMap()
{
	shotMap = GameProgress::Flag("shotmap") ? 1 : 0;
}

void GameUI::SetPlayerStatus(const PlayerStats &stats, uint8_t chain)
{
	shownStats = stats;
	shownChain = chain;
}
