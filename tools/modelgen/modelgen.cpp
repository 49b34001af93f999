// modelgen: writes the game's IQM models from the descriptions in models/,
// so that every model in the data tree is made from source kept in the
// repository.
//
// Usage: modelgen <output folder>
// Each model is written to <output folder>/<its path>; the folders on the way
// are made. Exits non-zero when any model fails, naming it.
#include "models/Models.h"

#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char **argv)
{
	if (argc != 2) {
		std::fprintf(stderr, "usage: modelgen <output folder>\n");
		return 2;
	}
	const std::filesystem::path root = argv[1];
	int failures = 0;
	for (const ModelRecipe &recipe : kModelRecipes) {
		IqmModel model;
		std::string error;
		const std::filesystem::path path = root / recipe.path;
		std::error_code ignored;
		std::filesystem::create_directories(path.parent_path(), ignored);
		if (!recipe.build(&model, &error) || !SaveIqm(model, path.string(), &error)) {
			std::fprintf(stderr, "modelgen: %s: %s\n", recipe.path, error.c_str());
			failures++;
			continue;
		}
		std::printf("modelgen: %s: %zu vertices, %zu triangles, %zu joints, %zu animations, %u frames\n",
			recipe.path, model.vertices.size(), model.triangles.size(), model.joints.size(),
			model.animations.size(), model.frameCount);
	}
	return failures == 0 ? 0 : 1;
}
