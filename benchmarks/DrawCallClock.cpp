#include "DrawCallClock.h"

#include <glad/gl.h>

#include <ctime>

namespace {

double seconds = 0.0;
uint64_t calls = 0;
PFNGLDRAWELEMENTSPROC drawElements = nullptr;
PFNGLDRAWARRAYSPROC drawArrays = nullptr;
PFNGLDRAWARRAYSINSTANCEDPROC drawArraysInstanced = nullptr;

template <typename Call> void Timed(Call call)
{
	const double start = ThreadCpuSeconds();
	call();
	seconds += ThreadCpuSeconds() - start;
	calls++;
}

void GLAD_API_PTR DrawElements(GLenum mode, GLsizei count, GLenum type, const void *indices)
{
	Timed([&] { drawElements(mode, count, type, indices); });
}

void GLAD_API_PTR DrawArrays(GLenum mode, GLint first, GLsizei count)
{
	Timed([&] { drawArrays(mode, first, count); });
}

void GLAD_API_PTR DrawArraysInstanced(GLenum mode, GLint first, GLsizei count, GLsizei instances)
{
	Timed([&] { drawArraysInstanced(mode, first, count, instances); });
}

} // namespace

double ThreadCpuSeconds()
{
	timespec now{};
	clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
	return (double)now.tv_sec + (double)now.tv_nsec * 1e-9;
}

void WatchDrawCalls()
{
	if (glad_glDrawElements == nullptr || glad_glDrawElements == DrawElements)
		return;
	drawElements = glad_glDrawElements;
	drawArrays = glad_glDrawArrays;
	drawArraysInstanced = glad_glDrawArraysInstanced;
	glad_glDrawElements = DrawElements;
	glad_glDrawArrays = DrawArrays;
	glad_glDrawArraysInstanced = DrawArraysInstanced;
}

double DrawCallSeconds()
{
	return seconds;
}

uint64_t DrawCallCount()
{
	return calls;
}
