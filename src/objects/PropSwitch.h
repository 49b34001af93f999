#pragma once

#include "engine/render/Material.h"
#include "engine/render/Model3D.h"
#include "objects/MapEntity.h"

#include <cstdint>

// A floor switch: a pressure plate that anything touching it (the hero, a
// pushed crate, a creature) turns on, and that turns off a moment after the
// last touch. It writes its state into the map's groups under its object id,
// which the map keeps across loads; blocks whose "flag" is that id follow
// it. Odd ids are blue, even ids red. The base of the obelisk.
class PropSwitch : public MapEntity {
public:
	static constexpr uint32_t kKind = 4;
	static constexpr float kTouchHold = 0.1f; // seconds a touch keeps it on
	static constexpr const char *kOnSound = "sfx/switchon.wav";
	static constexpr const char *kOffSound = "sfx/switchoff.wav";

	explicit PropSwitch(uint32_t entityKind = kKind);

	void Start() override;
	void Update(float dt) override;
	void Render() override;
	void OnCollide(Entity *other) override;

	// offShader null: the on shader.
	virtual void SetModel(const char *modelName, const char *onTexture, const char *offTexture, const char *shader,
		const char *offShader);
	virtual void LoadAppearance();
	// The model with its on and off materials.
	void AddLooks(std::vector<EntityLook> &looks) const override;
	// holdSeconds: how long it stays on without a touch (also when it was on).
	virtual void SetOn(bool value, float holdSeconds);
	// A squashed switch shows its state by its height.
	virtual void UpdateScale();

	bool IsOn() const { return on != 0; }
	float GetHoldTimer() const { return holdTimer; }
	const Material::Handle &GetOnMaterial() const { return onMaterial; }
	const Material::Handle &GetOffMaterial() const { return offMaterial; }
	const Model3D &GetModel() const { return model; }

protected:
	// The files of its look, which LoadAppearance loads.
	struct Appearance {
		const char *model;
		const char *onTexture;
		const char *offTexture;
		const char *shader;
		const char *offShader; // null: the on shader
	};
	virtual Appearance Look() const;

	Model3D model;
	Material::Handle onMaterial;
	Material::Handle offMaterial;
	float holdTimer = 0.0f; // seconds
	uint8_t on = 0;
	uint8_t squash = 1;
};
