#include "audio/ModMusicPlayer.h"

static ModMusicPlayer *currentPlayer = nullptr;

ModMusicPlayer::ModMusicPlayer()
{
	currentPlayer = this;
}

ModMusicPlayer::~ModMusicPlayer()
{
	if (currentPlayer == this)
		currentPlayer = nullptr;
}

ModMusicPlayer *ModMusicPlayer::Instance()
{
	return currentPlayer;
}

void ModMusicPlayer::MakeCurrent(ModMusicPlayer *player)
{
	currentPlayer = player;
}

void ModMusicPlayer::SetMuted(bool mute)
{
	muted = mute ? 1 : 0;
}
