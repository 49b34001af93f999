#pragma once

#include "objects/Prop.h"

#include <glm/gtc/quaternion.hpp>

struct MapObjectDef;

// A signpost with something to read. It sways gently in the wind until its
// text has been read (the map then remembers the text's group) and then
// stands still. Its text comes from the first object with a "say" line that
// its script leads to (TileMap::FindSayObject).
class PropSign : public Prop {
public:
	static constexpr uint32_t kKind = 18;

	PropSign() : Prop(kKind) {}

	void Start() override;
	// The sway alone: a sign never moves otherwise.
	void Update(float dt) override;

	MapObjectDef *GetMessageObject() const { return messageObject; }
	uint8_t GetMessageGroup() const { return messageGroup; }

private:
	MapObjectDef *messageObject = nullptr; // owned by the map
	uint8_t messageGroup = 0;
	float swayClock = 0.0f; // seconds
	glm::quat restRotation = glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
};
