#pragma once

#include <cstdint>
#include <memory>

#include <glm/glm.hpp>

#include "engine/core/CacheMap.h"
#include "engine/core/Transform.h"
#include "engine/render/Material.h"
#include "engine/render/MeshRenderer.h"
#include "engine/render/ModelReader.h"

class Mesh;

// File format codes of model files.
constexpr uint32_t kModelFormatUnknown = 0;
constexpr uint32_t kModelFormatIqm = 3;

// kModelFormatIqm when the name's extension is "iqm" (in any letter case),
// else kModelFormatUnknown.
uint32_t GetModelFileFormat(const char *fileName);

// The program-wide cache of parsed model files, one reader per pair of model
// and animation file names. Readers stay cached, and alive, until the process
// ends; a release only lowers the user count.
CacheMap<ModelReader> &GetModelReaderCache();
// The cache key of a model and animation file pair: the sum of both name
// hashes, kept to 16 bits.
uint16_t ModelReaderKey(const char *modelName, const char *animationName);

// One drawable, animated instance of a model file, held by its world object:
// its own mesh that the shared reader re-poses every update, the renderer that
// draws it, a transform relative to the holder, a material, and an animation
// clock with a current and a previous animation for cross-fades. The parsed
// file is shared with every other instance of the same model and animation
// files through the model-reader cache. Animation and joint records belong to
// the reader; an instance only points at them.
class Model3D {
public:
	Model3D();
	// Gives back the material and the reader; deletes the mesh.
	virtual ~Model3D();
	Model3D(const Model3D &) = delete;
	Model3D &operator=(const Model3D &) = delete;

	// Loads the model file (relative to the data tree) with the animations of
	// the animation file, both kept in the cache under the pair's key, and
	// poses the mesh once. The transform's scale becomes (scale, scale,
	// scale). False (logged) when the file format is unknown or the model file
	// is refused; the instance is then unloaded with no reader. A failing
	// animation file still loads the model.
	bool Load(const char *modelName, const char *animationName, float scale);
	// A model that carries its own animations.
	bool LoadSimple(const char *fileName, float scale);
	// Reads the model file with the animations of the animation file into the
	// cache, as the first Load of the pair does, and measures the box of its
	// poses, so that a later Load finds both done. Nothing is read again for a
	// pair already cached. False (logged) when the model cannot be read.
	static bool Prepare(const char *modelName, const char *animationName);
	void ClearLoaded() { loaded = 0; }
	bool IsLoaded() const { return loaded != 0; }

	// Takes over the caller's counted use of the material; the mesh counts a
	// use of its own. The material held before is given back.
	void SetMaterialHandle(const Material::Handle &handle);
	// The cached material of the texture and shader names.
	void SetMaterial(const char *textureName, const char *shaderName);
	const Material::Handle &GetMaterial() const { return material; }

	// Cross-fades to the animation over blendTime seconds while the clock
	// keeps running. Nothing when it is the current animation already.
	void BlendToAnimation(ModelAnimation *animation, float blendTime);
	// Switches at once and sets the clock to startTime. Nothing when it is the
	// current animation already.
	void SetAnimation(ModelAnimation *animation, float startTime);
	// The same, storing the speed (frames per second) first in any case.
	void BlendToAnimationAtSpeed(ModelAnimation *animation, float blendTime, float framesPerSecond);
	void SetAnimationAtSpeed(ModelAnimation *animation, float startTime, float framesPerSecond);
	ModelAnimation *GetCurrentAnimation() const { return currentAnimation; }
	ModelAnimation *GetPreviousAnimation() const { return previousAnimation; }

	// The reader's first record of that name (by name hash); null when there
	// is none or nothing is loaded.
	ModelAnimation *FindAnimation(const char *name) const;
	ModelJoint *FindJoint(const char *name) const;

