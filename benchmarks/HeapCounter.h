#pragma once

#include <cstdint>

// Every operator new of the benchmark program counts here (the program
// replaces the global allocation functions), so a benchmark can report how
// many heap allocations one frame makes. Allocations made by C code, such as
// the GL driver's own mallocs, are not counted.
uint64_t HeapAllocations();
