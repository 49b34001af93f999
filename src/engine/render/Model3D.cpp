#include "engine/render/Model3D.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>

#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"
#include "engine/core/NameHash.h"
#include "engine/render/IqmReader.h"
#include "engine/render/Mesh.h"
#include "engine/render/Renderer.h"
#include "engine/core/LoadClock.h"

namespace {

// The clock runs at one thirtieth of the speed: the reader shows frame
// 30 x clock, so the frame position moves by `speed` frames a second.
constexpr float kClockPerFrame = 0.033333335f;
// Own scales shorter than this are not divided out of a joint's matrix.
constexpr float kSmallestScale = 0.001f;
// Poses between two frames, and cross-fades, blend joint matrices rather
// than positions, so a limb may swing a little past the box of the frames
// themselves; the sphere round that box is widened by this share of its
// radius to hold them too.
constexpr float kBetweenFramesReach = 1.05f;

// The cache never deletes what it holds, so every reader put into it is also
// kept here and freed only when the process ends. Built before the cache is
// first used, this list outlives it.
std::vector<std::unique_ptr<ModelReader>> &OwnedReaders()
{
	static std::vector<std::unique_ptr<ModelReader>> owned;
	return owned;
}

}

uint32_t GetModelFileFormat(const char *fileName)
{
	return FileHasExtension(fileName, "iqm") ? kModelFormatIqm : kModelFormatUnknown;
}

CacheMap<ModelReader> &GetModelReaderCache()
{
	OwnedReaders();
	return CacheMap<ModelReader>::GetInstance();
}

uint16_t ModelReaderKey(const char *modelName, const char *animationName)
{
	return (uint16_t)(HashName(modelName) + HashName(animationName));
}

Model3D::Model3D() : mesh(std::make_unique<Mesh>())
{
}

Model3D::~Model3D()
{
	Material::Release(material);
	ReleaseReader();
}

void Model3D::ReleaseReader()
{
	GetModelReaderCache().Release(reader);
	reader = CacheHandle<ModelReader>();
	currentAnimation = nullptr;
	previousAnimation = nullptr;
}

bool Model3D::Load(const char *modelName, const char *animationName, float scale)
{
	LoadClock::Timing timing(LoadClock::kModels);
	loaded = 0;
	key = ModelReaderKey(modelName, animationName);
	format = GetModelFileFormat(modelName);
	transform.scale = Vec3(scale, scale, scale);
	// A second load gives the first reader back, and with it the records of
	// its animations.
	ReleaseReader();

	if (!ReadIntoCache(modelName, animationName))
		return false;
	reader = GetModelReaderCache().Find(key);
	outOfView = false;
	Update(0.0f);
	MeasureBounds();
	loaded = 1;
	return true;
}

bool Model3D::ReadIntoCache(const char *modelName, const char *animationName)
{
	CacheMap<ModelReader> &cache = GetModelReaderCache();
	const uint16_t pairKey = ModelReaderKey(modelName, animationName);
	const CacheHandle<ModelReader> cached = cache.Find(pairKey);
	if (cached.IsValid()) {
		cache.Release(cached);
		return true;
	}
	if (GetModelFileFormat(modelName) != kModelFormatIqm) {
		Log("Can't read file format: %s", modelName);
		return false;
	}
	auto iqm = std::make_unique<IqmReader>();
	if (!iqm->Load(ResolvePath(modelName).c_str())) {
		Log("Can't read model: %s\n", modelName);
		return false;
	}
	if (!NameEquals(animationName, modelName))
		iqm->LoadAnimations(ResolvePath(animationName).c_str());
	if (cache.Insert(pairKey, iqm.get()))
		OwnedReaders().push_back(std::move(iqm));
	return true;
}

bool Model3D::Prepare(const char *modelName, const char *animationName)
{
	LoadClock::Timing timing(LoadClock::kModels);
	if (!ReadIntoCache(modelName, animationName))
		return false;
	// The box of every pose is measured once per reader; measured here, the
	// first model shown from the file finds it done.
	CacheMap<ModelReader> &cache = GetModelReaderCache();
	const CacheHandle<ModelReader> found = cache.Find(ModelReaderKey(modelName, animationName));
	glm::vec3 low, high;
	if (found.IsValid())
		found.Get()->GetPoseBounds(low, high);
	cache.Release(found);
	return true;
}

bool Model3D::LoadSimple(const char *fileName, float scale)
{
	return Load(fileName, fileName, scale);
}

void Model3D::SetMaterialHandle(const Material::Handle &handle)
{
	// The caller's use replaces the one held before, even of the same
	// material, so the model always counts exactly one.
	Material::Release(material);
	material = handle;
	// The mesh gives its material back when it goes, so it takes a use of its
	// own; a material no cache manages is handed over uncounted.
	if (handle.IsValid() && handle.GetKey() != 0) {
		mesh->SetMaterial(Material::Share(handle));
	} else {
		mesh->SetMaterial(Material::Handle());
		mesh->SetMaterialDirect(handle.Get());
	}
}

void Model3D::SetMaterial(const char *textureName, const char *shaderName)
{
	SetMaterialHandle(Material::Get(textureName, shaderName));
}

