#pragma once

#include <cstdint>
#include <vector>

#include "engine/render/Matrix3x4.h"

struct ModelAnimation;

// The pose of a skeleton between keyframes, and the skinning that moves a
// vertex with it. Every frame of a model's animations holds one matrix per
// joint that takes a bind-pose vertex to where that joint puts it; Animate
// blends the two frames around the clock (and, while one animation fades
// into the next, the frames of both) and composes each joint with its
// parent. The pose owns only its current joint matrices: the frame matrices
// and the joint parents stay with the model reader, which passes them in.
class SkeletalPose {
public:
	// Back to the rest pose (identity matrices) for a skeleton of jointCount joints.
	void Reset(uint32_t jointCount);
	// Poses every joint at the clock t (in frames). frameMatrices holds
	// frameCount x parents.size() matrices, frame by frame; each parent is an
	// earlier joint or -1. A null animation, or one that no longer lies in the
	// frame sequence, plays the whole sequence as one loop; previous fades out
	// as blend goes from 1 to 0.
	void Animate(float t, const ModelAnimation *current, const ModelAnimation *previous, float blend,
		const std::vector<Matrix3x4> &frameMatrices, uint32_t frameCount, const std::vector<int32_t> &parents);
	const Matrix3x4 &Joint(uint32_t joint) const { return joints[joint]; }
	// The matrix that moves one vertex: its four joint indexes and weights
	// (in 255ths), the first influence always and each further one up to the
	// first weight of 0. Every index must name a joint of the pose.
	Matrix3x4 SkinMatrix(const uint8_t *indexes, const uint8_t *weights) const;

private:
	std::vector<Matrix3x4> joints; // one per joint, rebuilt by every Animate
};
