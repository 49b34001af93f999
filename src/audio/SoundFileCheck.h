#pragma once
#include <cstddef>
#include <cstdint>

// Whether the bytes of an effect file are one of the game's two sound formats
// and whole enough to hand to the mixer's loader, which believes the lengths
// a WAV file declares and sets aside that much memory before reading: a file
// of a few hundred bytes may claim four gigabytes of samples. A WAV file must
// be a RIFF "WAVE" whose every chunk lies inside the file; an Ogg Vorbis file
// must begin with its page mark (its decoder reads page by page and bounds
// itself). On failure reason says what is wrong.
bool IsWholeSoundFile(const uint8_t *data, size_t size, const char **reason);
