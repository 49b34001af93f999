#include "objects/PlayerDeath.h"

#include "audio/ModMusicPlayer.h"
#include "audio/Sound.h"
#include "engine/core/Log.h"
#include "engine/render/Renderer.h"
#include "map/TileMap.h"
#include "objects/GameLink.h"
#include "objects/Player.h"
#include "objects/PlayerTuning.h"

using namespace PlayerTuning;

void PlayerDeath::Fall(Player &player)
{
	// A hero already dying lies on the water floor, where every frame would
	// kill it again and put its death off for ever.
	if (!player.HasHearts() || player.deathTimer > 0.0f)
		return;
	uint8_t damage = player.surfaceLevel == kWaterLevel && player.IsOnLava() ? kLavaFallDamage : kFallDamage;
	if (player.stats.hearts <= damage + 1) {
		player.stats.hearts = 0;
		player.SetVisible(false);
		player.BeginDeath();
		return;
	}
	player.stats.hearts = static_cast<uint8_t>(player.stats.hearts - damage);
	if (GetRenderer() != nullptr)
		GetRenderer()->BlankFor(kFallBlankMs);
	PutBackOnSafeGround(player);
}

void PlayerDeath::PutBackOnSafeGround(Player &player)
{
	const PlayerTile &safeTile = player.safeGround.Tile();
	if (!safeTile.IsSet() || player.map == nullptr) {
		player.UpdateTransform();
		return;
	}
	player.MapEntity::ResetState();
	player.transform.position = player.map->TilePosition(safeTile.x, safeTile.y, 0.5f, 0.5f);
	player.safeGround.Return();
	player.splashed = 0;
	player.MakeSolid();
	player.SetVisible(true);
}

void PlayerDeath::Begin(Player &player)
{
	player.useTarget = nullptr;
	player.deathTimer = player.deathDelay;
	player.PlayEffect("sfx/dead.ogg", 0.5f, Sound::kPlayOnReservedChannel);
	if (ModMusicPlayer *music = ModMusicPlayer::Instance()) {
		music->EndOverlayCue();
		music->Stop();
	}
	if (GetRenderer() != nullptr)
		GetRenderer()->SetOverlayMode(1);
}

void PlayerDeath::End()
{
	GameLink &game = GameLink::Get();
	uint32_t playTimeMs = game.PlayTimeMs();
	// Only a slot read back whole may take the death: saving the live game
	// over a slot that could not be read would replace that save with
	// whatever the live game holds.
	if (game.LoadCurrentSlot()) {
		game.AddDeath();
		game.SetPlaySeconds(playTimeMs / 1000);
		game.SaveCurrentSlot();
	} else {
		Log("The death was not saved: the save slot could not be read back.\n");
	}
	game.ShowDied();
}
