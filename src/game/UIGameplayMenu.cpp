#include "game/UIGameplayMenu.h"

#include <cstring>

#include "engine/core/IEntityContainer.h"
#include "game/TalvexGame.h"

constexpr uint8_t kDifficultySteps = 3;

UIGameplayMenu::UIGameplayMenu() = default;

UIGameplayMenu::~UIGameplayMenu() = default;

void UIGameplayMenu::Start()
{
	AddEntity(&options);
	Open();
}

void UIGameplayMenu::Open()
{
	copy = GameProgress::Current();
	memcpy(settings, Settings::Instance().Get(), sizeof(settings));
	options.Reset("Gameplay", this);
	options.SetDoneHandler(this);
	options.AddOption(kControls, "Controls", "View the control scheme.");
	options.AddOption(kCombat, nullptr, "Change combat difficulty.");
	options.AddOption(kRespawn, nullptr, "Change save-point difficulty.");
	if (!TalvexGame::IsOriginalContent())
		options.AddOption(kMap, nullptr, "Show a map in-game.");
	options.AddOption(kBack, "Back", nullptr);
	RefreshLabels();
}

void UIGameplayMenu::RefreshLabels()
{
	const char *combat = copy.difficulty == 0 ? "Easier Combat" : copy.difficulty == 2 ? "Brutal Combat" : "Intended Combat";
	const char *respawn =
		copy.respawnLevel == 0 ? "Easy Respawn" : copy.respawnLevel == 2 ? "Brutal Respawn" : "Intended Respawn";
	options.SetOptionText(kCombat, combat, nullptr);
	options.SetOptionText(kRespawn, respawn, nullptr);
	memcpy(settings, Settings::Instance().Get(), sizeof(settings));
	if (!TalvexGame::IsMode(1))
		options.SetOptionText(kMap, GameProgress::Flag("shotmap") ? "Map: Showing" : "Map: Hidden", nullptr);
}

void UIGameplayMenu::Close()
{
	if (container != nullptr)
		container->RemoveEntity(this);
}

void UIGameplayMenu::OnDone()
{
	if (changed != 0) {
		changed = 0;
		options.Reset("Change Mode?", this);
		options.SetDoneHandler(this);
		options.AddOption(kAccept, "Accept", nullptr);
		options.AddOption(kDiscard, "Discard", nullptr);
		return;
	}
	Close();
}

void UIGameplayMenu::OnSelect(uint8_t id, uint8_t index)
{
	(void)index;
	const bool inGame = TalvexGame::Current().IsInGame();
	switch (id) {
	case kControls:
		if (container != nullptr)
			container->AddEntity(&controls);
		break;
	case kRespawn:
		if (inGame) {
			changed = 1;
			copy.respawnLevel = (uint8_t)((copy.respawnLevel + 1) % kDifficultySteps);
		}
		break;
	case kCombat:
		if (inGame) {
			changed = 1;
			copy.difficulty = (uint8_t)((copy.difficulty + 1) % kDifficultySteps);
			copy.respawnLevel = copy.difficulty;
		}
		break;
	case kReserved:
		settings[kSettingReserved6] = settings[kSettingReserved6] != 0 ? 0 : 1;
		Settings::Instance().Set(settings);
		break;
	case kMap:
		GameProgress::SetFlag("shotmap", GameProgress::Flag("shotmap") ? 0 : 1);
		break;
	case kBack:
		OnDone();
		return;
	case kAccept: {
		// Only the two difficulty values go over, and as the page showed
		// them: the setters' one-step rule would turn a respawn level chosen
		// two steps from the combat into "Intended" behind the player's
		// back. The map toggle and anything else changed meanwhile stay as
		// the live game has them.
		GameProgress &live = GameProgress::Current();
		live.difficulty = copy.difficulty;
		live.respawnLevel = copy.respawnLevel;
		GameProgress::SaveCurrentSlot();
		TalvexGame::Current().ApplySettings();
		OnDone();
		return;
	}
	case kDiscard:
		OnDone();
		return;
	default:
		break;
	}
	RefreshLabels();
}
