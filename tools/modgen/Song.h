#pragma once
// A song as written in a ".song" file of tools/modgen/songs: instruments per
// arrangement variant, named channels, reusable phrases, patterns made of
// tracks, and the order list grouped into cues. ReadSong parses and checks
// the whole file; nothing here knows the module format.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

constexpr int kNoteC5 = 60;        // module note number of c5 (523.25 Hz)
constexpr int kNoteCount = 120;    // notes c0..b9
constexpr int kMaxRows = 200;      // rows a module pattern may hold
constexpr int kMaxChannels = 64;
constexpr size_t kMaxOrders = 254;   // order positions, below the end marker
constexpr size_t kMaxPatterns = 200;

// One step of a phrase or track row.
struct Token {
	enum Kind : uint8_t { Empty, Note, Off, Cut, Drum };
	Kind kind = Empty;
	int note = 0;       // 0..119 for Note
	char drum = 0;      // kit letter for Drum
	int volume = -1;    // 0..64, -1 = the instrument's own
	int chord = -1;     // two semitone offsets as 0xXY above the note, -1 none
};

struct InstrumentVariant {
	std::string wave;
	int volume = 48;            // default note volume, 0..64
	bool envelope = false;
	int attack = 0, decay = 1;  // envelope ticks
	int sustain = 64;           // envelope level held while the note is on; 0 = percussive
	int release = 1;            // envelope ticks after note-off
	int fadeout = 128;          // module fade-out speed after note-off, 0..256
	int nna = 0;                // new-note action: 0 cut, 1 continue, 2 note-off, 3 fade
	bool arp = false;           // plays chords as an arpeggio on one channel
};

struct Instrument {
	std::string name;
	std::map<std::string, InstrumentVariant> variants; // by variant name
};

struct KitEntry {
	std::string instrument;
	int note = kNoteC5;
};

struct Channel {
	std::string name;
	int pan = 32;     // 0 left .. 64 right
	int volume = 64;
	int voices = 1;   // module channels it spans, for chords spread across voices
};

struct Phrase {
	std::string name;
	int step = 1;                // rows per token
	std::vector<Token> tokens;
};

struct Track {
	int line = 0;
	int channel = 0;             // index into Song::channels
	std::string source;          // instrument or kit name
	std::string only;            // variant it plays in; empty = all
	std::vector<Token> rows;     // one per pattern row
};

struct Pattern {
	std::string name;
	int rows = 64;
	int tempo = 0;               // set at the first row; 0 = leave as is
	std::vector<Track> tracks;
};

struct Cue {
	std::string name;
	int first = 0, last = 0;     // order positions, inclusive
	int loop = 0;                // order position the cue returns to
};

struct Output {
	std::string variant;
	int bits = 16;
	std::string path;
	int globalVolume = -1; // 0..128; -1 = the song's
};

struct Song {
	std::string file;
	std::string title;
	int tempo = 125;
	int speed = 6;
	int mixVolume = 48;
	int globalVolume = 128;
	std::vector<Output> outputs;
	std::vector<Channel> channels;
	std::vector<Instrument> instruments;
	std::map<std::string, std::map<char, KitEntry>> kits;
	std::map<std::string, Phrase> phrases;
	std::vector<Pattern> patterns;
	std::vector<int> orders;     // pattern indexes
	std::vector<Cue> cues;
};

// Reads and checks a song file; on failure prints "file:line: reason" to
// stderr and returns false.
bool ReadSong(const std::string &path, Song *song);

// Parses one token ("c#4", "a3j37v40", "k", "hv20", ".", "^", "!").
bool ParseToken(const std::string &text, Token *out);
