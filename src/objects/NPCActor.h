#pragma once

#include "objects/Actor.h"

#include <cstdint>

class Party;

// A townsperson: an actor of the townsfolk side that stands where the map put
// it, wears one of the shared figures (they all play the animations of
// "models/blacksmith.iqm"), turns to whoever comes to talk when its script
// has something to say, speaks in its own voice and may join the party. It
// never sinks below a floor height, so one pushed into a pit stays in reach.
// The say object belongs to the map; the party only marks its members.
class NPCActor : public Actor {
public:
	static constexpr float kLowestHeight = 0.3f;     // world units
	static constexpr float kStepDistance = 1.5f;     // world units per footstep
	static constexpr float kFootstepVolume = 0.5f;
	static constexpr float kVoiceVolume = 0.5f;
	static constexpr const char *kAnimationFile = "models/blacksmith.iqm";
	static constexpr const char *kShader = "shaders/actor.dsh";

	explicit NPCActor(uint32_t entityKind);

	// A member whose placement carried a "facing" line keeps following.
	void Start() override;
	void Update(float dt) override;
	// Looks the say object up again and, with something to say, faces the
	// player (unless its group is open or another behaviour runs).
	void ResetState() override;
	// Subclasses load their figure, then call this.
	void LoadModel() override;
	// Subclasses add their figure; a plain townsperson wears none.
	void AddLooks(std::vector<EntityLook> &looks) const override { (void)looks; }

	MapObjectDef *sayObject = nullptr; // owned by the map
	Party *party = nullptr;            // the party it follows; null when not a member

protected:
	// Loads a figure on the shared skeleton with its texture.
	void LoadFigure(const char *modelName, const char *textureName, float scale);
	// The look LoadFigure loads.
	static void AddFigure(std::vector<EntityLook> &looks, const char *modelName, const char *textureName);
	void SetVoice(const char *pattern, uint8_t count);
};
