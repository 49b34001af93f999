#pragma once
// A resonant state-variable filter for the sound tools, in its trapezoidal
// form, so that cutoffs swept up to near Nyquist never blow up. One step gives
// the low-, band- and high-pass outputs at once; the caller picks or mixes.
// The cutoff is held below 45 % of the sample rate, where the form stays sane.
#include <algorithm>
#include <cmath>

class StateVariableFilter {
public:
	struct Bands {
		float low, band, high;
	};

	// cutoff and rate in Hz; q is the resonance (0.7 is nearly flat).
	Bands Run(float x, float cutoff, float q, float rate)
	{
		float g = std::tan(kPi * std::min(cutoff, rate * kMaxCutoffOfRate) / rate);
		float k = 1.0f / q;
		float a1 = 1.0f / (1.0f + g * (g + k));
		float a2 = g * a1, a3 = g * a2;
		float v3 = x - ic2;
		float v1 = a1 * ic1 + a2 * v3;
		float v2 = ic2 + a2 * ic1 + a3 * v3;
		ic1 = 2 * v1 - ic1;
		ic2 = 2 * v2 - ic2;
		return {v2, v1, x - k * v1 - v2};
	}

private:
	static constexpr float kPi = (float)3.141592653589793;
	static constexpr float kMaxCutoffOfRate = 0.45f;
	float ic1 = 0, ic2 = 0;
};
