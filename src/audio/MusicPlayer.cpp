#include "audio/MusicPlayer.h"

#include <SDL.h>
#include <tinyxml2.h>

#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"
#include "engine/core/NameHash.h"

namespace {

constexpr size_t kCueNumberWindow = 16;   // characters of a "music" text that are read
constexpr int kCueNumberCount = 3;        // start, end and loop order
constexpr unsigned int kListDefaultVolume = 480; // module volume when the list names none
constexpr unsigned int kMaxModuleVolume = UINT16_MAX;
constexpr size_t kMaxCueIndex = UINT8_MAX; // cue indexes are 8-bit

uint16_t ToModuleVolume(unsigned int value)
{
	return (uint16_t)(value > kMaxModuleVolume ? kMaxModuleVolume : value);
}

}

void ParseCueNumbers(const char *text, uint16_t *startOrder, uint16_t *endOrder, uint16_t *loopOrder)
{
	if (text == nullptr || text[0] == '\0')
		return;
	uint16_t numbers[kCueNumberCount] = {0, 0, 0};
	int index = 0;
	for (size_t i = 0; i < kCueNumberWindow && text[i] != '\0'; i++) {
		const char c = text[i];
		if (c == ' ') {
			index++;
		} else if (c >= '0' && c <= '9') {
			// A number past the third has nowhere to go.
			if (index < kCueNumberCount)
				numbers[index] = (uint16_t)(numbers[index] * 10 + (c - '0'));
		}
	}
	if (startOrder != nullptr)
		*startOrder = numbers[0];
	if (endOrder != nullptr)
		*endOrder = numbers[1];
	if (loopOrder != nullptr)
		*loopOrder = numbers[2];
}

MusicPlayer *MusicPlayer::Instance()
{
	static MusicPlayer player;
	MakeCurrent(&player);
	return &player;
}

void MusicPlayer::LoadCues(const char *fileName)
{
	cueListName = fileName != nullptr ? fileName : "";
	const uint16_t key = HashName(fileName);
	if (key == listKey)
		return;
	listKey = key;

	Stop();
	EndOverlayCue();
	// The old list's modules are freed rather than dropped: the game switches
	// lists whenever the settings change.
	ReleaseModules();
	Cues().clear();

	if (!ReadCueList(fileName))
		listKey = 0; // so that asking for the same list again retries it
}

bool MusicPlayer::ReadCueList(const char *fileName)
{
	const char *shownName = fileName != nullptr ? fileName : "(null)";
	if (SDL_WasInit(SDL_INIT_AUDIO) == 0 && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
		Log("Couldn't initialize SDL: %s\n", SDL_GetError());
		return false;
	}
	tinyxml2::XMLDocument document;
	if (fileName == nullptr || !LoadXmlFile(fileName, document)) {
		Log("Couldn't load music cues from %s\n", shownName);
		return false;
	}
	const tinyxml2::XMLElement *root = document.FirstChildElement("music");
	if (root == nullptr) {
		Log("Couldn't find valid cue  s in file %s\n", shownName);
		return false;
	}
	defaultVolume = ToModuleVolume(root->UnsignedAttribute("volume", kListDefaultVolume));

	// Every element after the first "cue" is a cue, whatever its name.
	for (const tinyxml2::XMLElement *element = root->FirstChildElement("cue"); element != nullptr;
		element = element->NextSiblingElement()) {
		const char *file = element->Attribute("file");
		MusicModule *module = file != nullptr ? OpenModule(file) : nullptr;
		if (module != nullptr)
			module->volume = ToModuleVolume(element->UnsignedAttribute("volume", defaultVolume));

		MusicCue cue;
		cue.id = HashName(element->Attribute("save"));
		// A cue whose file could not be read keeps its name, so that playing
		// it reports the missing module instead of a missing cue.
		cue.module = module != nullptr ? module->key : HashName(file);
		cue.persistent = element->IntAttribute("persistant", 0) > 0 ? 1 : 0;
		cue.env = HashName(element->Attribute("env"));
		if (const char *numbers = element->Attribute("music"))
			ParseCueNumbers(numbers, &cue.startOrder, &cue.endOrder, &cue.loopOrder);
		Cues().push_back(cue);
	}
	return true;
}

bool MusicPlayer::PlayCueByName(const char *name)
{
	if (name != nullptr && name[0] >= '0' && name[0] <= '9') {
		MusicCue cue;
		ParseCueNumbers(name, &cue.startOrder, &cue.endOrder, &cue.loopOrder);
		// Bare numbers name orders of the music already playing.
		const MusicModule *module = DefaultModule();
		cue.module = module != nullptr ? module->key : 0;
		return PlayCue(&cue);
	}
	if (name != nullptr && name[0] != '\0') {
		if (const MusicCue *cue = FindCue(name))
			return PlayCue(cue);
	}
	return ModMusicPlayer::PlayCueByName(name);
}

bool MusicPlayer::PlayForArea(uint16_t envKey, const FlagTest &isFlagSet)
{
	if (!isFlagSet)
		return false;
	for (const MusicCue &cue : Cues()) {
		if (!isFlagSet(cue.id))
			continue;
		if (cue.env == 0 || envKey == 0 || cue.env == envKey)
			return PlayCue(&cue);
	}
	return false;
}

size_t MusicPlayer::CueCount() const
{
	return Cues().size();
}

uint8_t MusicPlayer::CurrentCueIndex() const
{
	if (GetDeck(kMainDeck).module == nullptr)
		return 0;
	const uint16_t id = CurrentCueId();
	const std::vector<MusicCue> &cues = Cues();
	for (size_t i = 0; i < cues.size() && i <= kMaxCueIndex; i++)
		if (cues[i].id == id)
			return (uint8_t)i;
	return 0;
}

uint16_t MusicPlayer::CueAt(uint8_t index) const
{
	return index < Cues().size() ? Cues()[index].id : 0;
}

const MusicCue *MusicPlayer::GetCue(size_t index) const
{
	return index < Cues().size() ? &Cues()[index] : nullptr;
}
