#include "game/UIMeatQuiz.h"

#include <cstdio>
#include <cstring>

#include "engine/core/IEntityContainer.h"
#include "game/TalvexGame.h"
#include "map/Missions.h"

namespace {

const char *const kMeats[UIMeatQuiz::kMeatCount] = {
	"BEEF", "PORK", "LAMB", "CHICKEN", "TURKEY", "DUCK", "GOAT", "VENISON", "RABBIT", "BISON",
	"VEAL", "HAM", "BACON", "SAUSAGE", "SALAMI", "PROSCIUTTO", "CHORIZO", "QUAIL", "KANGAROO", "ELK",
};
const char *const kStageTitles[] = {"Best Meat?", "Now which?", "Yep, and now?"};
constexpr const char *kFinalTitle = "Which is Ultimeat?";
const char *const kStageDescriptions[] = {
	"I like this meat.", "This is good meat", "I reckon this one.", "This is my meat.", "I choose this meat.",
};
const char *const kFinalDescriptions[] = {
	"I love this meat.", "This is the best meat.", "My favourite.", "This is my meat.", "I belong to this meat.",
};
constexpr size_t kDescriptionCount = sizeof(kStageDescriptions) / sizeof(kStageDescriptions[0]);
constexpr size_t kTitleCount = sizeof(kStageTitles) / sizeof(kStageTitles[0]);
constexpr const char *kQuitLabel = "I'm Out.";
constexpr const char *kQuitDescription = "I'd like to not rank meats.";
constexpr const char *kChickenEnding = "ATE THE ENEMY";
constexpr const char *kMeatEndingFormat = "WENT TO GET %s";

} // namespace

UIMeatQuiz::UIMeatQuiz()
{
	memset(picks, kNoPick, sizeof(picks));
}

UIMeatQuiz::~UIMeatQuiz() = default;

std::unique_ptr<Entity> UIMeatQuiz::Create()
{
	return std::make_unique<UIMeatQuiz>();
}

const char *UIMeatQuiz::MeatName(uint8_t meat)
{
	return meat < kMeatCount ? kMeats[meat] : "";
}

void UIMeatQuiz::Start()
{
	AddEntity(&options);
	Begin();
}

void UIMeatQuiz::Begin()
{
	stage = 0;
	memset(picks, kNoPick, sizeof(picks));
	ShowStage(0);
}

void UIMeatQuiz::ShowStage(uint8_t number)
{
	options.Reset(kStageTitles[number % kTitleCount], this);
	options.SetDoneHandler(this);
	for (uint8_t position = 0; position < kMeatsPerStage; ++position) {
		uint8_t meat = static_cast<uint8_t>(kMeatsPerStage * number + position);
		options.AddOption(meat, MeatName(meat), kStageDescriptions[(position + number) % kDescriptionCount]);
	}
	options.AddOption(kQuitId, kQuitLabel, kQuitDescription);
}

void UIMeatQuiz::ShowFinal()
{
	options.Reset(kFinalTitle, this);
	options.SetDoneHandler(this);
	for (uint8_t i = 0; i < kStageCount; ++i)
		options.AddOption(picks[i], MeatName(picks[i]), kFinalDescriptions[i]);
}

void UIMeatQuiz::OnSelect(uint8_t id, uint8_t index)
{
	(void)index;
	if (id == kQuitId) {
		Close();
		return;
	}
	// The ending is under way: a late pick changes nothing.
	if (stage >= kPickCount || id >= kMeatCount)
		return;
	picks[stage] = id;
	stage++;
	if (stage < kStageCount) {
		ShowStage(stage);
		return;
	}
	if (stage == kStageCount) {
		ShowFinal();
		return;
	}
	// The ending leaves play, which ends the script that owns this menu:
	// nothing of it is touched once the ending is shown.
	TalvexGame *game = TalvexGame::Running();
	char text[48];
	if (id == kChicken)
		snprintf(text, sizeof(text), "%s", kChickenEnding);
	else
		snprintf(text, sizeof(text), kMeatEndingFormat, MeatName(id));
	Missions::Complete(id == kChicken ? "end_chicken" : "end_meat");
	if (game != nullptr)
		game->ShowWinAlt(text, kEndingNumber);
}

void UIMeatQuiz::OnDone()
{
	Close();
}

void UIMeatQuiz::Close()
{
	// Only out of the stack; the script that opened the menu frees it.
	if (container != nullptr)
		container->RemoveEntity(this);
}
