#include "audio/MusicPlayer.h"

MusicPlayer *MusicPlayer::Instance()
{
	static MusicPlayer player;
	MakeCurrent(&player);
	return &player;
}

void MusicPlayer::LoadCues(const char *fileName)
{
	cueListName = fileName != nullptr ? fileName : "";
}
