#include "engine/render/SkeletalPose.h"

#include <cmath>

#include "engine/render/IqmFormat.h"
#include "engine/render/ModelReader.h"

namespace {

constexpr float kBlendWeightScale = 1.0f / kIqmWholeWeight; // a weight byte as a share of the vertex

// Which two frames to blend, and how far between them, for one animation.
struct FramePair {
	uint32_t first;
	uint32_t second;
	float offset;
};

// An animation that is null (or, written over by a caller, no longer lies in
// the frame sequence) plays the whole sequence as one loop.
FramePair PickFrames(float t, const ModelAnimation *animation, uint32_t totalFrames)
{
	if (animation != nullptr &&
		(animation->frameCount == 0 || (uint32_t)animation->firstFrame + animation->frameCount > totalFrames))
		animation = nullptr;
	uint32_t first = animation != nullptr ? animation->firstFrame : 0;
	uint32_t count = animation != nullptr ? animation->frameCount : totalFrames;

	// Animations that do not loop hold their last frame.
	if (animation != nullptr && animation->loop == 0 && t >= (float)(count - 1))
		return FramePair{first + count - 1, first + count - 1, 0.0f};

	// Worked in double so that no clock value, however large or negative,
	// wraps a frame number.
	double whole = std::floor((double)t);
	double wrapped = std::fmod(whole, (double)count);
	if (wrapped < 0.0)
		wrapped += count;
	uint32_t f1 = (uint32_t)wrapped;
	if (f1 >= count)
		f1 = 0;
	uint32_t f2 = f1 + 1 < count ? f1 + 1 : 0;
	return FramePair{f1 + first, f2 + first, (float)((double)t - whole)};
}

}

void SkeletalPose::Reset(uint32_t jointCount)
{
	joints.assign(jointCount, Matrix3x4());
}

void SkeletalPose::Animate(float t, const ModelAnimation *current, const ModelAnimation *previous, float blend,
	const std::vector<Matrix3x4> &frameMatrices, uint32_t frameCount, const std::vector<int32_t> &parents)
{
	const uint32_t jointCount = (uint32_t)parents.size();
	if (frameCount == 0 || jointCount == 0)
		return;
	joints.resize(jointCount);
	FramePair now = PickFrames(t, current, frameCount);
	FramePair before = PickFrames(t, previous, frameCount);
	bool fading = previous != nullptr && blend > 0.0f;

	for (uint32_t i = 0; i < jointCount; i++) {
		const Matrix3x4 &a1 = frameMatrices[(size_t)now.first * jointCount + i];
		const Matrix3x4 &a2 = frameMatrices[(size_t)now.second * jointCount + i];
		Matrix3x4 m = a1 * (1.0f - now.offset);
		m.AddScaled(a2, now.offset);
		if (fading) {
			const Matrix3x4 &b1 = frameMatrices[(size_t)before.first * jointCount + i];
			const Matrix3x4 &b2 = frameMatrices[(size_t)before.second * jointCount + i];
			Matrix3x4 faded = b1 * (1.0f - before.offset);
			faded.AddScaled(b2, before.offset);
			m = m * (1.0f - blend);
			m.AddScaled(faded, blend);
		}
		int32_t parent = parents[i];
		joints[i] = parent >= 0 ? joints[parent] * m : m;
	}
}

Matrix3x4 SkeletalPose::SkinMatrix(const uint8_t *indexes, const uint8_t *weights) const
{
	Matrix3x4 w = joints[indexes[0]] * (weights[0] * kBlendWeightScale);
	for (uint32_t k = 1; k < kIqmBlendInfluences && weights[k] != 0; k++)
		w.AddScaled(joints[indexes[k]], weights[k] * kBlendWeightScale);
	return w;
}
