#include "engine/core/LoadClock.h"

#include <chrono>

namespace {

uint64_t g_spent[LoadClock::kKindCount] = {}; // nanoseconds
int g_open = 0; // timings open now

constexpr const char *kKindNames[LoadClock::kKindCount] = {
	"window", "shaders", "fonts", "textures", "models", "sounds", "music", "map files",
};

uint64_t Now()
{
	return static_cast<uint64_t>(
		std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count());
}

} // namespace

LoadClock::Timing::Timing(Kind kind)
	: kind(kind), outermost(g_open == 0), started(outermost ? Now() : 0)
{
	g_open++;
}

LoadClock::Timing::~Timing()
{
	g_open--;
	if (outermost)
		g_spent[kind] += Now() - started;
}

double LoadClock::Milliseconds(Kind kind)
{
	return kind < kKindCount ? static_cast<double>(g_spent[kind]) * 1e-6 : 0.0;
}

const char *LoadClock::Name(Kind kind)
{
	return kind < kKindCount ? kKindNames[kind] : "";
}
