#include "map/MapSequence.h"

#include "audio/ModMusicPlayer.h"
#include "audio/Sound.h"
#include "engine/core/Entity.h"
#include "engine/core/Log.h"
#include "engine/core/NameHash.h"
#include "engine/core/Scene.h"
#include "engine/render/Renderer.h"
#include "map/MapCommand.h"
#include "map/MapFiles.h"
#include "map/MapGameLink.h"
#include "map/Missions.h"
#include "map/TileMap.h"
#include "map/TileMapData.h"
#include "map/WorldMap.h"

constexpr uint8_t kCallCountLimit = MapSequence::kMaxRunEntries + 1;
constexpr float kPlayerSearchRadius = 1000.0f; // world units around the origin
constexpr uint8_t kPlayerFactionMask = 1;
constexpr float kMessageSeconds = 3.0f;
constexpr uint32_t kSignKind = 15;             // entity kinds whose text is read, not spoken
constexpr uint32_t kScrollKind = 18;
constexpr uint8_t kSayMode = 0;
constexpr uint8_t kPromptMode = 2;
constexpr int kEnigmaniaEndingNumber = 5;
constexpr float kEndingSoundVolume = 0.5f;
constexpr uint16_t kHideValue = 1;               // "hide" with 1 hides, anything else shows
constexpr const char *kMeatMusicCue = "meats";

static const char *ObjectName(const MapObjectDef *object)
{
	return object != nullptr ? object->name.GetOr("") : "";
}

static bool HasActor(const MapObjectDef *object)
{
	return object != nullptr && object->HasActor();
}

MapSequence::MapSequence(TileMap *tileMap, MapObjectDef *startObject)
	: tileMap(tileMap)
	, startObject(startObject)
{
	if (HasActor(startObject))
		speaker = startObject;
}

MapSequence::~MapSequence() = default;

std::unique_ptr<Sequence> MapSequence::Create(TileMap &tileMap, MapObjectDef &startObject)
{
	return std::make_unique<MapSequence>(&tileMap, &startObject);
}

void MapSequence::Start()
{
	if (IsAnyInProgress()) {
		// Running now would interleave this script with the one in progress,
		// which the runner is about to drop: wait for the next poll.
		startDeferred = true;
		state = kStateRunning;
		return;
	}
	ProgressScope progress;
	startDeferred = false;
	callCount = 0;
	ending = kEndingNone;
	awaited = ScriptWorld::kNoHandle;
	state = kStateRunning;
	LogDebug("Sequence start: %i\n", startObject != nullptr ? startObject->id : 0);
	state = Run(startObject);
}

void MapSequence::End()
{
	if (state < kStateDone)
		state = kStateFailed;
}

bool MapSequence::IsReadyToResume()
{
	return state == kStateRunning && (awaited == ScriptWorld::kNoHandle || World().IsFinished(awaited));
}

Entity *MapSequence::GetSourceEntity()
{
	return speaker != nullptr ? speaker->entity : nullptr;
}

void MapSequence::Resume()
{
	if (startDeferred) {
		Start();
		return;
	}
	ProgressScope progress;

	Entity *player = FindPlayer();
	if (player != nullptr && player->scene != nullptr) {
		// Closes an overlay menu that the script opened.
		player->scene->SetOverlayUI(nullptr);
	}
	// Closed now; freed here, outside any call of its own.
	menu.reset();

	if (ending != kEndingNone) {
		FinishEnding();
		return;
	}
	awaited = ScriptWorld::kNoHandle;

	const MapCommand *last = GetLastCommand();
	MapGameLink &game = MapGameLink::Get();
	if (last != nullptr && last->code == kCmdPrompt && game.HasHud()
		&& game.GetMessageState() == MapGameLink::kMessageAnsweredYes) {
		MapObjectDef *answer = tileMap->FindObjectById(last->argument);
		if (answer == nullptr) {
			// Nothing to run for the answer: the script is over.
			Log("Couldn't find next object %i from %s\n", last->argument, ObjectName(runningObject));
			state = kStateDone;
			return;
		}
		state = Run(answer);
		return;
	}

	if (HasCommandsLeft()) {
		LogDebug("Sequence resume: %i\n", runningObject->id);
		state = Run(runningObject);
	} else {
		state = kStateDone;
	}
}

