#include "JourneyLog.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr double kHitchFactor = 3.0; // a frame this many times the median one is a hitch a player feels
constexpr double kFrameMs = 1000.0 / 60.0; // the game's frame period
constexpr float kLoadShownMs = 0.1f; // loads shorter than this are left out of a frame's line

std::string Fixed(double value, int decimals)
{
	char text[32];
	snprintf(text, sizeof(text), "%.*f", decimals, value);
	return text;
}

} // namespace

uint16_t JourneyLog::Name(const std::string &text)
{
	for (size_t i = 0; i < names.size(); i++)
		if (names[i] == text)
			return static_cast<uint16_t>(i);
	names.push_back(text);
	return static_cast<uint16_t>(names.size() - 1);
}

FrameFigures JourneyLog::Figures(float JourneyFrame::*time) const
{
	FrameFigures figures;
	if (frames.empty())
		return figures;
	std::vector<float> times;
	times.reserve(frames.size());
	for (const JourneyFrame &frame : frames)
		times.push_back(frame.*time);
	std::sort(times.begin(), times.end());
	figures.medianMs = times[times.size() / 2];
	figures.p99Ms = times[std::min(times.size() - 1, times.size() * 99 / 100)];
	figures.worstMs = times.back();
	return figures;
}

FrameFigures JourneyLog::Wall() const { return Figures(&JourneyFrame::wallMs); }

FrameFigures JourneyLog::Cpu() const { return Figures(&JourneyFrame::cpuMs); }

std::vector<JourneyFrame> JourneyLog::Worst(size_t count) const
{
	std::vector<JourneyFrame> worst = frames;
	count = std::min(count, worst.size());
	std::partial_sort(worst.begin(), worst.begin() + static_cast<std::ptrdiff_t>(count), worst.end(),
		[](const JourneyFrame &a, const JourneyFrame &b) { return a.wallMs > b.wallMs; });
	worst.resize(count);
	return worst;
}

int JourneyLog::WorstLoadFrames() const
{
	int most = 0;
	for (const MapChange &change : changes)
		most = std::max(most, change.frames);
	return most;
}

bool JourneyLog::IsOver(const JourneyFrame &frame, double limitMs, double cpuLimitMs)
{
	return frame.wallMs > limitMs && frame.cpuMs > cpuLimitMs;
}

size_t JourneyLog::FramesOver(double limitMs, double cpuLimitMs) const
{
	return static_cast<size_t>(std::count_if(frames.begin(), frames.end(),
		[=](const JourneyFrame &frame) { return IsOver(frame, limitMs, cpuLimitMs); }));
}

std::string JourneyLog::LoadsText(const JourneyFrame &frame)
{
	std::string text;
	for (int kind = 0; kind < LoadClock::kKindCount; kind++) {
		if (frame.loadMs[kind] < kLoadShownMs)
			continue;
		text += text.empty() ? ", loading " : ", ";
		text += std::string(LoadClock::Name(static_cast<LoadClock::Kind>(kind))) + " " + Fixed(frame.loadMs[kind], 1) + " ms";
	}
	return text;
}

std::string JourneyLog::FrameText(const JourneyFrame &frame) const
{
	return "frame " + std::to_string(frame.number) + ": " + Fixed(frame.wallMs, 2) + " ms wall, " +
		Fixed(frame.cpuMs, 2) + " ms CPU, on " + NameOf(frame.map) + ", " +
		NameOf(frame.doing) + LoadsText(frame);
}

void JourneyLog::Print(std::ostream &out) const
{
	const FrameFigures wall = Wall();
	const FrameFigures cpu = Cpu();
	const double hitchMs = wall.medianMs * kHitchFactor;
	const double heavyCpuMs = cpu.medianMs * kHitchFactor;
	out << "[ journey  ] frames played: " << frames.size() << "\n";
	out << "[ journey  ] wall: median " << Fixed(wall.medianMs, 2) << " ms, 99th percentile " << Fixed(wall.p99Ms, 2)
		<< " ms, worst " << Fixed(wall.worstMs, 2) << " ms\n";
	out << "[ journey  ] main-thread CPU: median " << Fixed(cpu.medianMs, 2) << " ms, 99th percentile "
		<< Fixed(cpu.p99Ms, 2) << " ms, worst " << Fixed(cpu.worstMs, 2) << " ms\n";
	out << "[ journey  ] frames over " << Fixed(hitchMs, 2) << " ms (" << Fixed(kHitchFactor, 0)
		<< " times the median): " << FramesOver(hitchMs) << "; of them, over " << Fixed(heavyCpuMs, 2)
		<< " ms of main-thread CPU too (" << Fixed(kHitchFactor, 0) << " times its median): "
		<< FramesOver(hitchMs, heavyCpuMs) << "\n";
	out << "[ journey  ] the " << kWorstShown << " worst frames:\n";
	for (const JourneyFrame &frame : Worst(kWorstShown))
		out << "[ worst    ]   " << FrameText(frame) << "\n";
	out << "[ journey  ] the frames over " << Fixed(hitchMs, 2) << " ms and " << Fixed(heavyCpuMs, 2)
		<< " ms of main-thread CPU, in order:\n";
	size_t heavy = 0;
	for (const JourneyFrame &frame : frames)
		if (IsOver(frame, hitchMs, heavyCpuMs) && ++heavy <= kHeavyShown)
			out << "[ heavy    ]   " << FrameText(frame) << "\n";
	if (heavy > kHeavyShown)
		out << "[ heavy    ]   and " << heavy - kHeavyShown << " more\n";
	out << "[ journey  ] map changes: " << changes.size() << " (frames from leaving a map to the first frame the "
		<< "hero can move on the next; of them loading; their work in ms; the worst of them)\n";
	for (const MapChange &change : changes)
		out << "[ change   ]   " << change.from << " -> " << change.to << " at frame " << change.firstFrame << ": "
			<< change.frames << " frames (" << Fixed(change.frames * kFrameMs, 0) << " ms at 60 a second), "
			<< change.loadFrames << " loading, " << Fixed(change.wallMs, 1) << " ms of work, worst frame "
			<< Fixed(change.worstMs, 2) << " ms\n";
	out << "[ journey  ] the most frames a map change took: " << WorstLoadFrames() << "\n";
}
