#pragma once
// Every model modelgen writes: a path in the data tree and the function that
// describes it. A function returns false with *error when its description
// does not make a valid model.
#include "../IqmWriter.h"

#include <string>

bool BuildBlacksmith(IqmModel *out, std::string *error);
bool BuildBlacksmith2(IqmModel *out, std::string *error);
bool BuildBlacksmithDress(IqmModel *out, std::string *error);
bool BuildChook(IqmModel *out, std::string *error);
bool BuildShadow(IqmModel *out, std::string *error);
bool BuildShadowSquare(IqmModel *out, std::string *error);
bool BuildFireball(IqmModel *out, std::string *error);
bool BuildElectric(IqmModel *out, std::string *error);
bool BuildChicken(IqmModel *out, std::string *error);
bool BuildHeart(IqmModel *out, std::string *error);
bool BuildSplashWave(IqmModel *out, std::string *error);

struct ModelRecipe {
	const char *path;
	bool (*build)(IqmModel *out, std::string *error);
};

constexpr ModelRecipe kModelRecipes[] = {
	{"models/blacksmith.iqm", BuildBlacksmith},
	{"models/blacksmith2.iqm", BuildBlacksmith2},
	{"models/blacksmithdress.iqm", BuildBlacksmithDress},
	{"models/chook.iqm", BuildChook},
	{"models/shadow.iqm", BuildShadow},
	{"models/shadow-sq.iqm", BuildShadowSquare},
	{"models/fireball.iqm", BuildFireball},
	{"models/electric.iqm", BuildElectric},
	{"models/chicken.iqm", BuildChicken},
	{"models/heart.iqm", BuildHeart},
	{"models/splashwave.iqm", BuildSplashWave},
};
