#pragma once
// An entity for tests of scenes and containers: every hook it runs appends
// "<name>.<Hook>" to a journal that the test owns, so the journal stays
// readable after the entity is gone. A hook can also be given an action (for
// instance, destroy something) that runs after the entry is written. The
// destructor writes "<name>.Deleted".
#include "engine/core/Entity.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

using Journal = std::vector<std::string>;

class RecordingEntity : public Entity {
public:
	RecordingEntity(Journal *journal, std::string name) : journal(journal), name(std::move(name)) {}
	~RecordingEntity() override { Note("Deleted"); }

	void Init() override { Note("Init"); Run(onInit); }
	void Start() override { Note("Start"); Run(onStart); }
	void OnResume() override { Note("OnResume"); Run(onResume); }
	void Update(float dt) override { (void)dt; Note("Update"); Run(onUpdate); }
	void Render() override { Note("Render"); Run(onRender); }
	void OnPause() override { Note("OnPause"); Run(onPause); }
	void OnEvent() override { Note("OnEvent"); }
	void OnCollide(Entity *other) override { (void)other; Note("OnCollide"); Run(onCollide); }

	std::function<void()> onInit, onStart, onResume, onUpdate, onRender, onPause, onCollide;

private:
	void Note(const char *hook) { journal->push_back(name + "." + hook); }
	// By value: the action may delete this entity, and with it the member
	// that holds the action.
	static void Run(std::function<void()> action)
	{
		if (action)
			action();
	}

	Journal *journal;
	std::string name;
};

// Recording entities that the test owns and that outlive the holder under
// test, all writing to one journal.
struct RecordingEntities {
	RecordingEntity *Make(const std::string &name)
	{
		owned.push_back(std::make_unique<RecordingEntity>(&journal, name));
		return owned.back().get();
	}

	Journal journal;
	std::vector<std::unique_ptr<RecordingEntity>> owned;
};

// The journal entries that end with the given hook, e.g. ".Render", in order.
inline Journal JournalEntriesFor(const Journal &journal, const std::string &hookSuffix)
{
	Journal picked;
	for (const std::string &entry : journal) {
		if (entry.size() >= hookSuffix.size() && entry.compare(entry.size() - hookSuffix.size(), hookSuffix.size(), hookSuffix) == 0)
			picked.push_back(entry);
	}
	return picked;
}
