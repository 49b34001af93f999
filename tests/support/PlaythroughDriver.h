#pragma once
// Plays the game headless as a player at the keyboard would, for the
// playthrough tests: the real game and its in-game scene, the shipped data
// tree (or a loader of the test's), fixed 1/60 s frames, and nothing but key
// presses fed into the engine's input: no teleports, no flags set, no items
// given. Each operation plays until it is done; when it cannot be done in
// time it fails the test with where the hero stands and stops the play
// (throws PlaythroughStop, which Play catches).
//
//   PlaythroughDriver play;
//   play.Play([&] {
//       play.NewGame();                 // new game, the pre-intro declined, on home
//       play.Talk("Maren");            // walk up to her, face her, press use
//       play.Answer(true);             // "yes" to her question
//       play.Continue();               // read what she says
//       play.FollowLink("town");       // into the link named town, town loads
//   });
#include "map/TileMapData.h"
#include "support/PlaythroughFighter.h"
#include "support/PlaythroughGame.h"
#include "support/SaveFolder.h"
#include "support/TilePathFinder.h"

#include <SDL.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

class Entity;
class GameUI;
class Player;
class Renderer;

// Thrown by a failed operation after it has reported the failure.
struct PlaythroughStop {
	std::string what;
};

// Distance across the ground, heights aside: how far apart the driver's
// walks and fights judge two things.
inline float FlatDistance(const Vec3 &a, const Vec3 &b) { return std::hypot(a.x - b.x, a.z - b.z); }

// A new game as the title menu starts it: a difficulty of its first page
// (0 relaxed, 1 intended, 2 brutal) or of the OG mode's page.
struct PlayMode {
	const char *name; // as the tests name the mode
	int difficulty;
	bool og;
};
// Test names and messages show the mode by its name.
inline void PrintTo(const PlayMode &mode, std::ostream *out) { *out << mode.name; }
inline constexpr PlayMode kRelaxed{"Relaxed", 0, false};
inline constexpr PlayMode kIntended{"Intended", 1, false};
inline constexpr PlayMode kBrutal{"Brutal", 2, false};
inline constexpr PlayMode kOgIntended{"OgIntended", 1, true};

// A foe the hero fought until it fell.
struct BeatenFoe {
	std::string map;
	std::string name; // empty for an unnamed foe
	uint32_t kind = 0;
};

// What a play took, for the tests to print and hold.
struct PlayTally {
	int deaths = 0;
	int heartsLost = 0;     // half hearts, over the whole play
	int heartsRegained = 0; // half hearts back, at fires and from pickups
	std::vector<BeatenFoe> beaten;
};

class PlaythroughDriver {
public:
	static constexpr int kFramesPerSecond = 60;
	static constexpr float kDefaultWalkSeconds = 60.0f;
	static constexpr float kDefaultFightSeconds = 120.0f; // an ogre on Brutal takes 36 blows

	// maps: where play scenes read maps; null is the shipped data tree.
	explicit PlaythroughDriver(MapLoader *maps = nullptr);
	~PlaythroughDriver();
	PlaythroughDriver(const PlaythroughDriver &) = delete;
	PlaythroughDriver &operator=(const PlaythroughDriver &) = delete;

	// False, with the reason, when no renderer can be had (the test skips).
	bool Prepare(std::string &whyNot);
	// Runs the play; a failed operation ends it. False when it was stopped.
	bool Play(const std::function<void()> &play);

	// --- Starting ---
	// A new game as the title menu starts one (difficulty 0 relaxed, 1
	// intended, 2 brutal): the pre-intro is declined, play begins on the
	// first map and its title and first messages go by.
	void NewGame(int difficulty = 1);
	void NewGame(const PlayMode &mode);

	// --- Walking ---
	// Walks to the tile along walkable ground, around what blocks the way,
	// re-planning when the hero gets stuck. Plain messages met on the way are
	// read; a question, a map change or the death screen fails the walk.
	void WalkTo(int x, int y, float seconds = kDefaultWalkSeconds);
	// Walks up to the named entity (or the first of an entity kind) until the
	// hero faces it and offers to use it (talk, open, light, read ...).
	void WalkToEntity(const std::string &name, float seconds = kDefaultWalkSeconds);
	void WalkToKind(uint32_t kind, float seconds = kDefaultWalkSeconds);
	// Walks onto the named pickup (a weapon, key, coin ...) until it is taken,
	// then reads what that says.
	void Take(const std::string &name, float seconds = kDefaultWalkSeconds);
	// Walks into the named map object (an area: message, trigger, spawn ...)
	// and stops inside it.
	void WalkInto(const std::string &name, float seconds = kDefaultWalkSeconds);
	// Walks into the link to the named map (an exit area or a hut of that
	// name) and through it, and waits until that map has loaded.
	void FollowLink(const std::string &map, float seconds = kDefaultWalkSeconds);
	// The same without waiting for a map: for the links whose target is an
	// ending ("end_north", "end_hole") rather than a map.
	void EnterLink(const std::string &target, float seconds = kDefaultWalkSeconds);
	// Keeps every later walk and fight on this map off the named area (a
	// ground the map warns of), until another map is entered.
	void KeepOff(const std::string &area);
	// Picks the entry at the position (0 the first) of the menu play opened
	// (a script's panel): Down that many times, then Return.
	void Choose(int position);

