#pragma once

#include <string>
#include <vector>

// A model that an entity shows once it has started: the model file, the file
// its animations come from (the model's own when they are the same), and the
// texture and shader it is drawn with. A map's entities name theirs before
// they start, so that the files can be read into the caches while the map's
// title shows, one look a frame, instead of all on the first frame of play.
struct EntityLook {
	std::string model;
	std::string animations;
	std::string texture; // empty: the model alone
	std::string shader;

	// Reads the model with its animations into the cache, as the entity's own
	// start would.
	void PrepareModel() const;
	// Reads the texture on the shader into the material cache.
	void PrepareMaterial() const;
	// Null for the default shader.
	const char *ShaderName() const;

	// Appends a look of a model that carries its own animations.
	static void Add(std::vector<EntityLook> &looks, const char *model, const char *texture, const char *shader);
	// Appends a look whose animations come from another file.
	static void AddAnimated(std::vector<EntityLook> &looks, const char *model, const char *animations,
		const char *texture, const char *shader);
};
