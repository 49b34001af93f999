#pragma once

#include <cstdint>

// The main thread's CPU time spent inside the GL draw calls, summed from the
// first Watch on. On a software rasteriser a draw call transforms, clips and
// sets up every triangle before it returns, so this is the driver's share of
// the drawing; the rest of a frame's CPU time is the game's own. Watch wraps
// the loader's draw entry points once the GL context is up; it is safe to call
// again.
void WatchDrawCalls();
// The calling thread's CPU time so far, in seconds.
double ThreadCpuSeconds();
double DrawCallSeconds();
uint64_t DrawCallCount();