	// --- Acting ---
	// Presses use (the action key) once.
	void Use();
	// WalkToEntity, then Use.
	void Talk(const std::string &name);
	// Reads every message and "Continue" of a script until a question is asked
	// or nothing more shows.
	void Continue();
	// Waits for the question and answers it: yes is the action key (Space),
	// no the roll key (Shift), as the HUD takes them.
	void Answer(bool yes);
	// Fights the named foe (or the nearest live foe of the kind) until it
	// falls, as a careful player does (PlaythroughFighter): strikes while it
	// can be hurt, keeps out of its blows and charges, falls back to a fire
	// when low. Returns what the fight took.
	FightReport Strike(const std::string &name, float seconds = kDefaultFightSeconds);
	FightReport StrikeKind(uint32_t kind, float seconds = kDefaultFightSeconds);
	// Pushes the named prop the number of tiles in a direction (kDirNorth ..
	// kDirWest), walking round to its far side first.
	void Push(const std::string &name, uint8_t direction, int tiles = 1, float seconds = kDefaultWalkSeconds);
	// Lights the named fireplace (or the nearest one) so that the game saves,
	// and checks that the save slot was written on this map.
	void SaveAtFire(const std::string &name = "");
	// SaveAtFire, then, where fires heal, out again for its warmth (every
	// heart back, checked) and lit again: how a careful player mends. The
	// OG mode's fires only light.
	void RestAtFire(const std::string &name = "");
	// Stands still for up to seconds, or until done, fighting whatever
	// comes at the hero: how a foe drawn out of its corner is met.
	void StandGuard(float seconds, const std::function<bool()> &done);
	// Runs frames until done, reading plain messages; fails after seconds.
	void WaitUntil(const std::function<bool()> &done, const std::string &what, float seconds = 30.0f);
	void WaitForMap(const std::string &map, float seconds = 30.0f);
	void WaitForScreen(const std::string &screen, float seconds = 60.0f);
	// Holds keys for a number of frames (a raw press, for what the
	// operations above do not cover).
	void Hold(std::initializer_list<SDL_Scancode> keys, int frames);
	void Tap(SDL_Scancode key, int framesAfter = 1);
	void Frames(int count);

	// --- Queries ---
	bool InPlay() const;
	// Frames played since the driver was made.
	uint64_t FramesPlayed() const { return framesPlayed; }
	const PlayTally &Tally() const { return tally; }
	// "frames 1234, deaths 0, half hearts lost 5 and regained 4".
	std::string TallyText() const;
	std::string MapName() const;
	uint32_t HeldKind() const;
	int Hearts() const;
	PathTile HeroTile() const;
	// The tiles the hero can walk to from where it stands, as the walks plan.
	std::set<PathTile> ReachableTiles() const;
	// The tile the named entity of the current map stands on.
	PathTile TileOfEntity(const std::string &name) const;
	bool Flag(const std::string &name) const;
	// The OG mode's fires: lit by walking into them, never put out by use
	// (so they heal no one).
	bool FiresLitByTouch() const;
	// The named entity of the current map is there and, for an actor, has
	// hearts left.
	bool IsAlive(const std::string &name) const;
	bool MessageShown() const;
	bool QuestionAsked() const;
	std::string MessageText() const;
	PlaythroughGame &Game() { return game; }
	TalvexGameScene &Scene() const;
	Player &Hero() const;
	// Where the hero stands, for failure messages: "on town at (3, 4) ...".
	std::string Where() const;
	// Reports the failure with where the hero stands and stops the play.
	[[noreturn]] void Fail(const std::string &why) const;

private:
	// A fight and a walk play frames, steer and plan through the steps below.
	friend class PlaythroughFighter;
	friend class PlaythroughWalk;

	// One frame of play; fails on the death screen.
	void Step();
	MapObjectDef *EntityRecord(const std::string &name) const;
	MapObjectDef *EntityRecordOfKind(uint32_t kind) const;
	// A foe of the map that has turned on the hero and is close, winding up
	// or attacking; null when none (or while a fight already runs).
	MapObjectDef *Assailant() const;
	// Fights the assailant, if any, as a careful player turns on whatever
	// comes at him on the way (within a fight, the fight defends); true when
	// it played.
	bool FightBack();
	MapObjectDef *MapObject(const std::string &name, uint32_t objectKind) const;
	// Walks along planned paths until arrived says so; goal picks the tiles
	// to plan toward (re-evaluated on every plan).
	void WalkUntil(const std::function<bool()> &arrived, const std::function<bool(const PathTile &)> &goal,
		const std::string &what, float seconds, const Entity *target = nullptr, const MapObjectDef *link = nullptr,
		bool goalMayBeTaken = false);
	// A path finder over the current map with today's solid entities and
	// the other links blocked; people and foes too unless actorsBlock is off.
	TilePathFinder Finder(const Entity *target, const MapObjectDef *link, bool actorsBlock = true) const;
	// Presses the movement keys toward a world point; false once within
	// reach of it.
	bool SteerTo(float x, float z, float reach);
	void ReleaseMovement();
	void ReadPlainMessage();
	PathTile TileOf(const Entity &entity) const;
	std::vector<SDL_Scancode> held;

	SaveFolder folder;
	Renderer *renderer = nullptr;
	PlaythroughGame game;
	int mapChanges = 0;
	uint64_t framesPlayed = 0;
	PlayTally tally;
	std::string keptOffMap;
	std::vector<std::string> keptOff;
	const Player *heartsOf = nullptr; // whose hearts lastHearts counts
	int lastHearts = 0;
	uint64_t lastScriptFrame = 0; // the last frame a script ran in
	PlaythroughFighter *fight = nullptr; // the fight running (it may walk to a fire)
	Vec3 lastUseAt = Vec3(-1e6f);  // where the hero stood at the last use pressed
};
