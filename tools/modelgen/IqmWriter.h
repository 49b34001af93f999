#pragma once
// The writing side of the game's model files: an IQM version 2 file (laid
// out as engine/render/IqmFormat.h says, shared with the game's reader) built
// from a plain description of a model. modelgen uses it for every model of the data tree, and tests use it
// to make small model and animation files of their own. The writer checks the
// description before it lays out a byte; it never touches the disk except in
// SaveIqm.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/render/IqmFormat.h"

// A joint's place relative to its parent joint (or to the model for a root).
struct IqmTransform {
	std::array<float, 3> translate = {0, 0, 0};
	std::array<float, 4> rotate = {0, 0, 0, 1}; // quaternion x, y, z, w
	std::array<float, 3> scale = {1, 1, 1};
};

struct IqmVertex {
	std::array<float, 3> position = {0, 0, 0};
	std::array<float, 2> texCoord = {0, 0}; // v = 0 is the top row of the texture
	std::array<float, 3> normal = {0, 0, 1};
	std::array<uint8_t, 4> blendIndexes = {0, 0, 0, 0};
	std::array<uint8_t, 4> blendWeights = {255, 0, 0, 0}; // must add up to 255
	std::array<uint8_t, 4> colour = {255, 255, 255, 255};
};

// A named run of vertices and triangles with the name of its material.
struct IqmMesh {
	std::string name;
	std::string material;
	uint32_t firstVertex = 0, vertexCount = 0;
	uint32_t firstTriangle = 0, triangleCount = 0;
};

struct IqmJoint {
	std::string name;
	int32_t parent = -1; // an earlier joint, or -1
	IqmTransform bind;
};

struct IqmAnimation {
	std::string name;
	uint32_t firstFrame = 0, frameCount = 0;
	float frameRate = 30.0f; // frames per second the animation is made for
	bool loop = false;
};

// A whole file. A file without vertices carries only a skeleton and
// animations; a file without animations carries a mesh (and its skeleton).
struct IqmModel {
	std::vector<IqmMesh> meshes;
	std::vector<IqmVertex> vertices;
	std::vector<std::array<uint32_t, 3>> triangles;
	bool withColours = false; // writes the colour array
	std::vector<IqmJoint> joints;
	std::vector<IqmAnimation> animations;
	uint32_t frameCount = 0;
	// frameCount × joints.size() local transforms, frame by frame, each joint
	// relative to its parent as in the bind pose. The writer quantises them
	// into the file's 16-bit channels.
	std::vector<IqmTransform> frames;
};

// Checks the description and lays out the file. Returns the file's bytes, or
// an empty vector with *error naming the first problem found.
std::vector<uint8_t> WriteIqm(const IqmModel &model, std::string *error);

// WriteIqm into path, through a temporary file beside it that replaces the
// old file only when complete. False with *error on any failure.
bool SaveIqm(const IqmModel &model, const std::string &path, std::string *error);

// Copies the header out of a file's bytes (little-endian fields). False when
// there are fewer bytes than a header.
bool DecodeIqmHeader(const std::vector<uint8_t> &bytes, IqmHeader *header);
