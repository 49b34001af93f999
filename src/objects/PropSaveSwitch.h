#pragma once

#include "engine/core/Transform.h"
#include "engine/render/Material.h"
#include "engine/render/Model3D.h"
#include "objects/IUseable.h"
#include "objects/MapEntity.h"

#include <cstdint>

// The fireplace, the game's save point. Lighting it makes its map the place
// the hero comes back to after death and writes the save; putting it out
// gives back all hearts. A lit fire draws three flickering flames and throws
// embers. Under the original content's rules it also lights when touched.
// It owns its two models; it draws no shadow and never moves.
class PropSaveSwitch : public MapEntity, public IUseable {
public:
	static constexpr uint32_t kKind = 22;
	static constexpr int kFireTextCount = 7;
	static constexpr float kMessageSeconds = 3.0f;
	static constexpr const char *kFireSound = "sfx/fire.wav";
	static constexpr const char *kNoSaveText = "This place will not save you.";
	static constexpr const char *kPowerText = "You have taken the Power of Fire";
	static constexpr const char *kSaveFailedText = "The fire flickers, but your game could not be saved.";

	PropSaveSwitch();

	void Start() override;
	// The fireplace and its flame.
	void AddLooks(std::vector<EntityLook> &looks) const override;
	void Update(float dt) override;
	void Render() override;
	void OnCollide(Entity *other) override;

	bool CanUse() override { return true; }
	// Lights or puts out the fire; putting it out fills the hero's hearts.
	void Use(Player *player) override;

	void SetLit(bool value);
	bool IsLit() const { return lit != 0; }
	uint16_t GetMapId() const { return mapId; }
	const Transform &GetFlame(int index) const { return flames[index]; }

	// The text the next newly saving fire shows.
	static const char *NextFireText();
	// Fires lit (with a text) since the program started.
	static int GetMessageCounter();
	static void SetMessageCounter(int value);

private:
	static constexpr int kFlameCount = 3;

	Model3D fireplaceModel;
	Material::Handle fireplaceMaterial;
	Model3D flameModel;
	Material::Handle flameMaterial;
	Transform flames[kFlameCount]; // each relative to the fireplace
	uint8_t lit = 0;
	float age = 0.0f;         // seconds since the start
	float emberTimer = 0.0f;  // seconds
	uint16_t mapId = 0;       // name hash of the map it stands on
};
