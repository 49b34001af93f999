#include "map/CustomSequence.h"

#include "engine/core/ActiveSequence.h"
#include "map/FlashLettersStep.h"
#include "map/GiveChickenStep.h"
#include "map/GiveHeartStep.h"
#include "map/MapGameLink.h"
#include "map/RefillHeartStep.h"
#include "map/SayMessageStep.h"
#include "map/ScriptWorld.h"
#include "map/ShowLettersStep.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A HUD and a hero that write down what the steps asked, in order: the hero
// and the world's sounds are the steps' script world, the HUD and the clock
// are the game's, whose link the host installs while it lives.
class RecordingHost : public ScriptWorld {
public:
	RecordingHost() : game(*this) { MapGameLink::Install(&game); }
	~RecordingHost() override { MapGameLink::Install(nullptr); }

	void PlaySound(const char *fileName, float, uint16_t) override { calls.push_back(std::string("sound:") + fileName); }
	void AddMaxHearts(Entity *, uint8_t halves) override { calls.push_back("max+" + std::to_string(halves)); }
	void RefillHearts(Entity *) override { calls.push_back("refill"); }
	void AddChicken(Entity *, uint8_t amount) override { calls.push_back("chicken+" + std::to_string(amount)); }
	void StorePlayerStats(Entity *) override { calls.push_back("store"); }

	std::vector<std::string> calls;
	bool busy = false;
	bool visible = false;
	uint32_t now = 0;

private:
	class Game : public MapGameLink {
	public:
		explicit Game(RecordingHost &host) : host(host) {}
		bool HasHud() override { return true; }
		void ShowMessage(const char *text, float, uint8_t) override
		{
			host.visible = true;
			host.calls.push_back(std::string("message:") + text);
		}
		bool IsBusy() override { return host.busy; }
		bool IsMessageVisible() override { return host.visible; }
		void ShowLetters(bool on) override { host.calls.push_back(on ? "letters:on" : "letters:off"); }
		uint32_t PlayTimeMs() override { return host.now; }

	private:
		RecordingHost &host;
	};
	Game game;
};

TEST(CustomSequence, WithoutStepsIsDoneAsSoonAsItStarts)
{
	CustomSequence sequence;
	sequence.Start();
	EXPECT_EQ(sequence.state, Sequence::kStateDone);
	EXPECT_TRUE(sequence.IsReadyToResume());
	sequence.Resume(); // the runner keeps asking: nothing moves on
	EXPECT_EQ(sequence.GetCurrent(), 0u);
}

TEST(CustomSequence, EachStepBeginsWhenThePreviousOneIsRead)
{
	RecordingHost host;
	SetActiveSequence(nullptr);
	auto owned = std::make_unique<CustomSequence>(&host);
	CustomSequence *sequence = owned.get();
	sequence->AddStep(std::make_unique<SayMessageStep>("first"));
	sequence->AddStep(std::make_unique<GiveHeartStep>("a heart", nullptr));
	sequence->AddStep(std::make_unique<RefillHeartStep>(nullptr));
	sequence->AddStep(std::make_unique<GiveChickenStep>("chicken", nullptr, 15));
	sequence->AddStep(nullptr); // ignored
	EXPECT_EQ(sequence->GetStepCount(), 4u);
	SetActiveSequence(owned.release());
	EXPECT_EQ(host.calls, std::vector<std::string>({"message:first"}));
	EXPECT_EQ(sequence->state, Sequence::kStateWaiting);

	// Still on screen, then typing: the step waits.
	UpdateActiveSequence();
	host.visible = false;
	host.busy = true;
	UpdateActiveSequence();
	EXPECT_EQ(host.calls.size(), 1u);

	host.busy = false;
	UpdateActiveSequence();
	EXPECT_EQ(host.calls, std::vector<std::string>({"message:first", "message:a heart", "max+2", "refill", "store"}));
	host.visible = false;
	UpdateActiveSequence(); // the refill is over at once; the chicken follows on the next poll
	UpdateActiveSequence();
	EXPECT_EQ(host.calls, std::vector<std::string>({"message:first", "message:a heart", "max+2", "refill", "store",
		"refill", "message:chicken", "chicken+15", "refill", "store"}));
	host.visible = false;
	UpdateActiveSequence();
	EXPECT_EQ(sequence->state, Sequence::kStateDone);
	EXPECT_FALSE(IsSequenceRunning());
	EndActiveSequence();
}

TEST(CustomSequence, MessageStepsCopeWithEmptyAndLongTexts)
{
	RecordingHost host;
	struct Case {
		const char *name;
		const char *text;
		size_t shownLength; // 0: nothing shown
	};
	const std::string longText(400, 'x');
	const Case cases[] = {
		{"null", nullptr, 0},
		{"empty", "", 0},
		{"short", "hello", 5},
		{"cut to 255", longText.c_str(), SayMessageStep::kTextChars},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.name);
		host.calls.clear();
		host.visible = false;
		SayMessageStep step(c.text);
		step.Begin(host);
		if (c.shownLength == 0) {
			EXPECT_TRUE(host.calls.empty());
			EXPECT_TRUE(step.IsFinished(host)); // over at once
			continue;
		}
		ASSERT_EQ(host.calls.size(), 1u);
		EXPECT_EQ(host.calls[0].size(), std::string("message:").size() + c.shownLength);
		EXPECT_FALSE(step.IsFinished(host));
	}
}

TEST(CustomSequence, ShowLettersWaitsMoreThan800Milliseconds)
{
	RecordingHost host;
	host.now = 5000;
	ShowLettersStep step;
	step.Begin(host);
	EXPECT_EQ(host.calls, std::vector<std::string>({"letters:on"}));
	const struct {
		uint32_t now;
		bool finished;
	} polls[] = {{5000, false}, {5800, false}, {5801, true}};
	for (const auto &poll : polls) {
		SCOPED_TRACE(poll.now);
		host.now = poll.now;
		EXPECT_EQ(step.IsFinished(host), poll.finished);
	}
}

TEST(CustomSequence, FlashLettersLightsOnOddChangesWithAChimeAndEndsAfterTheSeventh)
{
	RecordingHost host;
	host.now = 1000;
	FlashLettersStep step;
	step.Begin(host);
	host.calls.clear();
	const std::string chime = std::string("sound:") + FlashLettersStep::kChimeSound;
	for (uint32_t change = 1; change <= 7; change++) {
		SCOPED_TRACE(change);
		host.now = 1000 + change * FlashLettersStep::kChangeMs - 1;
		EXPECT_FALSE(step.IsFinished(host)); // not yet the next change
		host.calls.clear();
		host.now++;
		const bool finished = step.IsFinished(host);
		EXPECT_EQ(finished, change == 7);
		if (change % 2 == 1)
			EXPECT_EQ(host.calls, std::vector<std::string>({"letters:on", chime}));
		else
			EXPECT_EQ(host.calls, std::vector<std::string>({"letters:off"}));
		EXPECT_EQ(step.GetFlashCount(), change);
	}
}

TEST(CustomSequence, WithoutAGameOrAWorldItIsQuiet)
{
	CustomSequence sequence(nullptr);
	sequence.AddStep(std::make_unique<SayMessageStep>("nobody reads this"));
	sequence.Start();
	// With no game there is no HUD: the message is read at once.
	EXPECT_TRUE(sequence.IsReadyToResume());
	sequence.Resume();
	EXPECT_EQ(sequence.state, Sequence::kStateDone);
}

} // namespace
