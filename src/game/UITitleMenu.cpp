#include "game/UITitleMenu.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "engine/core/FileAccess.h"
#include "engine/core/IEntityContainer.h"
#include "engine/core/Log.h"
#include "engine/render/Renderer.h"
#include "game/GameProgress.h"
#include "game/Settings.h"
#include "game/TalvexGame.h"

constexpr const char *kSlotFilePrefix = "Save_";
// A slot written in the old layout (or one that came from it) plays by older
// rules.
constexpr const char *kOldSaveText = "Old save - you should start anew.";

UITitleMenu::UITitleMenu() = default;

UITitleMenu::~UITitleMenu() = default;

void UITitleMenu::Start()
{
	progress.SetHideIcons(true);
	const glm::vec2 at = Renderer::ScreenPoint(0.55f, 0.7f);
	progress.transform.SetPosition(Vec3(at, 0.0f));
	AddEntity(&progress);
	AddEntity(&options);
	BuildMain();
}

void UITitleMenu::OnResume()
{
	UIContainer::OnResume();
	BuildMain();
}

void UITitleMenu::OnDone()
{
	BuildMain();
}

void UITitleMenu::PageReset(const char *title)
{
	options.Reset(title, this);
	options.SetDoneHandler(this);
	progress.SetVisible(false);
}

void UITitleMenu::BuildMain()
{
	TalvexGame &game = TalvexGame::Current();
	game.ScanSaveSlots();
	PageReset("");
	if (!game.HasUsedSlot()) {
		options.AddOption(kBeginGame, "Begin Game", "Start a new adventure.");
		return;
	}
	options.AddOption(kPlayGame, "Play Game", "Continue the adventure.");
	options.AddOption(kSettings, "Settings", "Change settings.");
	options.AddOption(kMoreGames, "More Games", "Check out my other games!");
	options.AddOption(kExit, "Exit", "Betray this game...");
}

void UITitleMenu::BuildPick(bool toLastSlot)
{
	TalvexGame &game = TalvexGame::Current();
	PageReset("Pick a Game");
	for (uint8_t slot = 0; slot < kSaveSlotCount; slot++) {
		const SaveSlotSummary &summary = game.SlotSummary(slot);
		char label[UIOption::kLabelSize];
		char description[UIOption::kLabelSize];
		if (game.IsSlotUsed(slot)) {
			snprintf(label, sizeof(label), "%d. %s", slot + 1, summary.line);
			if (summary.og != 0)
				snprintf(description, sizeof(description), "%s", kOldSaveText);
			else
				snprintf(description, sizeof(description), "Resume %s game.", DifficultyName(summary.difficulty));
			options.AddOption(kUsedSlot, label, description);
		} else {
			snprintf(label, sizeof(label), "%d. New Game", slot + 1);
			options.AddOption(kEmptySlot, label, "Start a fresh game!");
		}
	}
	// Saves kept outside the three slots, such as one copied in beside the
	// game, are reached from here.
	options.AddOption(kOtherSaves, "Other Saves", "Load another save file.");
	options.AddOption(kMain, "Back", nullptr);
	if (toLastSlot) {
		const uint8_t last = Settings::Instance().Get()[kSettingLastSaveSlot];
		options.SetCursor(last < kSaveSlotCount ? last : 0);
	}
}

void UITitleMenu::BuildGame()
{
	char title[UIOptions::kTitleSize];
	snprintf(title, sizeof(title), "Game #%d", GameProgress::SaveSlot() + 1);
	PageReset(title);
	progress.SetVisible(true);
	options.AddOption(kContinue, "Continue Game", nullptr);
	options.AddOption(kReplace, "New Game", nullptr);
	options.AddOption(kBack, "Back", nullptr);
}

void UITitleMenu::BuildReplace()
{
	PageReset("Replace Game?");
	progress.SetVisible(true);
	options.AddOption(kMain, "No (Back)", nullptr);
	options.AddOption(kDifficulty, "Yes: Erase my game", nullptr);
}

void UITitleMenu::BuildDifficulty()
{
	og = 0;
	PageReset("Difficulty");
	options.AddOption(kIntended, "Intended", "The recommended difficulty.");
	if (!TalvexGame::Current().HasUsedSlot())
		return;
	options.AddOption(kRelaxed, "Relaxed", "Easier combat and save points.");
	options.AddOption(kMakeBrutal, "Brutal Mode", "Worse, FR");
	if (Settings::Instance().Get()[kSettingTimedMode] != 0)
		options.AddOption(kOgMode, "OG Mode", "OG runners only.");
}

