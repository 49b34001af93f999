#include "game/TalvexGameLink.h"

#include "engine/core/NameHash.h"
#include "game/Achievements.h"
#include "game/GameProgress.h"
#include "game/GameUI.h"
#include "game/TalvexGame.h"
#include "map/Missions.h"

void TalvexGameLink::ShowDied()
{
	game.ShowDied();
}

uint32_t TalvexGameLink::PlayTimeMs()
{
	return game.PlayTimeMs();
}

bool TalvexGameLink::IsTimedMode()
{
	return game.OptionFlag() != 0;
}

bool TalvexGameLink::IsMode(int mode)
{
	return TalvexGame::IsMode(mode);
}

bool TalvexGameLink::IsOriginalContent()
{
	return TalvexGame::IsOriginalContent();
}

void TalvexGameLink::StepGraphicsMode(uint16_t modeCount)
{
	TalvexGame::StepGraphicsMode(modeCount);
}

void TalvexGameLink::ShowQuestComplete()
{
	game.ShowQuestComplete();
}

void TalvexGameLink::ShowWinAlt(const char *text, int ending)
{
	game.ShowWinAlt(text, ending);
}

int TalvexGameLink::Difficulty()
{
	return GameProgress::Difficulty();
}

bool TalvexGameLink::Flag(const char *name)
{
	return GameProgress::Flag(name);
}

bool TalvexGameLink::FlagId(uint16_t id)
{
	return GameProgress::FlagId(id);
}

void TalvexGameLink::SetFlagId(uint16_t id, bool on)
{
	GameProgress::SetFlagId(id, on ? 1 : 0);
}

bool TalvexGameLink::LoadCurrentSlot()
{
	return GameProgress::LoadCurrentSlot();
}

bool TalvexGameLink::SaveCurrentSlot()
{
	return GameProgress::SaveCurrentSlot();
}

void TalvexGameLink::AddDeath()
{
	GameProgress::AddDeath();
}

void TalvexGameLink::SetPlaySeconds(uint32_t seconds)
{
	GameProgress::SetPlaySeconds(seconds);
}

void TalvexGameLink::StorePlayerStats(const PlayerStats &stats)
{
	GameProgress::StorePlayerStats(stats);
}

void TalvexGameLink::SetPreviousMapIdAndSave(uint16_t id)
{
	GameProgress::SetPreviousMapIdAndSave(id);
}

void TalvexGameLink::MarkNewsRead(const char *areaName)
{
	// Without an area there is no news: the bare "news" flag is the reward's own.
	if (areaName == nullptr || areaName[0] == '\0')
		return;
	GameProgress::SetFlagId(Missions::NewsFlag(areaName), 1);
	// Every area's news read: the reader earns its reward.
	if (Missions::CountNewsRead() == Missions::GetNewsTotal())
		Achievements::Instance().UnlockByName("news");
}

void TalvexGameLink::UnlockAchievement(uint16_t id)
{
	Achievements::Instance().Unlock(id);
}

void TalvexGameLink::UnlockAchievementByName(const char *name)
{
	if (name != nullptr)
		Achievements::Instance().UnlockByName(name);
}

bool TalvexGameLink::HasHud()
{
	return GameUI::Current() != nullptr;
}

void TalvexGameLink::ShowMessage(const char *text, float seconds, uint8_t kind)
{
	if (GameUI *hud = GameUI::Current())
		hud->ShowMessage(text, seconds, kind);
}

void TalvexGameLink::ShowTitledMessage(const char *title, const char *text, float seconds, uint8_t kind)
{
	if (GameUI *hud = GameUI::Current())
		hud->ShowTitledMessage(title, text, seconds, kind);
}

void TalvexGameLink::ShowSpeech(const char *speaker, const char *text, float seconds, uint8_t kind)
{
	if (GameUI *hud = GameUI::Current())
		hud->ShowSpeech(speaker, text, seconds, kind);
}

bool TalvexGameLink::IsSpeech()
{
	GameUI *hud = GameUI::Current();
	return hud != nullptr && hud->IsSpeech();
}

void TalvexGameLink::ShowPrompt(const char *label)
{
	if (GameUI *hud = GameUI::Current())
		hud->ShowPrompt(label);
}

void TalvexGameLink::ShowChoice(const char *first, const char *second)
{
	if (GameUI *hud = GameUI::Current())
		hud->ShowChoice(first, second);
}

void TalvexGameLink::HidePrompts()
{
	if (GameUI *hud = GameUI::Current())
		hud->HidePrompts();
}

void TalvexGameLink::SetMessageWaviness(float waviness)
{
	if (GameUI *hud = GameUI::Current())
		hud->SetMessageWaviness(waviness);
}

void TalvexGameLink::CloseMessage()
{
	if (GameUI *hud = GameUI::Current())
		hud->CloseMessage();
}

bool TalvexGameLink::IsMessageVisible()
{
	GameUI *hud = GameUI::Current();
	return hud != nullptr && hud->IsMessageVisible();
}

bool TalvexGameLink::IsBusy()
{
	GameUI *hud = GameUI::Current();
	return hud != nullptr && hud->IsBusy();
}

bool TalvexGameLink::IsTimerActive()
{
	GameUI *hud = GameUI::Current();
	return hud != nullptr && hud->IsTimerActive();
}

void TalvexGameLink::CompleteTyping(bool now)
{
	GameUI *hud = GameUI::Current();
	if (hud == nullptr)
		return;
	if (now)
		hud->SkipTyping();
	else
		hud->RequestSkipTyping();
}

uint32_t TalvexGameLink::GetMessageState()
{
	GameUI *hud = GameUI::Current();
	return hud != nullptr ? hud->GetMessageState() : 0;
}

void TalvexGameLink::SetMessageState(uint32_t state)
{
	if (GameUI *hud = GameUI::Current())
		hud->SetMessageState(state);
}

void TalvexGameLink::SetPlayerStatus(const PlayerStats &stats, uint8_t chain)
{
	if (GameUI *hud = GameUI::Current())
		hud->SetPlayerStatus(stats, chain);
}

bool TalvexGameLink::IsInGame()
{
	return game.IsInGame();
}

uint16_t TalvexGameLink::CurrentMapId()
{
	return GameProgress::Current().currentMap;
}

uint16_t TalvexGameLink::StartMap()
{
	return GameProgress::StartMap();
}

void TalvexGameLink::SetStartMap(uint16_t id)
{
	GameProgress::SetStartMap(id);
}

void TalvexGameLink::SetCurrentMap(const char *name)
{
	GameProgress::SetCurrentMap(name);
}

uint16_t TalvexGameLink::Waypoint()
{
	return GameProgress::Waypoint();
}

void TalvexGameLink::SetWaypoint(uint16_t id)
{
	GameProgress::SetWaypoint(id);
}

void TalvexGameLink::SyncAchievementsFromFlags()
{
	Achievements::Instance().SyncFromFlags();
}

int TalvexGameLink::RespawnLevel()
{
	return GameProgress::RespawnLevel();
}

void TalvexGameLink::ShowLetters(bool on)
{
	GameUI *hud = GameUI::Current();
	if (hud == nullptr)
		return;
	if (on)
		hud->ShowLetters();
	else
		hud->HideLetters();
}
