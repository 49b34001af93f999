#pragma once
// The segment of the journey through the black woods and the tower.
#include "support/GameSceneTestWorld.h"

#include <string>

// Plays from the arrival in Blacktotown (a sword in hand) to the fall of the
// tower's lord; false, with what went wrong, when a step fails.
bool RouteBlackTower(GameSceneTestWorld &world, std::string &failure);