void UITitleMenu::BuildOgMode()
{
	og = 1;
	PageReset("OG Mode");
	options.AddOption(kIntended, "Intended", "OG REAL (half run).");
	options.AddOption(kRelaxed, "Relaxed", "OG EASY (soft half run).");
	options.AddOption(kBrutal, "Brutal Mode", "OG BRUTAL (dude, wtf).");
}

void UITitleMenu::BuildMakeBrutal()
{
	PageReset("Make it Brutal?");
	options.AddOption(kDifficulty, "No", "Back out!");
	options.AddOption(kDifficulty, "Nuh uh.", "You're not ready!");
	options.AddOption(kDifficulty, "Nope.", "Back the hell out!");
	options.AddOption(kDifficulty, "No way, Joseph!", "Seriously, back out!");
	options.AddOption(kBrutal, "Yes, make it worse.", "*facepalms*");
}

std::string UITitleMenu::OtherSaveLabel(const char *fileName)
{
	std::string label;
	for (const char *c = fileName; c != nullptr && *c != '\0' && *c != '.'; c++) {
		if (label.size() >= kOtherSaveLabelLength)
			break;
		label.push_back(*c == '_' || *c == '-' ? ' ' : *c);
	}
	return label;
}

void UITitleMenu::BuildOtherSaves()
{
	options.Clear();
	otherSaves.clear();
	// The slot files and the other saves share one folder.
	const std::string folder = GameProgress::SaveFolderPath();
	DirectoryHandle listing = OpenDirectory(folder.c_str());
	if (listing == nullptr) {
		Log("Couldn't list saves in %s\n", folder.c_str());
		return;
	}
	size_t skipped = 0;
	while (const char *name = ReadDirectoryName(listing.get())) {
		if (!FileHasExtension(name, kSaveExtension) || strncmp(name, kSlotFilePrefix, strlen(kSlotFilePrefix)) == 0)
			continue;
		std::error_code error;
		if (!std::filesystem::is_regular_file(JoinPath(folder.c_str(), name), error))
			continue;
		if (otherSaves.size() >= kMaxOtherSaves) {
			skipped++;
			continue;
		}
		const uint8_t id = (uint8_t)(kFirstOtherSave + otherSaves.size());
		otherSaves.push_back(JoinPath(folder.c_str(), name));
		options.AddOption(id, OtherSaveLabel(name).c_str(), nullptr);
	}
	if (skipped != 0)
		Log("%zu more save files not listed\n", skipped);
}

void UITitleMenu::ContinueSlot()
{
	GameProgress probe;
	if (!GameProgress::ReadSlot(probe, GameProgress::SaveSlot())) {
		Log("Couldn't continue %s\n", GameProgress::SaveFileName(kCurrentSaveSlot).c_str());
		return;
	}
	TalvexGame::Current().ContinueGame();
}

void UITitleMenu::OnSelect(uint8_t id, uint8_t index)
{
	(void)index;
	TalvexGame &game = TalvexGame::Current();
	if (id >= kFirstOtherSave) {
		const size_t entry = (size_t)(id - kFirstOtherSave);
		if (entry < otherSaves.size())
			game.LoadGameFrom(otherSaves[entry].c_str());
		return;
	}
	switch (id) {
	case kBeginGame:
		GameProgress::SelectSlotAndLoad(0);
		game.NewGame(1, 0);
		break;
	case kPlayGame:
		BuildPick(true);
		break;
	case kBack:
		BuildPick(false);
		break;
	case kUsedSlot:
		GameProgress::SelectSlotAndLoad(options.GetCursor());
		BuildGame();
		break;
	case kEmptySlot:
		GameProgress::SelectSlotAndLoad(options.GetCursor());
		BuildDifficulty();
		break;
	case kReplace:
		BuildReplace();
		break;
	case kGameSlot:
		BuildGame();
		break;
	case kContinue:
		ContinueSlot();
		break;
	case kNewGame:
		if (GameProgress::IsFresh())
			BuildDifficulty();
		else
			BuildReplace();
		break;
	case kDifficulty:
		BuildDifficulty();
		break;
	case kRelaxed:
	case kIntended:
	case kBrutal:
		game.NewGame((uint32_t)(id - kRelaxed), og);
		break;
	case kMakeBrutal:
		BuildMakeBrutal();
		break;
	case kOgMode:
		BuildOgMode();
		break;
	case kOtherSaves:
		BuildOtherSaves();
		break;
	case kSettings:
		if (container != nullptr)
			container->AddEntity(&settingsMenu);
		break;
	case kMain:
		BuildMain();
		break;
	case kCredits:
		game.ShowCredits(false);
		break;
	case kQuit:
	case kExit:
		game.Quit();
		break;
	case kMoreGames:
		game.OpenMakerPage();
		break;
	default:
		break;
	}
}