int32_t MapSequence::Run(MapObjectDef *object)
{
	if (ending != kEndingNone)
		return kStateDone;
	// The count saturates, so a failed sequence that is run again stays
	// failed rather than wrapping back to a fresh budget.
	if (callCount < kCallCountLimit)
		callCount++;
	if (callCount >= kCallCountLimit) {
		Log("Command stack overflow.\n");
		return kStateFailed;
	}
	if (state >= kStateDone)
		return state;
	if (object == nullptr || tileMap == nullptr) {
		state = kStateDone;
		return kStateDone;
	}

	if (object != runningObject) {
		runningObject = object;
		commandIndex = 0;
	}
	if (object->kind == kObjectEntity)
		speaker = object;
	LogDebug("Sequence cmd: %i::%i\n", object->id, commandIndex);

	const std::vector<MapCommand> &commands = tileMap->GetMapData().commands;
	for (;;) {
		size_t at = (size_t)runningObject->firstCommand + commandIndex;
		if (commandIndex >= runningObject->commandCount || at >= commands.size()) {
			state = kStateDone;
			End();
			return kStateDone;
		}
		// A copy: a command may change the map's tables.
		MapCommand command = commands[at];
		commandIndex++;

		MapObjectDef *jumpTarget = nullptr;
		int32_t result = Execute(command, jumpTarget);
		if (result != kContinue)
			return result;
		// Ended from outside while the command ran (the runner dropped this
		// sequence for one the command started): carry out nothing more.
		if (state >= kStateDone)
			return state;
		if (jumpTarget != nullptr)
			return Run(jumpTarget);
	}
}

int32_t MapSequence::Execute(const MapCommand &command, MapObjectDef *&jumpTarget)
{
	switch (command.code) {
	case kCmdIf:
		if (TestGroup(command, true))
			jumpTarget = FindTargetObject(command);
		return kContinue;

	case kCmdIfWeight: {
		Entity *player = FindPlayer();
		if (player != nullptr && World().CarriedWeight(player) >= command.argument)
			jumpTarget = FindTargetObject(command);
		return kContinue;
	}

	case kCmdIfNot:
		if (TestGroup(command, false))
			jumpTarget = FindTargetObject(command);
		return kContinue;

	case kCmdMap: {
		// The script ends either way; the scene travels once the player has
		// the name.
		Entity *player = FindPlayer();
		if (player != nullptr)
			World().SetExitTarget(player, StringAt(command.value));
		return kStateDone;
	}

	case kCmdActor: {
		MapObjectDef *record = tileMap->FindEntityRecordById(command.value);
		if (HasActor(record))
			speaker = record;
		return kContinue;
	}

	case kCmdSave:
		return SaveFlag(command);

	case kCmdUnsave:
		UnsaveFlag(command);
		return kContinue;

	case kCmdSay:
		if (SayMessage(runningObject, command, kSayMode) && HasCommandsLeft())
			return kStateWaiting;
		return kContinue;

	case kCmdPrompt:
		if (SayMessage(runningObject, command, kPromptMode))
			return kStateWaiting;
		return kContinue;

	case kCmdMusic: {
		const char *cue = StringAt(command.value);
		ModMusicPlayer *music = ModMusicPlayer::Instance();
		if (cue != nullptr && music != nullptr)
			music->PlayCueByName(cue);
		return kContinue;
	}

	case kCmdRender:
		CycleRenderMode();
		return kContinue;

	case kCmdThen:
		jumpTarget = FindTargetObject(command);
		return kContinue;

	case kCmdParty:
		if (HasActor(speaker))
			World().JoinParty(speaker->entity);
		return kContinue;

	case kCmdUnparty: {
		MapObjectDef *record = tileMap->FindEntityRecordById(command.value);
		if (HasActor(record))
			World().LeaveParty(MapEntityKindFromType(record->type));
		return kContinue;
	}

	// Read by world objects or taken in at load: nothing to do here.
	case kCmdUnlock:
	case kCmdFlag:
	case kCmdDir:
	case kCmdModel:
	case kCmdTexture:
	case kCmdEnter:
	case kCmdFacing:
	case kCmdFlee:
		return kContinue;

	case kCmdGive:
		return Give(command);

	case kCmdTakeWeight:
		TakeWeight(command);
		return kContinue;

	case kCmdWalk:
		return Walk(command);

	case kCmdDead:
		Dead();
		return kContinue;

	case kCmdBlock:
		if (Entity *actor = SpeakerActor())
			World().Block(actor);
		return kContinue;

	case kCmdFaction:
		if (Entity *actor = SpeakerActor())
			actor->faction = static_cast<uint8_t>(command.value & 0xFF);
		return kContinue;

	case kCmdHold:
		if (Entity *actor = SpeakerActor())
			World().Hold(actor, MapEntityKindFromType(command.value));
		return kContinue;

	case kCmdHide:
		Hide(command);
		return kContinue;

	case kCmdRankMeat:
		return RankMeat();

	case kCmdWay:
		MoveWaypoint(command);
		return kContinue;

	case kCmdTake:
		return TakeItem(command);

	case kCmdKill:
		return Kill(command);

	default:
		return kContinue;
	}
}

