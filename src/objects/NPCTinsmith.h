#pragma once

#include "objects/NPCActor.h"

#include <cstdint>

struct MapCommand;

// The smith who ran off to the dark side: placed with a "flee" line he
// wears the dark lord's figure, counts as hostile and runs away in that
// line's direction once the hero comes near, and never stops. Once he has
// joined the party he is himself again. Whenever his side changes he puts on
// the other figure in a puff of smoke.
class NPCTinsmith : public NPCActor {
public:
	static constexpr uint32_t kKind = 28;
	static constexpr float kScale = 0.4f;

	NPCTinsmith();

	void Start() override;
	void Update(float dt) override;
	void LoadModel() override;
	void AddLooks(std::vector<EntityLook> &looks) const override;

	uint8_t rememberedFaction = 0;

private:
	// The "flee" line he runs along, or null when he stays (no line, or he
	// is in the party).
	const MapCommand *FleeLine() const;
};