	// Advances the clock by dt seconds, counts down the cross-fade and poses
	// the mesh. World objects call it once per frame. A model that was out of
	// the camera's view when last drawn poses its joints alone; its skin is
	// built when it is next drawn in view.
	void Update(float dt);
	// Draws the last pose with parent x the own transform x the base
	// rotation; nothing when the model lies wholly outside the world camera's
	// view (interface models are always drawn).
	void Render(const glm::mat4 &parent);
	// Whether the last Render found the model outside the view.
	bool WasOutOfView() const { return outOfView; }
	// The sphere, in mesh space, that holds every pose the model can take;
	// a radius below 0 means the model is never culled.
	const glm::vec3 &GetBoundCentre() const { return boundCentre; }
	float GetBoundRadius() const { return boundRadius; }
	// The matrix of a joint of this model in the holder's space, for placing a
	// held item: the own transform, then the joint's. Unless keepScale is set,
	// the model's own scale is taken back out, so the item keeps its size.
	// Without a joint, the own transform and base rotation alone.
	glm::mat4 ComputeMatrix(const ModelJoint *joint, bool keepScale) const;

	Transform &GetTransform() { return transform; }
	const Transform &GetTransform() const { return transform; }
	Mesh *GetMesh() const { return mesh.get(); }
	MeshRenderer &GetRenderer() { return renderer; }
	ModelReader *GetReader() const { return reader.Get(); }
	const glm::mat4 &GetLastMatrix() const { return lastMatrix; }
	uint32_t GetFormat() const { return format; }
	uint16_t GetKey() const { return key; }
	float GetSpeed() const { return speed; }
	void SetSpeed(float framesPerSecond) { speed = framesPerSecond; }
	float GetTime() const { return time; }
	// A turn applied to the model before its own transform, for models made
	// facing another way than their holder (actors turn theirs half round).
	void SetBaseRotation(const glm::quat &value) { baseRotation = value; }
	const glm::quat &GetBaseRotation() const { return baseRotation; }
	// Multiplied into the material colour when drawing; (1, 1, 1) is none.
	void SetColour(const glm::vec3 &value);
	const glm::vec3 &GetColour() const { return colour; }
	void SetTime(float value) { time = value; }
	// The cross-fade weight of the previous animation: 1 when the fade
	// starts, 0 when it is over.
	float GetBlend() const;

private:
	// Makes sure the reader of the pair is cached, reading the files when it
	// is not. False (logged) when the model file cannot be read.
	static bool ReadIntoCache(const char *modelName, const char *animationName);
	void ReleaseReader();
	// The sphere round every pose the model's animations can take.
	void MeasureBounds();
	bool IsOutOfView(const glm::mat4 &clip) const;

	std::unique_ptr<Mesh> mesh;
	MeshRenderer renderer; // declared after the mesh, so it goes first
	CacheHandle<ModelReader> reader;
	Material::Handle material;
	ModelAnimation *currentAnimation = nullptr;
	ModelAnimation *previousAnimation = nullptr;
	uint32_t format = kModelFormatUnknown;
	float blendDuration = 0.0f;	 // seconds of the current cross-fade
	float blendRemaining = 0.0f; // seconds left of it
	uint8_t loaded = 0;
	Transform transform;
	glm::mat4 lastMatrix = glm::mat4(1.0f);
	float speed = 15.0f; // animation frames per second
	float time = 0.0f;	 // the clock: the reader shows frame 30 x time
	glm::quat baseRotation = glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
	glm::vec3 colour = glm::vec3(1.0f);
	uint16_t key = 0;
	// What the last update posed, kept for a skin built later.
	float posedTime = 0.0f;
	ModelAnimation *posedCurrent = nullptr;
	ModelAnimation *posedPrevious = nullptr;
	float posedBlend = 0.0f;
	bool poseStale = false; // the mesh lags the last update's pose
	bool outOfView = false;
	glm::vec3 boundCentre = glm::vec3(0.0f); // mesh space
	float boundRadius = -1.0f;               // below 0: not measured, never culled
};
