#include "game/UISettingsMenu.h"

#include <cstdio>
#include <cstring>

#include "audio/ModMusicPlayer.h"
#include "audio/MusicPlayer.h"
#include "engine/core/IEntityContainer.h"
#include "engine/render/Renderer.h"
#include "game/Achievements.h"
#include "game/GameProgress.h"
#include "game/TalvexGame.h"

namespace {

const char *const kSoundLabels[4] = {"Sound: Medium", "Sick of Music", "Sound: Off", "Sound: Low"};
constexpr uint8_t kSoundModes = 4;

}

UISettingsMenu::UISettingsMenu() = default;

UISettingsMenu::~UISettingsMenu() = default;

void UISettingsMenu::Start()
{
	AddEntity(&options);
	BuildSettings();
}

void UISettingsMenu::CopySettings()
{
	memcpy(settings, Settings::Instance().Get(), sizeof(settings));
}

void UISettingsMenu::Save()
{
	Settings::Instance().Set(settings);
	TalvexGame::Current().ApplySettings();
}

void UISettingsMenu::Close()
{
	if (container != nullptr)
		container->RemoveEntity(this);
}

void UISettingsMenu::OnDone()
{
	Close();
}

void UISettingsMenu::BuildSettings()
{
	CopySettings();
	options.Reset("Settings", this);
	options.SetDoneHandler(this);
	options.AddOption(kPresentation, "Graphics & Audio", "Graphics and audio options.");
	options.AddOption(kSaveData, "Save Data", "Data options.");
	options.AddOption(kWindowed, nullptr, "Enter / exit full screen.");
	options.AddOption(kTimedMode, nullptr, "For speed running.");
	options.AddOption(kClose, "Back", nullptr);
	options.SetOptionText(kWindowed, settings[kSettingWindowed] != 0 ? "Windowed" : "Fullscreened", nullptr);
	options.SetOptionText(kTimedMode, settings[kSettingTimedMode] != 0 ? "Timed Mode" : "Timer Off", nullptr);
}

void UISettingsMenu::BuildPresentation()
{
	CopySettings();
	options.Reset("Presentation", this);
	options.SetDoneHandler(this);
	const bool brutal = GameProgress::Difficulty() >= kDifficultyBrutal;
	options.AddOption(kGraphics, nullptr, brutal ? "Change graphics (Brutal limits)." : "Change graphics mode.");
	options.AddOption(kSound, nullptr, "Toggle sound and music.");
	options.AddOption(kResetPresentation, "Reset Presentation", "Make it look right.");
	options.AddOption(kSettingsPage, "Back", nullptr);
	options.SetOptionText(kSound, kSoundLabels[settings[kSettingAudioMode] % kSoundModes], nullptr);
	char label[UIOption::kLabelSize] = "GFX: Fixed";
	Renderer *renderer = GetRenderer();
	const PostMode *mode = renderer != nullptr ? renderer->GetPostMode(renderer->GetPostModeIndex()) : nullptr;
	if (mode != nullptr)
		snprintf(label, sizeof(label), "GFX: %.36s", mode->name);
	options.SetOptionText(kGraphics, label, nullptr);
}

void UISettingsMenu::BuildDataOptions()
{
	CopySettings();
	options.Reset("Data Options", this);
	options.SetDoneHandler(this);
	options.AddOption(kClearDataPage, "Clear All Data", "Data options.");
	options.AddOption(kSettingsPage, "Back", nullptr);
}

void UISettingsMenu::BuildClearData()
{
	CopySettings();
	options.Reset("Clear Data?", this);
	options.SetDoneHandler(this);
	options.AddOption(kSettingsPage, "No", "Back out!");
	options.AddOption(kClearAllData, "Clear All Data", "Start from scratch.");
	options.AddOption(kSettingsPage, "Back", nullptr);
}

uint8_t UISettingsMenu::NextGraphicsMode(uint8_t current)
{
	Renderer *renderer = GetRenderer();
	if (renderer == nullptr)
		return current;
	const uint16_t count = renderer->GetPostModeCount();
	const bool limited = TalvexGame::Current().IsInGame() && GameProgress::Difficulty() >= kDifficultyBrutal;
	for (uint16_t k = 1; k < count; k++) {
		const uint8_t mode = (uint8_t)((current + k) % count);
		if (renderer->IsPostModeSelectable(mode) && (!limited || renderer->IsPostModeOrtho(mode)))
			return mode;
	}
	return current;
}

void UISettingsMenu::OnSelect(uint8_t id, uint8_t index)
{
	(void)index;
	switch (id) {
	case kPresentation:
		BuildPresentation();
		break;
	case kResetPresentation:
		Settings::ResetAudioVideo(settings);
		Save();
		BuildSettings();
		break;
	case kSound:
		settings[kSettingAudioMode] = (uint8_t)((settings[kSettingAudioMode] + 1) % kSoundModes);
		Save();
		BuildPresentation();
		MusicPlayer::Instance()->Resume();
		break;
	case kGraphics:
		settings[kSettingGraphicsMode] = NextGraphicsMode(settings[kSettingGraphicsMode]);
		Save();
		BuildPresentation();
		break;
	case kSaveData:
		BuildDataOptions();
		break;
	case kClearDataPage:
		BuildClearData();
		break;
	case kClearAllData:
		MusicPlayer::Instance()->Stop();
		GameProgress::EraseAllSlots();
		Settings::ResetAll(settings);
		Achievements::Instance().Reset();
		Save();
		TalvexGame::Current().ShowStartup();
		break;
	case kWindowed:
		settings[kSettingWindowed] = settings[kSettingWindowed] != 0 ? 0 : 1;
		Save();
		BuildSettings();
		break;
	case kTimedMode:
		settings[kSettingTimedMode] = settings[kSettingTimedMode] != 0 ? 0 : 1;
		Save();
		BuildSettings();
		break;
	case kSettingsPage:
		BuildSettings();
		break;
	case kClose:
		Close();
		break;
	default:
		break;
	}
}