int32_t MapSequence::SaveFlag(const MapCommand &command)
{
	const char *name = StringAt(command.value);
	if (name == nullptr)
		return kContinue;

	MapGameLink &game = MapGameLink::Get();
	uint8_t missionState = Missions::GetState(name);
	bool wait = false;
	if (!game.Flag(name)) {
		wait = Missions::Complete(name);
		game.SetFlagId(HashName(name), true);
		game.SaveCurrentSlot();
		ModMusicPlayer *music = ModMusicPlayer::Instance();
		if (music != nullptr && music->HasCue(name))
			music->PlayCueByName(name);
	}
	game.UnlockAchievementByName(name);
	tileMap->UpdateMapFlags();

	if (NameEquals(name, "ending")) {
		ending = kEndingQuest;
		if (ModMusicPlayer::Instance() != nullptr)
			ModMusicPlayer::Instance()->Stop();
		if (missionState == Missions::kMissionDone)
			game.ShowMessage("You got him again!", kMessageSeconds, MapGameLink::kKindMessage);
		wait = true;
	} else if (NameEquals(name, "end_fr")) {
		ending = kEndingEnigmania;
		if (ModMusicPlayer::Instance() != nullptr)
			ModMusicPlayer::Instance()->Stop();
		wait = true;
	}
	return wait ? kStateWaiting : kContinue;
}

void MapSequence::UnsaveFlag(const MapCommand &command)
{
	const char *name = StringAt(command.value);
	MapGameLink &game = MapGameLink::Get();
	if (name != nullptr && game.Flag(name)) {
		game.SetFlagId(HashName(name), false);
		game.SaveCurrentSlot();
	}
	tileMap->UpdateMapFlags();
}

void MapSequence::CycleRenderMode()
{
	Renderer *renderer = GetRenderer();
	MapGameLink::Get().StepGraphicsMode(renderer != nullptr ? renderer->GetPostModeCount() : 0);
}

void MapSequence::FinishEnding()
{
	// The save no longer starts in a map: the next load goes to the title.
	MapGameLink &game = MapGameLink::Get();
	game.SetCurrentMap(nullptr);
	game.SetStartMap(0);
	game.SaveCurrentSlot();
	if (ending == kEndingEnigmania) {
		game.ShowWinAlt("Enigmania!", kEnigmaniaEndingNumber);
		Sound::Instance()->Play("sfx/end_fr.ogg", kEndingSoundVolume, 0.0f, 0);
		Missions::Complete("end_fr");
	} else {
		game.ShowQuestComplete();
	}
}

