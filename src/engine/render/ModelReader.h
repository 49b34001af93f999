#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/Transform.h"

class Mesh;

constexpr uint32_t kModelAnimationNameLength = 16; // characters kept of an animation name
constexpr uint32_t kModelJointNameLength = 16;	   // characters kept of a joint name

// One named run of frames in a model's frame sequence. The reader makes these
// in file order and never sets the loop flag: the game sets it on the
// animations that repeat, and every other one holds its last frame.
struct ModelAnimation {
	uint16_t firstFrame = 0;
	uint16_t frameCount = 0;
	uint8_t loop = 0;
	char name[kModelAnimationNameLength + 1] = {}; // always terminated
};

// One joint of a model's skeleton, for attaching held items: after every
// animated pose its transform holds the joint's position and its rotation
// relative to the bind pose, in engine space. The name fills all 16
// characters without a terminator when it is that long, so it is only ever
// read through GetName.
struct ModelJoint {
	Transform transform;
	char name[kModelJointNameLength] = {};

	// The name as a terminated text in the caller's buffer of 17 characters.
	const char *GetName(char (&buffer)[kModelJointNameLength + 1]) const;
};

// A model file as the engine sees it: it loads a file, fills a Mesh with the
// model's triangles in its bind pose or in an animated pose, and lists the
// animations and joints that the game looks up by name. Readers are shared
// between all instances of a model through the model-reader cache, which keeps
// them for the rest of the run. Positions come out in the engine's Y-up space,
// multiplied by the reader's scale. Main thread only.
class ModelReader {
public:
	ModelReader() = default;
	ModelReader(const ModelReader &) = delete;
	ModelReader &operator=(const ModelReader &) = delete;
	// Virtual so that the cache's owner may free any reader through this base.
	virtual ~ModelReader() = default;

	// Reads a model file from an already resolved path; false (logged) when
	// the file is refused, and the reader is then unchanged.
	virtual bool Load(const char *path) = 0;
	// Poses the mesh at the clock *time (the reader shows frame 30 x *time)
	// with the current animation, cross-faded with the previous one by blend
	// (1 shows the previous one alone, 0 the current one alone). Either
	// animation may be null; a record that is not one of this reader's is
	// taken as null.
	virtual void BuildMesh(Mesh *mesh, const float *time, const ModelAnimation *current,
		const ModelAnimation *previous, float blend) = 0;
	// Poses the joint records as BuildMesh would, leaving every mesh as it
	// is: a model out of view keeps its held items and joint lookups moving
	// without paying for its skin. Nothing for a reader without a skeleton.
	virtual void PoseJoints(const float *time, const ModelAnimation *current, const ModelAnimation *previous,
		float blend)
	{
		(void)time;
		(void)current;
		(void)previous;
		(void)blend;
	}
	// Builds the same mesh as BuildMesh, on a skeleton of its own, leaving
	// the joint records (and whatever pose they hold) as they are: for a skin
	// built late, at drawing, when the update already posed the joints.
	virtual void BuildMeshKeepingJoints(Mesh *mesh, const float *time, const ModelAnimation *current,
		const ModelAnimation *previous, float blend)
	{
		BuildMesh(mesh, time, current, previous, blend);
	}
	// The frame count of all loaded animations together; 0 without any.
	virtual uint16_t GetAnimationFrameCount() const { return 0; }
	// The box, in engine space, round every vertex of the model in its bind
	// pose and in every frame of every loaded animation, measured once per
	// file read. False, leaving the box alone, for a reader that cannot tell
	// (nothing read, no vertices): its models must never be culled.
	virtual bool GetPoseBounds(glm::vec3 &low, glm::vec3 &high)
	{
		(void)low;
		(void)high;
		return false;
	}

	// The records stay where they are until the next animation file is read.
	std::vector<ModelAnimation> &GetAnimations() { return animations; }
	const std::vector<ModelAnimation> &GetAnimations() const { return animations; }
	std::vector<ModelJoint> &GetJoints() { return joints; }
	const std::vector<ModelJoint> &GetJoints() const { return joints; }

	// The first record whose name equals the given one by name hash; null
	// when there is none.
	ModelAnimation *FindAnimation(const char *name);
	ModelJoint *FindJoint(const char *name);

protected:
	// True when the record is one of this reader's animations.
	bool OwnsAnimation(const ModelAnimation *animation) const;

	std::vector<ModelAnimation> animations;
	std::vector<ModelJoint> joints;
	float scale = 1.0f; // multiplies positions on their way into engine space
};
