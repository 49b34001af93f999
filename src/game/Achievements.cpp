#include "game/Achievements.h"

#include <SDL.h>
#include <tinyxml2.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"
#include "engine/core/NameHash.h"
#include "engine/core/StringUtil.h"
#include "game/GameProgress.h"
#include "game/GameService.h"
#include "game/IAchievementHandler.h"
#include "game/TalvexGame.h"

namespace {

constexpr size_t kIdBytes = 2;
constexpr size_t kMaxStateIds = 65535; // what the u16 count can say
constexpr size_t kMaxStateBytes = kIdBytes + kMaxStateIds * kIdBytes;

std::string g_stateFolder;
IAchievementHandler *g_handler = nullptr;

uint16_t ReadU16(const uint8_t *bytes)
{
	return (uint16_t)(bytes[0] | (bytes[1] << 8));
}

}

Achievements &Achievements::Instance()
{
	static Achievements achievements;
	if (achievements.loaded == 0)
		achievements.Load();
	return achievements;
}

Achievements::Achievements()
{
	Load();
}

void Achievements::SetStateFolder(const char *folder)
{
	g_stateFolder = folder != nullptr ? folder : "";
}

std::string Achievements::StatePath()
{
	return g_stateFolder.empty() ? std::string(kStateFile) : JoinPath(g_stateFolder.c_str(), kStateFile);
}

bool Achievements::LoadDefinitions(const char *path)
{
	tinyxml2::XMLDocument document;
	if (!LoadXmlFile(path, document) || document.RootElement() == nullptr)
		return false;
	definitions.clear();
	for (const tinyxml2::XMLElement *element = document.RootElement()->FirstChildElement("achievement");
		element != nullptr; element = element->NextSiblingElement("achievement")) {
		AchievementDef def;
		CopyText(def.idText, sizeof(def.idText), element->Attribute("id"));
		CopyText(def.name, sizeof(def.name), element->Attribute("name"));
		CopyText(def.description, sizeof(def.description), element->Attribute("description"));
		def.type = AchievementDef::TypeFromText(element->Attribute("type"));
		def.id = HashName(def.idText);
		definitions.push_back(def);
	}
	return true;
}

void Achievements::Load()
{
	if (definitionsRead == 0) {
		definitionsRead = 1; // usable or not, the file is read once a run
		LoadDefinitions(kDefinitionsFile);
	}
	ReadState();
	loaded = 1;
}

void Achievements::ReadState()
{
	unlocked.clear();
	const std::string path = StatePath();
	SDL_RWops *file = OpenFile(path.c_str(), "rb");
	if (file == nullptr)
		return;
	std::vector<uint8_t> bytes(kMaxStateBytes);
	const size_t size = ReadFileData(file, bytes.data(), 1, bytes.size());
	CloseFile(file);
	if (size < kIdBytes)
		return;
	const size_t count = ReadU16(bytes.data());
	// Ids run until the count or the file ends; an odd byte at the end is no id.
	const size_t present = (size - kIdBytes) / kIdBytes;
	if (present < count)
		Log("%s: %zu of %zu achievement ids present\n", path.c_str(), present, count);
	const size_t usable = std::min(count, present);
	for (size_t i = 0; i < usable; i++) {
		const uint16_t id = ReadU16(bytes.data() + kIdBytes + i * kIdBytes);
		const AchievementDef *def = Find(id);
		if (def == nullptr) {
			Log("%s: no achievement has id %u\n", path.c_str(), (unsigned)id);
			continue;
		}
		if (IsUnlocked(id)) {
			Log("%s: achievement %s listed twice\n", path.c_str(), def->idText);
			continue;
		}
		unlocked.push_back(id);
		GameService::Unlock(GetGameService(), def->idText);
	}
}

const AchievementDef *Achievements::At(size_t index) const
{
	return index < definitions.size() ? &definitions[index] : nullptr;
}

const AchievementDef *Achievements::Find(uint16_t id) const
{
	for (const AchievementDef &def : definitions)
		if (def.id == id)
			return &def;
	return nullptr;
}

bool Achievements::IsUnlocked(uint16_t id) const
{
	return std::find(unlocked.begin(), unlocked.end(), id) != unlocked.end();
}

bool Achievements::IsUnlockedByName(const char *name) const
{
	return IsUnlocked(HashName(name != nullptr ? name : ""));
}

void Achievements::Unlock(uint16_t id)
{
	GameProgress::SetFlagId(id, 1);
	const AchievementDef *def = Find(id);
	if (def == nullptr || IsUnlocked(id) || unlocked.size() >= kMaxStateIds)
		return;
	unlocked.push_back(id);
	GameService::Unlock(GetGameService(), def->idText);
	if (g_handler != nullptr)
		g_handler->OnAchievement(*def);
	Save();
}

void Achievements::UnlockByName(const char *name)
{
	Unlock(HashName(name != nullptr ? name : ""));
}

void Achievements::Reset()
{
	unlocked.clear();
	Save();
}

void Achievements::SyncFromFlags()
{
	Load();
	if (!TalvexGame::Current().IsInGame())
		return;
	for (size_t i = 0; i < definitions.size(); i++) {
		const uint16_t id = definitions[i].id;
		if (!IsUnlocked(id) && GameProgress::FlagId(id))
			Unlock(id);
	}
}

bool Achievements::Save() const
{
	std::vector<uint8_t> bytes;
	bytes.reserve(kIdBytes + unlocked.size() * kIdBytes);
	const size_t count = std::min(unlocked.size(), kMaxStateIds);
	bytes.push_back((uint8_t)(count & 0xff));
	bytes.push_back((uint8_t)(count >> 8));
	for (size_t i = 0; i < count; i++) {
		bytes.push_back((uint8_t)(unlocked[i] & 0xff));
		bytes.push_back((uint8_t)(unlocked[i] >> 8));
	}
	const std::string path = StatePath();
	if (!WriteFileAtomic(path.c_str(), bytes.data(), bytes.size())) {
		Log("Couldn't open achievements file for write%s\n", SDL_GetError());
		return false;
	}
	return true;
}

void Achievements::SetHandler(IAchievementHandler *value)
{
	g_handler = value;
}

IAchievementHandler *Achievements::GetHandler()
{
	return g_handler;
}

void Achievements::ForgetHandler(const IAchievementHandler *value)
{
	if (g_handler == value)
		g_handler = nullptr;
}
