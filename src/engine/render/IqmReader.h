#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <glm/glm.hpp>

#include "engine/render/Matrix3x4.h"
#include "engine/render/ModelReader.h"
#include "engine/render/SkeletalPose.h"

// The model reader for IQM version 2 files, the engine's only model format:
// model files with a mesh and skeleton (and often their animations), and
// files that carry only animations for a model read before. Skinning is done
// on the CPU: the whole file stays in memory, one matrix per joint and frame
// is computed at load time, and every BuildMesh has a skeletal pose blend
// those matrices and transforms each vertex by it. A file is checked completely (sizes, offsets,
// counts, indexes, parents, frame ranges) before anything of it is used, so a
// refused file leaves the reader exactly as it was. IQM space is Z up; the
// reader hands out Y-up engine coordinates, (x, y, z) becoming (x, z, -y).
class IqmReader : public ModelReader {
public:
	IqmReader() = default;
	~IqmReader() override = default;

	// Reads a model file: its mesh and skeleton, then any animations in it.
	// Fails when a model was read before.
	bool Load(const char *path) override;
	// Reads a further file for its animations only, replacing those read
	// before (animation records already listed keep their loop flags). The
	// file's poses must match the model's joints.
	bool LoadAnimations(const char *path);
	void BuildMesh(Mesh *mesh, const float *time, const ModelAnimation *current, const ModelAnimation *previous,
		float blend) override;
	void PoseJoints(const float *time, const ModelAnimation *current, const ModelAnimation *previous,
		float blend) override;
	void BuildMeshKeepingJoints(Mesh *mesh, const float *time, const ModelAnimation *current,
		const ModelAnimation *previous, float blend) override;
	uint16_t GetAnimationFrameCount() const override { return (uint16_t)frameCount; }
	bool GetPoseBounds(glm::vec3 &low, glm::vec3 &high) override;

	uint32_t GetVertexCount() const { return model.vertexCount; }
	uint32_t GetJointCount() const { return model.jointCount; }
	uint32_t GetTriangleCount() const { return model.triangleCount; }

private:
	using Buffer = std::shared_ptr<const std::vector<uint8_t>>;

	// A model file's mesh and skeleton, checked and ready to use.
	struct ModelPart {
		Buffer data; // the whole file; the pointers below point into it
		// Vertex arrays, null when the file has none. Only positions, texture
		// coordinates, normals and the blend arrays are used; tangents and
		// colours are recorded as the file gives them.
		const uint8_t *positions = nullptr;	   // 3 f32 per vertex
		const uint8_t *normals = nullptr;	   // 3 f32
		const uint8_t *tangents = nullptr;	   // 4 f32
		const uint8_t *texCoords = nullptr;	   // 2 f32
		const uint8_t *blendIndexes = nullptr; // 4 u8
		const uint8_t *blendWeights = nullptr; // 4 u8
		const uint8_t *colours = nullptr;	   // 4 u8
		const uint8_t *triangles = nullptr;	   // 3 u32 vertex indexes each
		uint32_t meshCount = 0;
		uint32_t triangleCount = 0;
		uint32_t vertexCount = 0;
		uint32_t jointCount = 0;
		// Per joint, in file order.
		std::vector<int32_t> jointParents; // an earlier joint, or -1
		std::vector<glm::vec3> jointTranslates;
		std::vector<Matrix3x4> bindPose;
		std::vector<Matrix3x4> inverseBindPose;
	};

	// The animations of a model or animation file, checked and ready to use.
	struct AnimationPart {
		Buffer data;
		uint32_t frameCount = 0;
		uint32_t animationCount = 0;
		std::vector<Matrix3x4> frameMatrices; // frameCount x joints, frame by frame
		std::vector<ModelAnimation> animations;
		std::vector<ModelJoint> joints; // names only
	};

	struct FileImage;
	static bool ReadFile(const char *path, bool animationsOnly, FileImage *file);
	static bool CheckMesh(const FileImage &file, ModelPart *part);
	static bool CheckAnimations(const FileImage &file, const ModelPart &model, AnimationPart *part);

	// Blends the frame matrices of the clock t (in frames) into the current
	// pose of every joint and updates the joint records.
	void AnimateJoints(float t, const ModelAnimation *current, const ModelAnimation *previous, float blend);
	void UpdateJointRecord(uint32_t joint);
	void CopyBindPose(Mesh *mesh) const;
	// True when the mesh is posed from here on (the model has frames).
	bool PrepareMesh(Mesh *mesh) const;
	// The frame time of the clock, or 0 when it is not a number.
	static float FrameTime(const float *time);
	void SkinVertices(Mesh *mesh, const SkeletalPose &skeleton) const;
	// Skins every vertex on the skeleton and hands emit its index and engine
	// position, and its engine normal when kNormals is set.
	template <bool kNormals, typename Emit>
	void SkinEach(const SkeletalPose &skeleton, Emit &&emit) const;
	void MeasurePoseBounds();
	void TakeAnimations(AnimationPart &part);

	ModelPart model;
	// Shares the model's buffer when the model file carried the animations.
	Buffer animationData;
	uint32_t frameCount = 0;
	uint32_t animationCount = 0;
	std::vector<Matrix3x4> frameMatrices; // frameCount x joints, frame by frame
	SkeletalPose pose; // the joints of the last animated pose
	SkeletalPose skinOnlyPose; // BuildMeshKeepingJoints' own skeleton
	// The box of GetPoseBounds, measured on first request after each read.
	bool poseBoundsMeasured = false;
	glm::vec3 poseLow = glm::vec3(0.0f);
	glm::vec3 poseHigh = glm::vec3(-1.0f);
};
