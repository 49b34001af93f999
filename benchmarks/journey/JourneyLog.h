#pragma once
// The frames of one journey and its map changes, as the journey benchmark
// writes them down, and the figures it reports of them: frame counts, the
// median, 99th percentile and worst frame (wall and CPU), the ten worst
// frames with their map and what the game was doing, and every map change.
// Labels and map names are kept once each and referred to by number, so a
// journey of a hundred thousand frames stays small.
#include "engine/core/LoadClock.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

struct JourneyFrame {
	uint64_t number = 0; // frames played before it
	float wallMs = 0.0f;
	float cpuMs = 0.0f; // the main thread's
	uint16_t map = 0;   // JourneyLog::Name
	uint16_t doing = 0; // JourneyLog::Name
	float loadMs[LoadClock::kKindCount] = {}; // what the frame spent loading, by kind
};

struct MapChange {
	std::string from;
	std::string to;
	uint64_t firstFrame = 0;
	int frames = 0;     // from the frame the old map is left to the first the hero can move
	int loadFrames = 0; // of them, frames the map spent loading
	double wallMs = 0.0; // the wall time of those frames together
	float worstMs = 0.0f;
};

// The percentiles of a set of frame times.
struct FrameFigures {
	double medianMs = 0.0;
	double p99Ms = 0.0;
	double worstMs = 0.0;
};

class JourneyLog {
public:
	static constexpr size_t kWorstShown = 10;
	static constexpr size_t kHeavyShown = 60; // frames over the bound by their own work, listed one by one

	// The number of a name, added on first use.
	uint16_t Name(const std::string &text);
	const std::string &NameOf(uint16_t number) const { return names[number]; }

	void AddFrame(const JourneyFrame &frame) { frames.push_back(frame); }
	void AddMapChange(const MapChange &change) { changes.push_back(change); }
	const std::vector<JourneyFrame> &Frames() const { return frames; }
	const std::vector<MapChange> &MapChanges() const { return changes; }

	FrameFigures Wall() const;
	FrameFigures Cpu() const;
	// The slowest frames by wall time, slowest first.
	std::vector<JourneyFrame> Worst(size_t count) const;
	// The most frames one map change took; 0 without map changes.
	int WorstLoadFrames() const;
	// Frames above limitMs of wall time and, where cpuLimitMs is given, above
	// it of main-thread CPU time too.
	size_t FramesOver(double limitMs, double cpuLimitMs = -1.0) const;

	// The whole report, as the benchmark prints it.
	void Print(std::ostream &out) const;

private:
	// Above limitMs of wall time and cpuLimitMs of main-thread CPU time.
	static bool IsOver(const JourneyFrame &frame, double limitMs, double cpuLimitMs);
	// "frame 12: 3.10 ms wall, 1.00 ms CPU, on home, walking".
	std::string FrameText(const JourneyFrame &frame) const;
	// ", loading models 12.3 ms, textures 1.1 ms"; empty without loads.
	static std::string LoadsText(const JourneyFrame &frame);
	// The figures of one of each frame's times.
	FrameFigures Figures(float JourneyFrame::*time) const;

	std::vector<std::string> names;
	std::vector<JourneyFrame> frames;
	std::vector<MapChange> changes;
};
