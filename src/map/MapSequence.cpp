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
#include "map/Missions.h"
#include "map/ScriptPlayer.h"
#include "map/TileMap.h"
#include "map/TileMapData.h"
#include "map/WorldMap.h"

// Services of the game and the world objects that scripts act on.
#include "game/GameProgress.h"
#include "game/GameUI.h"
#include "game/TalvexGame.h"
#include "objects/Actor.h"
#include "objects/BlockBehaviour.h"
#include "objects/KillBehaviour.h"
#include "objects/GameLink.h"
#include "objects/Party.h"
#include "objects/Player.h"
#include "objects/PlayerStats.h"
#include "objects/TakeBehaviour.h"
#include "objects/TalkBehaviour.h"
#include "objects/WalkBehaviour.h"

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

static MapSequence::MenuMaker meatMenuMaker = nullptr;

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

void MapSequence::SetMeatMenuMaker(MenuMaker maker)
{
	meatMenuMaker = maker;
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
	awaited = kNoBehaviour;
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
	return state == kStateRunning && (awaited == kNoBehaviour || IsBehaviourFinished(awaited));
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
	awaited = kNoBehaviour;

	const MapCommand *last = GetLastCommand();
	GameUI *hud = GameUI::Current();
	if (last != nullptr && last->code == kCmdPrompt && hud != nullptr
		&& hud->GetMessageState() == GameUI::kMessageAnsweredYes) {
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
		if (player != nullptr && GetActorStats(player)->weight >= command.argument)
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
		ScriptPlayer *player = AsScriptPlayer(FindPlayer());
		if (player != nullptr)
			player->SetExitTarget(StringAt(command.value));
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
			Party::Instance().Join(dynamic_cast<Actor *>(speaker->entity));
		return kContinue;

	case kCmdUnparty: {
		MapObjectDef *record = tileMap->FindEntityRecordById(command.value);
		if (HasActor(record))
			Party::Instance().Leave(MapEntityKindFromType(record->type));
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
		if (Actor *actor = SpeakerActor())
			actor->AddBehaviour(std::make_unique<BlockBehaviour>(actor), true);
		return kContinue;

	case kCmdFaction:
		if (Actor *actor = SpeakerActor())
			actor->faction = static_cast<uint8_t>(command.value & 0xFF);
		return kContinue;

	case kCmdHold:
		if (Actor *actor = SpeakerActor())
			actor->Hold(MapEntityKindFromType(command.value), nullptr);
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

	uint8_t missionState = Missions::GetState(name, GameProgress::Current());
	bool wait = false;
	if (!GameProgress::Flag(name)) {
		wait = Missions::Complete(name);
		GameProgress::SetFlag(name, 1);
		GameProgress::SaveCurrentSlot();
		ModMusicPlayer *music = ModMusicPlayer::Instance();
		if (music != nullptr && music->HasCue(name))
			music->PlayCueByName(name);
	}
	GameLink::Get().UnlockAchievementByName(name);
	tileMap->UpdateMapFlags();

	if (NameEquals(name, "ending")) {
		ending = kEndingQuest;
		if (ModMusicPlayer::Instance() != nullptr)
			ModMusicPlayer::Instance()->Stop();
		GameUI *hud = GameUI::Current();
		if (missionState == Missions::kMissionDone && hud != nullptr)
			hud->ShowMessage("You got him again!", kMessageSeconds, GameUI::kKindMessage);
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
	if (name != nullptr && GameProgress::Flag(name)) {
		GameProgress::SetFlag(name, 0);
		GameProgress::SaveCurrentSlot();
	}
	tileMap->UpdateMapFlags();
}

void MapSequence::CycleRenderMode()
{
	Renderer *renderer = GetRenderer();
	TalvexGame::StepGraphicsMode(renderer != nullptr ? renderer->GetPostModeCount() : 0);
}

void MapSequence::FinishEnding()
{
	// The save no longer starts in a map: the next load goes to the title.
	GameProgress::SetCurrentMap(nullptr);
	GameProgress::SetStartMap(0);
	GameProgress::SaveCurrentSlot();
	if (ending == kEndingEnigmania) {
		if (TalvexGame *game = TalvexGame::Running())
			game->ShowWinAlt("Enigmania!", kEnigmaniaEndingNumber);
		Sound::Instance()->Play("sfx/end_fr.ogg", kEndingSoundVolume, 0.0f, 0);
		Missions::Complete("end_fr");
	} else if (TalvexGame *game = TalvexGame::Running()) {
		game->ShowQuestComplete();
	}
}

Entity *MapSequence::FindPlayer()
{
	if (tileMap == nullptr || tileMap->scene == nullptr)
		return nullptr;
	Entity *player = tileMap->scene->FindNearestEntity(Vec3(0.0f), kPlayerFactionMask, kPlayerSearchRadius);
	if (player == nullptr || player->lifeState >= kLifePaused)
		return nullptr;
	PlayerStats *stats = GetActorStats(player);
	if (stats == nullptr || stats->hearts == 0)
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
	GameUI *hud = GameUI::Current();
	if (hud == nullptr) {
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
			hud->ShowTitledMessage(speaker->name.Get(), text, kMessageSeconds, mode);
		else
			hud->ShowSpeech(speaker->name.Get(), text, kMessageSeconds, mode);
		// Only a real actor has a voice; the class test alone does not say so.
		Actor *actor = HasActor(speaker) ? dynamic_cast<Actor *>(speaker->entity) : nullptr;
		if (actor != nullptr)
			actor->PlaySoundVariant(Actor::kSpeechVoice);
	} else {
		hud->ShowMessage(text, kMessageSeconds, mode);
	}

	// A speaking actor stops what it does and talks to the player.
	Actor *actor = SpeakerActor();
	if (actor == nullptr)
		return true;
	actor->AddBehaviour(nullptr, true);
	Entity *player = FindPlayer();
	if (player == nullptr)
		return true;
	return AssignBehaviour(actor, std::make_unique<TalkBehaviour>(actor, player));
}

bool MapSequence::AssignBehaviour(Entity *entity, std::unique_ptr<ActorBehaviour> behaviour)
{
	// Live for a script: in the map's scene and not being deleted, hidden
	// or not.
	Actor *actor = IsActor(entity) ? static_cast<Actor *>(entity) : nullptr;
	if (actor == nullptr || behaviour == nullptr)
		return false;
	if (!actor->HasHearts()) {
		LogDebug("Actor %s is dead\n", actor->mapObject != nullptr ? actor->mapObject->name.GetOr("") : "");
		return false;
	}
	awaited = behaviour->GetHandle();
	actor->AddBehaviour(std::move(behaviour), true);
	return true;
}

bool MapSequence::AssignRunningBehaviour(Actor *actor, std::unique_ptr<ActorBehaviour> behaviour)
{
	// A hidden actor is not updated, so a walk, take or kill given to it
	// would never end and the script would wait for ever: it fails instead.
	if (actor != nullptr && !actor->IsActive()) {
		LogDebug("Actor %s is hidden\n", actor->mapObject != nullptr ? actor->mapObject->name.GetOr("") : "");
		return false;
	}
	return AssignBehaviour(actor, std::move(behaviour));
}

Actor *MapSequence::SpeakerActor() const
{
	return HasActor(speaker) ? dynamic_cast<Actor *>(speaker->entity) : nullptr;
}

int32_t MapSequence::Give(const MapCommand &command)
{
	// Whoever speaks may give: a townsperson, a sign, a scroll, a cupboard.
	Player *player = dynamic_cast<Player *>(FindPlayer());
	if (speaker == nullptr || player == nullptr)
		return kContinue;
	player->GainWeapon(MapEntityKindFromType(command.value));
	return kStateWaiting;
}

int32_t MapSequence::TakeItem(const MapCommand &command)
{
	Entity *player = FindPlayer();
	MapObjectDef *record = player != nullptr ? tileMap->FindEntityRecordById(command.value) : nullptr;
	Actor *actor = HasActor(record) ? dynamic_cast<Actor *>(record->entity) : nullptr;
	if (actor == nullptr)
		return kContinue;
	if (!AssignRunningBehaviour(actor, std::make_unique<TakeBehaviour>(actor, static_cast<MapEntity *>(player))))
		return kStateFailed;
	return kStateRunning;
}

int32_t MapSequence::Kill(const MapCommand &command)
{
	Actor *actor = SpeakerActor();
	if (actor == nullptr)
		return kStateRunning;
	MapEntity *target = nullptr;
	if (command.value == 0) {
		target = dynamic_cast<MapEntity *>(FindPlayer());
	} else {
		MapObjectDef *record = tileMap->FindEntityRecordById(command.value);
		if (HasActor(record))
			target = dynamic_cast<MapEntity *>(record->entity);
	}
	if (target == nullptr)
		return kStateRunning;
	if (!AssignRunningBehaviour(actor, std::make_unique<KillBehaviour>(actor, target)))
		return kStateFailed;
	return kStateRunning;
}

void MapSequence::TakeWeight(const MapCommand &command)
{
	PlayerStats *stats = GetActorStats(FindPlayer());
	if (stats == nullptr)
		return;
	// Worked out wide and signed: taking more than is carried leaves none.
	int32_t left = static_cast<int32_t>(stats->weight) - static_cast<int32_t>(command.value);
	stats->AddWeight(static_cast<int16_t>((left < 0 ? 0 : left) - stats->weight));
}

int32_t MapSequence::Walk(const MapCommand &command)
{
	Actor *actor = SpeakerActor();
	MapObjectDef *destination = actor != nullptr ? tileMap->FindById(command.value) : nullptr;
	if (destination == nullptr)
		return kContinue;
	if (!AssignRunningBehaviour(actor, std::make_unique<WalkBehaviour>(actor, tileMap, destination)))
		return kStateFailed;
	return kStateRunning;
}

void MapSequence::Dead()
{
	Actor *actor = SpeakerActor();
	if (actor == nullptr)
		return;
	MapObjectDef *record = speaker;
	actor->Defeat();
	// Defeat may run the map's triggers; the record is the map's and stays.
	tileMap->SetGroupFlag(record->Group(), true);
}

void MapSequence::Hide(const MapCommand &command)
{
	if (speaker == nullptr || speaker->kind != kObjectEntity || !Entity::IsAlive(speaker->entity))
		return;
	Entity *entity = speaker->entity;
	if (Party::Instance().IsMember(entity->kind))
		return;
	entity->SetActive(command.value != kHideValue);
}

int32_t MapSequence::RankMeat()
{
	Entity *player = FindPlayer();
	if (player == nullptr || player->scene == nullptr || meatMenuMaker == nullptr) {
		Log("No player to rank meats on %s\n", ObjectName(runningObject));
		return kStateDone;
	}
	// A menu this sequence opened before is closed first.
	player->scene->SetOverlayUI(nullptr);
	menu = meatMenuMaker();
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
	if (WorldMap::FindRegion(key) > WorldMap::FindRegion(GameProgress::Waypoint()))
		GameProgress::SetWaypoint(key);
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

PlayerStats *MapSequence::GetActorStats(Entity *entity)
{
	ScriptPlayer *player = AsScriptPlayer(entity);
	return player != nullptr ? &player->ScriptStats() : nullptr;
}

ScriptPlayer *MapSequence::AsScriptPlayer(Entity *entity)
{
	return dynamic_cast<ScriptPlayer *>(entity);
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
