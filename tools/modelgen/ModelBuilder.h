#pragma once
// Builds an IqmModel out of simple pieces: joints placed by their bind
// position, boxes skinned to those joints and textured from rectangles of the
// model's texture, and animations given as a function from time to pose that
// the builder samples frame by frame. The model descriptions in models/ are
// written with it.
//
// Space: the file's own, Z up; a model faces -Y and its left side is +X.
#include "IqmWriter.h"

#include <functional>
#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>
#include <string>
#include <vector>

// A rectangle of the model's texture in pixels, from the top-left corner. A
// rectangle of zero width marks a face that is not built (hidden inside the
// body).
struct AtlasRect {
	int x = 0, y = 0, w = 0, h = 0;
};

// The texture rectangle shown on each face of a box. Left is the model's own
// left (+X), front is the side it faces (-Y). Side faces show their rectangle
// upright, as seen from outside; the top shows it with the front edge down.
struct BoxSkin {
	AtlasRect front, back, left, right, top, bottom;

	static BoxSkin All(const AtlasRect &r) { return {r, r, r, r, r, r}; }
};

// The joints that move one ring of a box's corners: the box's joint alone,
// or shared with a second joint (share = the second joint's part, 0 to 1),
// which bends the box smoothly where two bones meet.
struct RingBinding {
	int joint = 0;
	int otherJoint = -1;
	float otherShare = 0.0f;
};

// A box whose bottom and top are rectangles parallel to the ground: a limb,
// a torso, a foot or a head. Half sizes are along X and Y.
struct BoxShape {
	glm::vec3 bottom{0.0f};
	glm::vec2 bottomHalf{0.0f};
	glm::vec3 top{0.0f};
	glm::vec2 topHalf{0.0f};
	BoxSkin skin;
	RingBinding bottomRing, topRing;
};

// One frame of an animation: each joint's rotation relative to its parent
// and how far it has moved from its bind place (in its parent's space).
struct SkeletonPose {
	std::vector<glm::quat> rotation;
	std::vector<glm::vec3> offset;
};

// Fills the pose at a time from 0 to 1: for a looping animation 1 is the
// start again, for a held one 1 is its last frame.
using PoseFunction = std::function<void(float time, SkeletonPose *pose)>;

class ModelBuilder {
public:
	ModelBuilder(int textureWidth, int textureHeight);

	// Adds a joint at a place of the model, turned as the model is. Returns
	// its index; the parent must have been added before (or -1).
	int AddJoint(const std::string &name, int parent, const glm::vec3 &bindPosition);
	int JointCount() const { return (int)joints.size(); }
	glm::vec3 BindPosition(int joint) const { return bindPositions[joint]; }

	void AddBox(const BoxShape &box);

	void AddAnimation(const std::string &name, uint32_t frameCount, float frameRate, bool loop,
		const PoseFunction &poseAt);

	// The model with all boxes as one mesh. False with *error when a box's
	// rectangle lies outside the texture or the writer would refuse the model.
	bool Finish(const std::string &meshName, const std::string &material, IqmModel *out,
		std::string *error) const;

private:
	void AddFace(const glm::vec3 corners[4], const RingBinding *rings[4], const AtlasRect &rect);
	void Bind(IqmVertex *v, const RingBinding &ring) const;

	int textureWidth, textureHeight;
	std::vector<IqmJoint> joints;
	std::vector<glm::vec3> bindPositions;
	std::vector<IqmVertex> vertices;
	std::vector<std::array<uint32_t, 3>> triangles;
	std::vector<IqmAnimation> animations;
	std::vector<IqmTransform> frames;
	uint32_t frameCount = 0;
	std::string problem; // the first bad piece, reported by Finish
};
