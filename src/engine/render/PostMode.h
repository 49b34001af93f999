#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace tinyxml2 {
class XMLDocument;
}

// Where each post uniform's location sits in PostMode::uniforms.
enum PostUniform : uint8_t {
	kPostSampler,
	kPostDepth,
	kPostSamplerUI,
	kPostResolution,
	kPostWindow,
	kPostMode,
	kPostTime,
	kPostFadeAngle,
	kPostFadeAmount,
	kPostContrast,
	kPostSaturation,
	kPostUniformCount
};

// Turns a shader name from "post.xml" into the GL program of its first pass;
// 0 when the shader could not be built.
using PostProgramLoader = std::function<uint32_t(const char *shaderName)>;

// One post-processing mode read from "post.xml": the program that composes
// the scene and interface layers into the window, an optional resolution of
// its own, and whether the 3D view turns orthographic and whether the options
// screen offers it. The post pass owns the table of modes; a record never owns
// its program, which lives in the shader table.
class PostMode {
public:
	static constexpr uint32_t kNameSize = 256; // bytes, terminator included

	PostMode();

	// Keeps at most kNameSize - 1 characters; null gives an empty name.
	void SetName(const char *text);
	// Looks the eleven post uniforms up on the program; every location the
	// program lacks (or every one, without a program) is -1. Needs the GL
	// context that built the program.
	void CacheUniforms();

	// Reads the mode elements of a parsed "post.xml" into table, in document
	// order, building each program through loader. A mode whose program is 0
	// is overwritten by the next element, so only the last record can lack a
	// program. Returns false, with the log line naming the reason, when the
	// document had a parse error or holds no "mode"; nothing is appended then.
	static bool ReadTable(const tinyxml2::XMLDocument &document, std::vector<PostMode> &table,
		const PostProgramLoader &loader);

	char name[kNameSize];
	uint32_t program = 0;	 // GL program, 0 = none
	uint16_t width = 0;		 // the mode's own resolution; 0 = none
	uint16_t height = 0;
	uint8_t upscale = 1;
	bool ortho = false;		 // the 3D view uses the fixed orthographic projection
	bool selectable = false; // the options screen may offer it
	int32_t uniforms[kPostUniformCount];
};

// The uniform names, indexed by PostUniform.
extern const char *const kPostUniformNames[kPostUniformCount];