Entity *MapSequence::FindPlayer()
{
	if (tileMap == nullptr || tileMap->scene == nullptr)
		return nullptr;
	Entity *player = tileMap->scene->FindNearestEntity(Vec3(0.0f), kPlayerFactionMask, kPlayerSearchRadius);
	if (player == nullptr || player->lifeState >= kLifePaused || !World().IsLivePlayer(player))
		return nullptr;
	return player;
}

MapObjectDef *MapSequence::FindTargetObject(const MapCommand &command)
{
	MapObjectDef *target = tileMap->FindObjectById(command.value);
	if (target == nullptr)
		Log("Couldn't find next object %i from %s\n", command.value, ObjectName(runningObject));
	return target;
}

bool MapSequence::TestGroup(const MapCommand &command, bool expected) const
{
	return tileMap->IsGroupEnabled(command.argument) == expected;
}

bool MapSequence::SayMessage(MapObjectDef *object, const MapCommand &command, uint8_t mode)
{
	MapGameLink &game = MapGameLink::Get();
	if (!game.HasHud()) {
		Log("Couldn't get UI on %s\n", ObjectName(object));
		return false;
	}
	const char *text = MessageAt(command.value);
	if (text == nullptr) {
		Log("Couldn't find message %i on %s\n", command.value, ObjectName(object));
		return false;
	}
	tileMap->SetGroupFlag(command.argument, true);

	if (speaker != nullptr && speaker->kind == kObjectEntity && speaker->name.IsSet()) {
		uint32_t kind = MapEntityKindFromType(speaker->type);
		if (kind == kSignKind || kind == kScrollKind)
			game.ShowTitledMessage(speaker->name.Get(), text, kMessageSeconds, mode);
		else
			game.ShowSpeech(speaker->name.Get(), text, kMessageSeconds, mode);
		if (HasActor(speaker))
			World().Speak(speaker->entity);
	} else {
		game.ShowMessage(text, kMessageSeconds, mode);
	}

	// A speaking actor stops what it does and talks to the player.
	Entity *actor = SpeakerActor();
	if (actor == nullptr)
		return true;
	World().Stop(actor);
	Entity *player = FindPlayer();
	if (player == nullptr)
		return true;
	return Await(World().Talk(actor, player));
}

bool MapSequence::Await(ScriptWorld::Handle order)
{
	if (order == ScriptWorld::kNoHandle)
		return false;
	awaited = order;
	return true;
}

bool MapSequence::CanMove(const MapObjectDef &record)
{
	if (record.entity != nullptr && record.entity->IsActive())
		return true;
	LogDebug("Actor %s is hidden\n", ObjectName(&record));
	return false;
}

ScriptWorld &MapSequence::World() const
{
	return tileMap != nullptr ? tileMap->GetScriptWorld() : ScriptWorld::Quiet();
}

Entity *MapSequence::SpeakerActor() const
{
	return HasActor(speaker) ? speaker->entity : nullptr;
}

int32_t MapSequence::Give(const MapCommand &command)
{
	// Whoever speaks may give: a townsperson, a sign, a scroll, a cupboard.
	Entity *player = FindPlayer();
	if (speaker == nullptr || player == nullptr)
		return kContinue;
	World().GiveWeapon(player, MapEntityKindFromType(command.value));
	return kStateWaiting;
}

int32_t MapSequence::TakeItem(const MapCommand &command)
{
	Entity *player = FindPlayer();
	MapObjectDef *record = player != nullptr ? tileMap->FindEntityRecordById(command.value) : nullptr;
	Entity *actor = HasActor(record) ? record->entity : nullptr;
	if (actor == nullptr)
		return kContinue;
	if (!CanMove(*record) || !Await(World().Take(actor, player)))
		return kStateFailed;
	return kStateRunning;
}

