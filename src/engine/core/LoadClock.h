#pragma once
#include <cstdint>

// Where the time spent loading goes, summed by kind over the whole run: the
// window, shaders, fonts, textures, models, sounds, music and map files. A
// loader opens a LoadClock::Timing of its kind around its work; a timing
// opened inside another counts to the outer one (a model's textures are the
// model's load, a font's page the font's), so the kinds add up to the time
// spent loading. A timing costs two clock reads; it never
// changes what is loaded or when. Main thread only: the renderer's and the
// caches' loads all run there.
class LoadClock {
public:
	enum Kind : uint8_t {
		kWindow,
		kShaders,
		kFonts,
		kTextures,
		kModels,
		kSounds,
		kMusic,
		kMaps,
		kKindCount,
	};

	class Timing {
	public:
		explicit Timing(Kind kind);
		~Timing();
		Timing(const Timing &) = delete;
		Timing &operator=(const Timing &) = delete;

	private:
		Kind kind;
		bool outermost;
		uint64_t started; // nanoseconds of the steady clock
	};

	// Milliseconds spent loading the kind since the program started.
	static double Milliseconds(Kind kind);
	// "window", "shaders", ...
	static const char *Name(Kind kind);
};
