#include "engine/core/ActiveSequence.h"

#include "engine/core/Entity.h"
#include "engine/core/Sequence.h"
#include "support/RecordingEntity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

namespace {

// A sequence that writes what the runner does to it into a journal that the
// test owns, so entries survive its deletion.
class RecordingSequence : public Sequence {
public:
	RecordingSequence(Journal *journal, std::string name) : journal(journal), name(std::move(name)) {}
	~RecordingSequence() override { Note("Deleted"); }

	void Start() override
	{
		Note("Start");
		state = startState;
		Run(onStart);
	}
	void End() override { Note("End"); }
	void Resume() override
	{
		Note("Resume");
		Run(onResume);
		// Touches the object after the action, as an interpreter would when
		// it stores the result of a run.
		resumeCount++;
	}
	bool IsReadyToResume() override { return ready; }
	Entity *GetSourceEntity() override { return source; }

	int32_t startState = kStateRunning;
	bool ready = false;
	Entity *source = nullptr;
	int resumeCount = 0;
	std::function<void()> onStart, onResume;

private:
	void Note(const char *what) { journal->push_back(name + "." + what); }
	static void Run(std::function<void()> action)
	{
		if (action)
			action();
	}

	Journal *journal;
	std::string name;
};

// Leaves the process-wide slot empty whatever the test did.
class ActiveSequence : public testing::Test {
protected:
	void TearDown() override { EndActiveSequence(); }
	Journal journal;
};

}

TEST_F(ActiveSequence, QueriesAndResumesFollowTheSequenceState)
{
	struct Row {
		int32_t state;
		bool ready;
		bool running;
		bool waiting;
		bool resumedByUpdate;
		bool resumedByStep;
	};
	const Row rows[] = {
		{ Sequence::kStateCreated, false, false, false, false, false },
		{ Sequence::kStateRunning, false, true, false, false, false },
		{ Sequence::kStateRunning, true, true, false, true, false },
		{ Sequence::kStateWaiting, false, true, true, false, true },
		{ Sequence::kStateWaiting, true, true, true, true, true },
		{ Sequence::kStateDone, false, false, false, false, false },
		{ Sequence::kStateFailed, true, false, false, true, false },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE("state " + std::to_string(row.state) + (row.ready ? " ready" : ""));
		RecordingSequence *sequence = new RecordingSequence(&journal, "s");
		sequence->startState = row.state;
		sequence->ready = row.ready;
		SetActiveSequence(sequence);
		EXPECT_EQ(IsSequenceRunning(), row.running);
		EXPECT_EQ(IsSequenceState2(), row.waiting);
		UpdateActiveSequence();
		EXPECT_EQ(sequence->resumeCount, row.resumedByUpdate ? 1 : 0);
		sequence->resumeCount = 0;
		StepActiveSequence();
		EXPECT_EQ(sequence->resumeCount, row.resumedByStep ? 1 : 0);
		// Whatever its state, the sequence stays in the slot until ended.
		EXPECT_EQ(std::count(journal.begin(), journal.end(), "s.Deleted"), 0);
		EndActiveSequence();
		EXPECT_EQ(journal.back(), "s.Deleted");
		EXPECT_FALSE(IsSequenceRunning());
		journal.clear();
	}
}

TEST_F(ActiveSequence, SettingEndsAndDeletesThePreviousOne)
{
	Entity speaker;
	RecordingSequence *first = new RecordingSequence(&journal, "first");
	RecordingSequence *second = new RecordingSequence(&journal, "second");
	second->source = &speaker;
	SetActiveSequence(first);
	SetActiveSequence(second);
	EXPECT_EQ(journal, (Journal { "first.Start", "first.End", "first.Deleted", "second.Start" }));
	EXPECT_EQ(GetActiveSequenceSource(), &speaker);
	journal.clear();
	EndActiveSequence();
	EXPECT_EQ(journal, (Journal { "second.End", "second.Deleted" }));
	// With the slot empty nothing runs and nothing is reported.
	EndActiveSequence();
	UpdateActiveSequence();
	StepActiveSequence();
	EXPECT_EQ(journal.size(), 2u);
	EXPECT_FALSE(IsSequenceRunning());
	EXPECT_FALSE(IsSequenceState2());
	EXPECT_EQ(GetActiveSequenceSource(), nullptr);
}

TEST_F(ActiveSequence, ASequenceReplacedFromItsOwnCallLivesUntilTheCallReturns)
{
	struct Row {
		const char *name;
		bool duringStart; // else during a resume
		bool replace;     // else only end
	};
	const Row rows[] = {
		{ "replaced while resuming", false, true },
		{ "ended while resuming", false, false },
		{ "replaced while starting", true, true },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		journal.clear();
		RecordingSequence *outer = new RecordingSequence(&journal, "outer");
		outer->ready = true;
		bool deletedInsideCall = true;
		auto takeOver = [&]() {
			if (row.replace)
				SetActiveSequence(new RecordingSequence(&journal, "next"));
			else
				EndActiveSequence();
			deletedInsideCall = std::find(journal.begin(), journal.end(), "outer.Deleted") != journal.end();
		};
		if (row.duringStart)
			outer->onStart = takeOver;
		else
			outer->onResume = takeOver;
		SetActiveSequence(outer);
		if (!row.duringStart)
			UpdateActiveSequence();

		EXPECT_FALSE(deletedInsideCall);
		ASSERT_FALSE(journal.empty());
		EXPECT_EQ(std::count(journal.begin(), journal.end(), "outer.Deleted"), 1);
		EXPECT_EQ(std::count(journal.begin(), journal.end(), "outer.End"), 1);
		EXPECT_EQ(IsSequenceRunning(), row.replace);
		EndActiveSequence();
	}
}