int32_t MapSequence::Kill(const MapCommand &command)
{
	Entity *actor = SpeakerActor();
	if (actor == nullptr)
		return kStateRunning;
	Entity *target = nullptr;
	if (command.value == 0) {
		target = FindPlayer();
	} else {
		MapObjectDef *record = tileMap->FindEntityRecordById(command.value);
		if (HasActor(record))
			target = record->entity;
	}
	if (target == nullptr)
		return kStateRunning;
	if (!CanMove(*speaker) || !Await(World().Kill(actor, target)))
		return kStateFailed;
	return kStateRunning;
}

void MapSequence::TakeWeight(const MapCommand &command)
{
	if (Entity *player = FindPlayer())
		World().TakeWeight(player, command.value);
}

int32_t MapSequence::Walk(const MapCommand &command)
{
	Entity *actor = SpeakerActor();
	MapObjectDef *destination = actor != nullptr ? tileMap->FindById(command.value) : nullptr;
	if (destination == nullptr)
		return kContinue;
	if (!CanMove(*speaker) || !Await(World().Walk(actor, *tileMap, *destination)))
		return kStateFailed;
	return kStateRunning;
}

void MapSequence::Dead()
{
	Entity *actor = SpeakerActor();
	if (actor == nullptr)
		return;
	MapObjectDef *record = speaker;
	World().Defeat(actor);
	// Defeat may run the map's triggers; the record is the map's and stays.
	tileMap->SetGroupFlag(record->Group(), true);
}

void MapSequence::Hide(const MapCommand &command)
{
	if (speaker == nullptr || speaker->kind != kObjectEntity || !Entity::IsAlive(speaker->entity))
		return;
	Entity *entity = speaker->entity;
	if (World().IsInParty(entity))
		return;
	entity->SetActive(command.value != kHideValue);
}

int32_t MapSequence::RankMeat()
{
	Entity *player = FindPlayer();
	std::unique_ptr<Entity> opened = player != nullptr && player->scene != nullptr ? World().MakeMeatMenu() : nullptr;
	if (opened == nullptr) {
		Log("No player to rank meats on %s\n", ObjectName(runningObject));
		return kStateDone;
	}
	// A menu this sequence opened before is closed first.
	player->scene->SetOverlayUI(nullptr);
	menu = std::move(opened);
	player->scene->SetOverlayUI(menu.get());
	if (ModMusicPlayer *music = ModMusicPlayer::Instance())
		music->PlayCueByName(kMeatMusicCue);
	return kStateWaiting;
}

void MapSequence::MoveWaypoint(const MapCommand &command)
{
	const char *name = StringAt(command.value);
	if (name == nullptr)
		return;
	// Read before comparing, so the goal moves before the map screen opens.
	LoadWorldMap(false);
	uint16_t key = HashName(name);
	MapGameLink &game = MapGameLink::Get();
	if (WorldMap::FindRegion(key) > WorldMap::FindRegion(game.Waypoint()))
		game.SetWaypoint(key);
}


MapObjectDef *MapSequence::GetCurrentObject() const
{
	return state < kStateDone ? runningObject : nullptr;
}

const MapCommand *MapSequence::GetLastCommand() const
{
	if (runningObject == nullptr || state >= kStateDone || tileMap == nullptr)
		return nullptr;
	if (commandIndex == 0 || commandIndex > runningObject->commandCount)
		return nullptr;
	size_t at = (size_t)runningObject->firstCommand + commandIndex - 1;
	const std::vector<MapCommand> &commands = tileMap->GetMapData().commands;
	return at < commands.size() ? &commands[at] : nullptr;
}

const char *MapSequence::StringAt(uint16_t index) const
{
	const std::vector<MapName> &strings = tileMap->GetMapData().strings;
	return index < strings.size() ? strings[index].Get() : nullptr;
}

const char *MapSequence::MessageAt(uint16_t index) const
{
	const std::vector<MapMessage> &messages = tileMap->GetMapData().messages;
	return index < messages.size() ? messages[index].Get() : nullptr;
}

bool MapSequence::HasCommandsLeft() const
{
	return runningObject != nullptr && commandIndex < runningObject->commandCount;
}
