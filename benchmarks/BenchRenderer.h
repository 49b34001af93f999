#pragma once

class Renderer;

// The one renderer every benchmark of the run draws with, started on first
// use on SDL's offscreen driver (message boxes answered at once); null when
// the machine cannot make a GL 3.3 core context. One renderer for the whole
// run, so that benchmarks measured one after another share the same GL
// context and targets.
Renderer *BenchRenderer();
