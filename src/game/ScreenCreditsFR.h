#pragma once

#include "game/ScreenCredits.h"

// The secret ending's credits, in French, from "data/creditsfr.txt"; when
// they end the save is moved back home first.
class ScreenCreditsFR : public ScreenCredits {
public:
	const char *GetFileName() const override { return "data/creditsfr.txt"; }
	void Finish() override;
};
