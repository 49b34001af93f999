#include "objects/ModelProp.h"

#include "engine/collision/Collider.h"
#include "engine/core/Log.h"
#include "map/MapCommand.h"
#include "map/TileMap.h"
#include "objects/EntityLook.h"
#include "objects/ObjectCommands.h"

namespace {

// The text of a message-table entry; null when missing or empty.
const char *MessageText(const TileMap *map, uint16_t index)
{
	if (map == nullptr || index >= map->GetMapData().messages.size())
		return nullptr;
	return map->GetMapData().messages[index].Get();
}

} // namespace

void ModelProp::FindNames(const char *&modelName, const char *&textureName) const
{
	modelName = nullptr;
	textureName = nullptr;
	for (const MapCommand &command : ObjectCommands(map, mapObject)) {
		if (command.code == kCmdModel)
			modelName = MessageText(map, command.value);
		else if (command.code == kCmdTexture)
			textureName = MessageText(map, command.value);
	}
}

void ModelProp::AddLooks(std::vector<EntityLook> &looks) const
{
	const char *modelName = nullptr;
	const char *textureName = nullptr;
	FindNames(modelName, textureName);
	if (modelName != nullptr && textureName != nullptr)
		EntityLook::Add(looks, modelName, textureName, kShader);
}

void ModelProp::Start()
{
	Prop::Start();
	const char *modelName = nullptr;
	const char *textureName = nullptr;
	FindNames(modelName, textureName);
	// An unnamed object prints an empty name, never a null.
	const char *objectName = mapObject->name.GetOr("");
	if (modelName == nullptr) {
		Log("No model found on %s\n ", objectName);
		return;
	}
	if (textureName == nullptr) {
		Log("No texture found on %s\n ", objectName);
		return;
	}
	SetModel(modelName, textureName, 1.0f);
	CreateCollider(Collider::kModeIgnored, Vec3(0.0f), Vec3(0.0f));
	followsGround = 0;
	killable = 0;
}
