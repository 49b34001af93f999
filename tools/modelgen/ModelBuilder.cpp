#include "ModelBuilder.h"

#include <cmath>

constexpr float kTexelInset = 0.5f; // texels kept clear of a rectangle's edge so filtering stays inside it
constexpr int kWeightTotal = 255;

ModelBuilder::ModelBuilder(int width, int height) : textureWidth(width), textureHeight(height) {}

int ModelBuilder::AddJoint(const std::string &name, int parent, const glm::vec3 &bindPosition)
{
	IqmJoint joint;
	joint.name = name;
	joint.parent = parent;
	glm::vec3 local = bindPosition;
	if (parent >= 0 && parent < (int)joints.size())
		local -= bindPositions[parent];
	else if (parent != -1 && problem.empty())
		problem = "joint " + name + " names a parent that is not there yet";
	joint.bind.translate = {local.x, local.y, local.z};
	joints.push_back(joint);
	bindPositions.push_back(bindPosition);
	return (int)joints.size() - 1;
}

void ModelBuilder::Bind(IqmVertex *v, const RingBinding &ring) const
{
	if (ring.otherJoint < 0 || ring.otherShare <= 0.0f) {
		v->blendIndexes = {(uint8_t)ring.joint, 0, 0, 0};
		v->blendWeights = {kWeightTotal, 0, 0, 0};
		return;
	}
	int other = (int)std::lround(glm::clamp(ring.otherShare, 0.0f, 1.0f) * kWeightTotal);
	int own = kWeightTotal - other;
	if (own == 0) {
		v->blendIndexes = {(uint8_t)ring.otherJoint, 0, 0, 0};
		v->blendWeights = {kWeightTotal, 0, 0, 0};
		return;
	}
	// The larger share first: the game stops at the first empty weight.
	if (own >= other) {
		v->blendIndexes = {(uint8_t)ring.joint, (uint8_t)ring.otherJoint, 0, 0};
		v->blendWeights = {(uint8_t)own, (uint8_t)other, 0, 0};
	} else {
		v->blendIndexes = {(uint8_t)ring.otherJoint, (uint8_t)ring.joint, 0, 0};
		v->blendWeights = {(uint8_t)other, (uint8_t)own, 0, 0};
	}
}

// corners run counter-clockwise seen from outside, starting at the corner
// shown at the bottom left of the rectangle.
void ModelBuilder::AddFace(const glm::vec3 corners[4], const RingBinding *rings[4], const AtlasRect &rect)
{
	if (rect.w <= 0 || rect.h <= 0)
		return;
	if (rect.x < 0 || rect.y < 0 || rect.x + rect.w > textureWidth || rect.y + rect.h > textureHeight) {
		if (problem.empty())
			problem = "a box face points outside the texture";
		return;
	}
	// The inset keeps filtering off a neighbour's texels; a rectangle that
	// spans the whole texture along an axis has no neighbour there, and on a
	// builder sized 1 x 1 (a face showing the whole of any texture) half a
	// "texel" would shrink the face to the one colour in the middle.
	const float insetU = rect.w < textureWidth ? kTexelInset : 0.0f;
	const float insetV = rect.h < textureHeight ? kTexelInset : 0.0f;
	const float u0 = (rect.x + insetU) / textureWidth;
	const float u1 = (rect.x + rect.w - insetU) / textureWidth;
	const float v0 = (rect.y + insetV) / textureHeight;
	const float v1 = (rect.y + rect.h - insetV) / textureHeight;
	const glm::vec2 uv[4] = {{u0, v1}, {u1, v1}, {u1, v0}, {u0, v0}};

	glm::vec3 normal = glm::cross(corners[1] - corners[0], corners[3] - corners[0]);
	if (glm::dot(normal, normal) < 1e-12f)
		normal = glm::cross(corners[2] - corners[1], corners[0] - corners[1]);
	normal = glm::normalize(normal);

	const uint32_t first = (uint32_t)vertices.size();
	for (int i = 0; i < 4; i++) {
		IqmVertex v;
		v.position = {corners[i].x, corners[i].y, corners[i].z};
		v.texCoord = {uv[i].x, uv[i].y};
		v.normal = {normal.x, normal.y, normal.z};
		Bind(&v, *rings[i]);
		vertices.push_back(v);
	}
	triangles.push_back({first, first + 1, first + 2});
	triangles.push_back({first, first + 2, first + 3});
}

