#include "engine/render/PostMode.h"

#include "engine/core/Log.h"

#include <glad/gl.h>
#include <tinyxml2.h>

#include <cstring>

const char *const kPostUniformNames[kPostUniformCount] = {
	"SAMPLER",
	"DEPTH",
	"SAMPLER_UI",
	"RESOLUTION",
	"WINDOW",
	"MODE",
	"TIME",
	"FADE_ANGLE",
	"FADE_AMOUNT",
	"CONTRAST",
	"SATURATION",
};

namespace {

constexpr int kMaxResolution = 65535; // pixels; larger or negative sizes mean "none"

// An integer attribute, or fallback when it is missing or not a number.
int ReadInt(const tinyxml2::XMLElement *element, const char *attribute, int fallback)
{
	int value = fallback;
	element->QueryIntAttribute(attribute, &value);
	return value;
}

// A resolution outside what a u16 holds would wrap into a nonsense size, so it
// counts as no resolution of the mode's own.
uint16_t ReadResolution(const tinyxml2::XMLElement *element, const char *attribute)
{
	int value = ReadInt(element, attribute, 0);
	if (value < 0 || value > kMaxResolution)
		return 0;
	return (uint16_t)value;
}

}

PostMode::PostMode()
{
	name[0] = '\0';
	for (int32_t &location : uniforms)
		location = -1;
}

void PostMode::SetName(const char *text)
{
	if (text == nullptr)
		text = "";
	size_t length = strnlen(text, kNameSize - 1);
	memcpy(name, text, length);
	name[length] = '\0';
}

void PostMode::CacheUniforms()
{
	for (int i = 0; i < kPostUniformCount; i++)
		uniforms[i] = program != 0 ? glGetUniformLocation(program, kPostUniformNames[i]) : -1;
}

bool PostMode::ReadTable(const tinyxml2::XMLDocument &document, std::vector<PostMode> &table,
	const PostProgramLoader &loader)
{
	bool failed = false;
	if (document.Error()) {
		Log("Couldn't load post XML\n");
		failed = true;
	}
	const tinyxml2::XMLElement *root = document.FirstChildElement();
	const tinyxml2::XMLElement *first = root != nullptr ? root->FirstChildElement("mode") : nullptr;
	if (first == nullptr) {
		Log("Couldn't find post mode\n");
		failed = true;
	}
	if (failed)
		return false;

	// A mode whose program did not build leaves its record to the next
	// element, so the table never holds a program-less mode in its middle.
	bool reuseLast = false;
	for (const tinyxml2::XMLElement *element = first; element != nullptr; element = element->NextSiblingElement()) {
		if (reuseLast)
			table.back() = PostMode();
		else
			table.emplace_back();
		PostMode &mode = table.back();
		mode.SetName(element->Attribute("name"));
		mode.width = ReadResolution(element, "width");
		mode.height = ReadResolution(element, "height");
		mode.upscale = (uint8_t)ReadInt(element, "upscale", 1);
		mode.ortho = ReadInt(element, "ortho", 0) == 1;
		mode.selectable = ReadInt(element, "selectable", 1) == 1;
		mode.program = 0;
		const char *programName = element->Attribute("program");
		if (programName != nullptr && loader)
			mode.program = loader(programName);
		reuseLast = mode.program == 0;
	}
	return true;
}
