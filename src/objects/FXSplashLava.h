#pragma once

#include "objects/FXSplash.h"

// The ring of a fall into lava: the water's ring in the lava's colours.
class FXSplashLava : public FXSplash {
public:
	FXSplashLava() : FXSplash("mats/wavelava.png") {}
};