void Model3D::BlendToAnimation(ModelAnimation *animation, float blendTime)
{
	if (animation == currentAnimation)
		return;
	previousAnimation = currentAnimation;
	currentAnimation = animation;
	blendDuration = blendTime;
	blendRemaining = blendTime;
}

void Model3D::SetAnimation(ModelAnimation *animation, float startTime)
{
	if (animation == currentAnimation)
		return;
	previousAnimation = currentAnimation;
	currentAnimation = animation;
	blendDuration = 0.0f;
	blendRemaining = 0.0f;
	time = startTime;
}

void Model3D::BlendToAnimationAtSpeed(ModelAnimation *animation, float blendTime, float framesPerSecond)
{
	speed = framesPerSecond;
	BlendToAnimation(animation, blendTime);
}

void Model3D::SetAnimationAtSpeed(ModelAnimation *animation, float startTime, float framesPerSecond)
{
	speed = framesPerSecond;
	SetAnimation(animation, startTime);
}

ModelAnimation *Model3D::FindAnimation(const char *name) const
{
	ModelReader *modelReader = reader.Get();
	return modelReader != nullptr ? modelReader->FindAnimation(name) : nullptr;
}

ModelJoint *Model3D::FindJoint(const char *name) const
{
	ModelReader *modelReader = reader.Get();
	return modelReader != nullptr ? modelReader->FindJoint(name) : nullptr;
}

float Model3D::GetBlend() const
{
	if (previousAnimation == nullptr)
		return 0.0f;
	return blendRemaining / (blendDuration > 0.0f ? blendDuration : 1.0f);
}

void Model3D::Update(float dt)
{
	time += dt * speed * kClockPerFrame;
	ModelReader *modelReader = reader.Get();
	if (modelReader == nullptr)
		return;

	if (previousAnimation != nullptr && blendRemaining > 0.0f) {
		blendRemaining -= dt;
		if (blendRemaining < 0.0f)
			blendRemaining = 0.0f;
	}
	posedTime = time;
	posedCurrent = currentAnimation;
	posedPrevious = previousAnimation;
	posedBlend = GetBlend();
	if (outOfView) {
		modelReader->PoseJoints(&posedTime, posedCurrent, posedPrevious, posedBlend);
		poseStale = true;
	} else {
		modelReader->BuildMesh(mesh.get(), &posedTime, posedCurrent, posedPrevious, posedBlend);
		poseStale = false;
	}

	// A model without animations has no frames to wrap the clock by.
	uint16_t frames = modelReader->GetAnimationFrameCount();
	if (frames > 0)
		time = std::fmod(time, (float)frames);
}

void Model3D::Render(const glm::mat4 &parent)
{
	lastMatrix = parent * transform.GetMatrix() * glm::mat4_cast(baseRotation);
	Renderer *owner = ::GetRenderer();
	outOfView = owner != nullptr && owner->IsModelCulling() && renderer.GetMode() != Renderer::kMatrixInterface &&
		IsOutOfView(owner->GetMatrix(renderer.GetMode()));
	if (outOfView)
		return;
	ModelReader *modelReader = reader.Get();
	if (poseStale && modelReader != nullptr)
		modelReader->BuildMeshKeepingJoints(mesh.get(), &posedTime, posedCurrent, posedPrevious, posedBlend);
	poseStale = false;
	renderer.Draw(mesh.get(), lastMatrix);
}

void Model3D::MeasureBounds()
{
	boundRadius = -1.0f;
	ModelReader *modelReader = reader.Get();
	glm::vec3 low, high;
	if (modelReader == nullptr || !modelReader->GetPoseBounds(low, high))
		return;
	boundCentre = (low + high) * 0.5f;
	boundRadius = glm::length(high - low) * 0.5f * kBetweenFramesReach;
}

bool Model3D::IsOutOfView(const glm::mat4 &clip) const
{
	if (boundRadius < 0.0f)
		return false;
	const glm::vec3 centre = glm::vec3(lastMatrix * glm::vec4(boundCentre, 1.0f));
	// The longest axis of the placement scales the sphere.
	const float stretch = std::max({glm::length(glm::vec3(lastMatrix[0])), glm::length(glm::vec3(lastMatrix[1])),
		glm::length(glm::vec3(lastMatrix[2]))});
	return SphereOutsideView(clip, centre, boundRadius * stretch);
}

void Model3D::SetColour(const glm::vec3 &value)
{
	colour = value;
	renderer.SetTint(value);
}

glm::mat4 Model3D::ComputeMatrix(const ModelJoint *joint, bool keepScale) const
{
	glm::mat4 m = transform.GetMatrix() * glm::mat4_cast(baseRotation);
	if (joint == nullptr)
		return m;
	m = m * joint->transform.GetMatrix();
	const Vec3 &own = transform.scale;
	if (!keepScale && !Vec3WithinRadius(own, kSmallestScale)) {
		// An axis squashed to nothing is left as it is rather than divided
		// by zero.
		Vec3 undo(1.0f);
		for (int axis = 0; axis < 3; axis++)
			if (std::fabs(own[axis]) >= kSmallestScale)
				undo[axis] = 1.0f / own[axis];
		m = m * glm::scale(glm::mat4(1.0f), undo);
	}
	return m;
}
