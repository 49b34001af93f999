#pragma once

#include "engine/core/Sequence.h"

#include <cstdint>
#include <memory>

#include "map/ScriptWorld.h"

class Entity;
class TileMap;
struct MapCommand;
struct MapObjectDef;

// Runs the compiled script of a map object: its command records, in order,
// jumping to other objects' scripts on "if", "ifnot", "if$" and "then", and
// stopping to wait for the player on messages and prompts. The tile map has
// one made for "load" objects and triggers (through Create, the maker its
// owner installs), world objects when the player talks to or uses them; the
// creator hands it to the active-sequence runner.
// Scripts act on world objects through the tile map's script world and on
// the game through the map layer's game link (MapGameLink).
// The sequence owns only the meat-ranking menu it may open: the objects, the
// command table and the map belong to the tile map, which outlives it (the
// scene ends the active sequence before a map unloads).
//
// A run is bounded: every entry into the interpreter, by a jump or by a
// resumption, counts, and the 255th entry since Start fails the sequence, so
// scripts that jump in circles cannot hang the game. A sequence that is
// started while another is carrying out its commands (a trigger fired by the
// running script) runs nothing yet and starts at the runner's next poll.
class MapSequence : public Sequence {
public:
	// Entries into the interpreter allowed per Start; the next one fails.
	static constexpr uint8_t kMaxRunEntries = 254;
	// Values of the ending field, set when a script saves an ending flag.
	static constexpr uint32_t kEndingNone = 0;
	static constexpr uint32_t kEndingQuest = 1;     // flag "ending"
	static constexpr uint32_t kEndingEnigmania = 2; // flag "end_fr"

	// tileMap holds the objects and their scripts; startObject is the object
	// the sequence runs for. Neither is owned.
	MapSequence(TileMap *tileMap, MapObjectDef *startObject);
	// Frees the menu it opened, which takes itself out of its holder first.
	~MapSequence() override;
	// The tile map's sequence maker for map scripts (TileMap::SetSequenceMaker).
	static std::unique_ptr<Sequence> Create(TileMap &tileMap, MapObjectDef &startObject);

	void Start() override;
	// Moves a sequence that has not finished to state 4.
	void End() override;
	void Resume() override;
	bool IsReadyToResume() override;
	// The speaker's entity; null without a speaker.
	Entity *GetSourceEntity() override;

	// The interpreter: runs the object's commands from the current command
	// index (from 0 when the object is not the one running) and returns the
	// new state.
	int32_t Run(MapObjectDef *object);

	// The object whose commands run now; null once the sequence is over.
	MapObjectDef *GetCurrentObject() const;
	// The command run last; null when none or once the sequence is over.
	const MapCommand *GetLastCommand() const;
	uint32_t GetEnding() const { return ending; }
	TileMap *GetTileMap() const { return tileMap; }

	// The living player in the tile map's scene, or null.
	Entity *FindPlayer();
	// The object with the id in the command's value; null (with a log line)
	// when the map has none.
	MapObjectDef *FindTargetObject(const MapCommand &command);
	// Whether the group in the command's argument is enabled exactly when
	// expected says so.
	bool TestGroup(const MapCommand &command, bool expected) const;
	// Shows the command's message (mode 0 a message, 2 a prompt) and enables
	// the group in its argument; false when there is no HUD or no message.
	bool SayMessage(MapObjectDef *object, const MapCommand &command, uint8_t mode);
	// The order waited for; ScriptWorld::kNoHandle when none.
	ScriptWorld::Handle GetAwaitedOrder() const { return awaited; }
	// The menu "rankmeat" opened; null when none.
	Entity *GetMenu() const { return menu.get(); }

private:
	// Execute's result when the run goes on with the next command.
	static constexpr int32_t kContinue = -1;

	// Carries out one command: returns kContinue, or the run's result; a
	// jump sets jumpTarget and returns kContinue.
	int32_t Execute(const MapCommand &command, MapObjectDef *&jumpTarget);
	int32_t SaveFlag(const MapCommand &command);
	// The commands that act on actors, the player and the world map.
	int32_t Give(const MapCommand &command);
	int32_t TakeItem(const MapCommand &command);
	int32_t Kill(const MapCommand &command);
	void TakeWeight(const MapCommand &command);
	int32_t Walk(const MapCommand &command);
	void Dead();
	void Hide(const MapCommand &command);
	int32_t RankMeat();
	void MoveWaypoint(const MapCommand &command);
	// The speaker's live actor; null when the speaker has none.
	Entity *SpeakerActor() const;
	void UnsaveFlag(const MapCommand &command);
	void CycleRenderMode();
	void FinishEnding();
	// Entry value of the map's string or message table; null when missing or
	// empty.
	const char *StringAt(uint16_t index) const;
	const char *MessageAt(uint16_t index) const;
	bool HasCommandsLeft() const;
	// Waits for the order; false when it was refused (kNoHandle).
	bool Await(ScriptWorld::Handle order);
	// A hidden actor is not updated, so an order that moves it would never
	// end and the script would wait for ever: true when the record's actor
	// may be given one.
	static bool CanMove(const MapObjectDef &record);
	ScriptWorld &World() const;

	TileMap *tileMap;
	MapObjectDef *startObject;
	MapObjectDef *runningObject = nullptr;
	MapObjectDef *speaker = nullptr; // the entity record whose actor speaks
	uint16_t commandIndex = 0;       // next command of the running object
	uint8_t callCount = 0;
	uint32_t ending = kEndingNone;
	bool startDeferred = false;      // started inside another sequence's commands
	// By handle, never by pointer: the world frees an order when it is done,
	// replaced or its actor gone, and a freed one counts as finished.
	ScriptWorld::Handle awaited = ScriptWorld::kNoHandle;
	std::unique_ptr<Entity> menu;    // the meat-ranking menu, once opened
};
