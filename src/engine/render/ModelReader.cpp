#include "engine/render/ModelReader.h"

#include <cstring>
#include <functional>

#include "engine/core/NameHash.h"

const char *ModelJoint::GetName(char (&buffer)[kModelJointNameLength + 1]) const
{
	std::memcpy(buffer, name, kModelJointNameLength);
	buffer[kModelJointNameLength] = '\0';
	return buffer;
}

ModelAnimation *ModelReader::FindAnimation(const char *name)
{
	for (ModelAnimation &animation : animations) {
		// Copied so that the compare stops inside the record, whatever a
		// caller may have written into it.
		char text[kModelAnimationNameLength + 1];
		std::memcpy(text, animation.name, kModelAnimationNameLength);
		text[kModelAnimationNameLength] = '\0';
		if (NameEquals(text, name))
			return &animation;
	}
	return nullptr;
}

ModelJoint *ModelReader::FindJoint(const char *name)
{
	for (ModelJoint &joint : joints) {
		char text[kModelJointNameLength + 1];
		if (NameEquals(joint.GetName(text), name))
			return &joint;
	}
	return nullptr;
}

bool ModelReader::OwnsAnimation(const ModelAnimation *animation) const
{
	if (animation == nullptr || animations.empty())
		return false;
	// std::less gives a total order even for pointers into other arrays.
	std::less<const ModelAnimation *> before;
	const ModelAnimation *first = animations.data();
	const ModelAnimation *end = first + animations.size();
	return !before(animation, first) && before(animation, end);
}