void ModelBuilder::AddBox(const BoxShape &box)
{
	// Bottom ring b and top ring t, each starting at the front right (-X, -Y)
	// and going round through +X.
	const glm::vec3 b[4] = {
		box.bottom + glm::vec3(-box.bottomHalf.x, -box.bottomHalf.y, 0),
		box.bottom + glm::vec3(box.bottomHalf.x, -box.bottomHalf.y, 0),
		box.bottom + glm::vec3(box.bottomHalf.x, box.bottomHalf.y, 0),
		box.bottom + glm::vec3(-box.bottomHalf.x, box.bottomHalf.y, 0),
	};
	const glm::vec3 t[4] = {
		box.top + glm::vec3(-box.topHalf.x, -box.topHalf.y, 0),
		box.top + glm::vec3(box.topHalf.x, -box.topHalf.y, 0),
		box.top + glm::vec3(box.topHalf.x, box.topHalf.y, 0),
		box.top + glm::vec3(-box.topHalf.x, box.topHalf.y, 0),
	};
	const RingBinding *lo = &box.bottomRing, *hi = &box.topRing;
	for (const RingBinding *ring : {lo, hi})
		for (int joint : {ring->joint, ring->otherJoint})
			if (joint >= (int)joints.size() && problem.empty())
				problem = "a box is bound to a joint that is not there";

	const glm::vec3 front[4] = {b[0], b[1], t[1], t[0]};
	const glm::vec3 back[4] = {b[2], b[3], t[3], t[2]};
	const glm::vec3 left[4] = {b[1], b[2], t[2], t[1]};
	const glm::vec3 right[4] = {b[3], b[0], t[0], t[3]};
	const glm::vec3 top[4] = {t[0], t[1], t[2], t[3]};
	const glm::vec3 bottom[4] = {b[3], b[2], b[1], b[0]};
	const RingBinding *sides[4] = {lo, lo, hi, hi};
	const RingBinding *upper[4] = {hi, hi, hi, hi};
	const RingBinding *lower[4] = {lo, lo, lo, lo};
	AddFace(front, sides, box.skin.front);
	AddFace(back, sides, box.skin.back);
	AddFace(left, sides, box.skin.left);
	AddFace(right, sides, box.skin.right);
	AddFace(top, upper, box.skin.top);
	AddFace(bottom, lower, box.skin.bottom);
}

void ModelBuilder::AddAnimation(const std::string &name, uint32_t count, float frameRate, bool loop,
	const PoseFunction &poseAt)
{
	IqmAnimation anim;
	anim.name = name;
	anim.firstFrame = frameCount;
	anim.frameCount = count;
	anim.frameRate = frameRate;
	anim.loop = loop;
	animations.push_back(anim);

	const size_t jointCount = joints.size();
	std::vector<glm::quat> previous(jointCount, glm::quat(1, 0, 0, 0));
	for (uint32_t f = 0; f < count; f++) {
		// A loop's last frame leads back into its first, so its frames cover
		// [0, 1); a held animation ends exactly on its last pose.
		float time = 0.0f;
		if (loop)
			time = (float)f / (float)count;
		else if (count > 1)
			time = (float)f / (float)(count - 1);
		SkeletonPose pose;
		pose.rotation.assign(jointCount, glm::quat(1, 0, 0, 0));
		pose.offset.assign(jointCount, glm::vec3(0.0f));
		poseAt(time, &pose);
		for (size_t j = 0; j < jointCount; j++) {
			glm::quat q = glm::normalize(pose.rotation[j]);
			// Keep each joint on one side of the quaternion sphere from frame
			// to frame, so its channels span a small range and quantise finely.
			if (glm::dot(q, previous[j]) < 0.0f)
				q = -q;
			previous[j] = q;
			IqmTransform t;
			const std::array<float, 3> &bind = joints[j].bind.translate;
			t.translate = {bind[0] + pose.offset[j].x, bind[1] + pose.offset[j].y, bind[2] + pose.offset[j].z};
			t.rotate = {q.x, q.y, q.z, q.w};
			frames.push_back(t);
		}
	}
	frameCount += count;
}

bool ModelBuilder::Finish(const std::string &meshName, const std::string &material, IqmModel *out,
	std::string *error) const
{
	if (!problem.empty()) {
		if (error != nullptr)
			*error = problem;
		return false;
	}
	IqmModel model;
	if (!vertices.empty()) {
		IqmMesh mesh;
		mesh.name = meshName;
		mesh.material = material;
		mesh.vertexCount = (uint32_t)vertices.size();
		mesh.triangleCount = (uint32_t)triangles.size();
		model.meshes.push_back(mesh);
	}
	model.vertices = vertices;
	model.triangles = triangles;
	model.joints = joints;
	model.animations = animations;
	model.frameCount = frameCount;
	model.frames = frames;
	if (WriteIqm(model, error).empty())
		return false;
	*out = std::move(model);
	return true;
}
