// sfxgen: synthesises the game's sound effects from a recipe file, so that
// every effect in the data tree is made from text kept in the repository.
//
// Usage: sfxgen <output folder> <recipe file>
//
// A recipe starts with a "sound" line and is followed by one line per layer;
// the layers are mixed, normalised to a peak level and written as 16-bit mono
// PCM WAV, or as Ogg Vorbis when the name ends in ".ogg".
//
//   sound <path> key=value ...
//     count=N      makes N variants; the path holds one %d (numbered from 1)
//     spread=F     pitch step between variants (0.06 = 6 %); each also gets
//                  its own noise seed
//     seed=N       noise seed (default 1)
//     rate=HZ      22050 or 44100 (default 44100)
//     peak=F       peak level after normalising, 0..1 (default 0.89)
//     echo=S:F     one feedback delay line: delay in seconds, feedback 0..1
//     tail=S       seconds of silence room after the last layer (default 0.02)
//
//   <wave> key=value ...      wave: sine square saw triangle noise rumble
//     at=S dur=S   start and length in seconds
//     amp=F        level before normalising (default 1)
//     freq=A>B     pitch in Hz, swept exponentially from A to B over dur
//     notes=n,n    note names (c5, f#4, ...) played one after another, each
//                  for dur seconds, starting step=S apart; replaces freq
//     attack=S     linear rise; decay=S exponential fall time constant
//                  (0 = none); every layer also fades out over its last 4 ms
//     duty=F       pulse width of square (default 0.5)
//     vib=R:D      vibrato rate in Hz and depth in semitones
//     lp=A>B hp=A>B bp=A>B   state-variable filter, cutoff swept A to B Hz
//     q=F          filter resonance (default 0.7)
//
// Blank lines and lines starting with '#' are skipped.
#include "common/AtomicFile.h"
#include "common/StateVariableFilter.h"
#include "common/XorshiftNoise.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr float kEdgeFade = 0.004f;      // seconds every layer fades out at its end, against clicks
constexpr float kDefaultPeak = 0.89f;    // peak level of a finished sound, below full scale
constexpr float kVorbisQuality = 0.5f;   // libvorbis VBR quality, -0.1..1
constexpr int kMaxVariants = 16;
constexpr float kMaxSeconds = 20.0f;     // longest sound a recipe may ask for
constexpr uint32_t kNoiseStream = 0x6d2b79f5u; // picks sfxgen's noise sequences; changing it changes every sound

struct Layer {
	int line = 0;
	std::string wave;
	float at = 0, dur = 0.1f, amp = 1;
	float freq0 = 440, freq1 = 440;
	std::vector<float> notes;
	float step = 0.1f;
	float attack = 0.001f, decay = 0;
	float duty = 0.5f;
	float vibRate = 0, vibDepth = 0;
	std::string filter;   // "", "lp", "hp", "bp"
	float cut0 = 0, cut1 = 0, q = 0.7f;
};

struct Recipe {
	int line = 0;
	std::string path;
	int count = 0;        // 0: a single sound without a number
	float spread = 0.06f;
	uint32_t seed = 1;
	int rate = 44100;
	float peak = kDefaultPeak;
	float echoDelay = 0, echoFeedback = 0;
	float tail = 0.02f;
	std::vector<Layer> layers;
};

bool ParseFloat(const std::string &text, float *out)
{
	if (text.empty())
		return false;
	char *end = nullptr;
	*out = std::strtof(text.c_str(), &end);
	return *end == '\0' && std::isfinite(*out);
}

// "A" or "A>B": a value, or a sweep from A to B.
bool ParseSweep(const std::string &text, float *from, float *to)
{
	size_t arrow = text.find('>');
	if (arrow == std::string::npos) {
		if (!ParseFloat(text, from))
			return false;
		*to = *from;
		return true;
	}
	return ParseFloat(text.substr(0, arrow), from) && ParseFloat(text.substr(arrow + 1), to);
}

// "A:B": two values.
bool ParsePair(const std::string &text, float *a, float *b)
{
	size_t colon = text.find(':');
	return colon != std::string::npos && ParseFloat(text.substr(0, colon), a) &&
	       ParseFloat(text.substr(colon + 1), b);
}

// Note names as musicians write them: "c5", "f#4", "bb3"; a4 is 440 Hz.
bool ParseNote(const std::string &text, float *hz)
{
	static const int kSemitone[7] = {9, 11, 0, 2, 4, 5, 7}; // a b c d e f g
	if (text.size() < 2 || text[0] < 'a' || text[0] > 'g')
		return false;
	int semitone = kSemitone[text[0] - 'a'];
	size_t i = 1;
	if (text[i] == '#') {
		semitone++;
		i++;
	} else if (text[i] == 'b' && i + 1 < text.size()) {
		semitone--;
		i++;
	}
	if (i + 1 != text.size() || text[i] < '0' || text[i] > '9')
		return false;
	int midi = (text[i] - '0' + 1) * 12 + semitone;
	*hz = 440.0f * std::pow(2.0f, (midi - 69) / 12.0f);
	return true;
}

bool Fail(int line, const std::string &what)
{
	std::fprintf(stderr, "sfxgen: line %d: %s\n", line, what.c_str());
	return false;
}

bool ParseLayer(std::stringstream &words, Layer *layer)
{
	static const char *kWaves[] = {"sine", "square", "saw", "triangle", "noise", "rumble"};
	if (std::find_if(std::begin(kWaves), std::end(kWaves),
	                 [&](const char *w) { return layer->wave == w; }) == std::end(kWaves))
		return Fail(layer->line, "unknown wave " + layer->wave);
	std::string pair;
	while (words >> pair) {
		size_t eq = pair.find('=');
		if (eq == std::string::npos)
			return Fail(layer->line, "expected key=value, got " + pair);
		std::string key = pair.substr(0, eq), value = pair.substr(eq + 1);
		bool ok = true;
		if (key == "at")
			ok = ParseFloat(value, &layer->at) && layer->at >= 0;
		else if (key == "dur")
			ok = ParseFloat(value, &layer->dur) && layer->dur > 0;
		else if (key == "amp")
			ok = ParseFloat(value, &layer->amp);
		else if (key == "freq")
			ok = ParseSweep(value, &layer->freq0, &layer->freq1) && layer->freq0 > 0 && layer->freq1 > 0;
		else if (key == "step")
			ok = ParseFloat(value, &layer->step) && layer->step >= 0;
		else if (key == "attack")
			ok = ParseFloat(value, &layer->attack) && layer->attack >= 0;
		else if (key == "decay")
			ok = ParseFloat(value, &layer->decay) && layer->decay >= 0;
		else if (key == "duty")
			ok = ParseFloat(value, &layer->duty) && layer->duty > 0 && layer->duty < 1;
		else if (key == "vib")
			ok = ParsePair(value, &layer->vibRate, &layer->vibDepth);
		else if (key == "q")
			ok = ParseFloat(value, &layer->q) && layer->q > 0;
		else if (key == "lp" || key == "hp" || key == "bp") {
			layer->filter = key;
			ok = ParseSweep(value, &layer->cut0, &layer->cut1) && layer->cut0 > 0 && layer->cut1 > 0;
		} else if (key == "notes") {
			std::stringstream list(value);
			std::string name;
			while (ok && std::getline(list, name, ',')) {
				float hz = 0;
				ok = ParseNote(name, &hz);
				layer->notes.push_back(hz);
			}
			ok = ok && !layer->notes.empty();
		} else
			return Fail(layer->line, "unknown key " + key);
		if (!ok)
			return Fail(layer->line, "bad value for " + key + ": " + value);
	}
	return true;
}

bool ParseSound(std::stringstream &words, Recipe *recipe)
{
	if (!(words >> recipe->path))
		return Fail(recipe->line, "sound without a path");
	std::string pair;
	while (words >> pair) {
		size_t eq = pair.find('=');
		if (eq == std::string::npos)
			return Fail(recipe->line, "expected key=value, got " + pair);
		std::string key = pair.substr(0, eq), value = pair.substr(eq + 1);
		float number = 0;
		bool ok = true;
		if (key == "count") {
			ok = ParseFloat(value, &number) && number >= 1 && number <= kMaxVariants && number == std::floor(number);
			recipe->count = (int)number;
		} else if (key == "spread")
			ok = ParseFloat(value, &recipe->spread) && std::fabs(recipe->spread) < 0.2f;
		else if (key == "seed") {
			ok = ParseFloat(value, &number) && number >= 0;
			recipe->seed = (uint32_t)number;
		} else if (key == "rate") {
			ok = ParseFloat(value, &number) && (number == 22050 || number == 44100);
			recipe->rate = (int)number;
		} else if (key == "peak")
			ok = ParseFloat(value, &recipe->peak) && recipe->peak > 0 && recipe->peak <= 1;
		else if (key == "echo")
			ok = ParsePair(value, &recipe->echoDelay, &recipe->echoFeedback) && recipe->echoDelay > 0 &&
			     recipe->echoFeedback >= 0 && recipe->echoFeedback < 1;
		else if (key == "tail")
			ok = ParseFloat(value, &recipe->tail) && recipe->tail >= 0;
		else
			return Fail(recipe->line, "unknown key " + key);
		if (!ok)
			return Fail(recipe->line, "bad value for " + key + ": " + value);
	}
	size_t percent = recipe->path.find('%');
	if ((recipe->count > 0) != (percent != std::string::npos) ||
	    (percent != std::string::npos && recipe->path.compare(percent, 2, "%d") != 0))
		return Fail(recipe->line, "a path with %d needs count=, and count= needs a %d");
	return true;
}

// The output of a filter step that a layer's filter key ("lp", "bp", "hp") asks for.
float FilterBand(const StateVariableFilter::Bands &bands, const std::string &mode)
{
	if (mode == "lp")
		return bands.low;
	if (mode == "bp")
		return bands.band;
	return bands.high;
}

float Oscillator(const std::string &wave, double phase, float duty)
{
	double p = phase - std::floor(phase);
	if (wave == "sine")
		return (float)std::sin(kTwoPi * p);
	if (wave == "square")
		return p < duty ? 1.0f : -1.0f;
	if (wave == "saw")
		return (float)(2 * p - 1);
	return (float)(p < 0.5 ? 4 * p - 1 : 3 - 4 * p); // triangle
}

// Adds one voice of a layer into the buffer: start time, length and pitch
// already chosen (a layer with notes makes one voice per note).
void RenderVoice(const Layer &layer, float start, float freq0, float freq1, float pitch, uint32_t seed,
                 int rate, std::vector<float> &out)
{
	XorshiftNoise noise(seed, kNoiseStream);
	StateVariableFilter filter;
	const int first = (int)(start * rate);
	const int length = (int)(layer.dur * rate);
	double phase = 0;
	float held = noise.Next(), next = noise.Next();
	for (int i = 0; i < length && first + i < (int)out.size(); i++) {
		const float t = (float)i / rate;
		const float along = (float)i / std::max(1, length - 1);
		float freq = freq0 * std::pow(freq1 / freq0, along) * pitch;
		if (layer.vibDepth != 0)
			freq *= std::pow(2.0f, layer.vibDepth / 12.0f * (float)std::sin(kTwoPi * layer.vibRate * t));
		float sample;
		if (layer.wave == "noise")
			sample = noise.Next();
		else if (layer.wave == "rumble") {
			// Noise held at the pitch rate and joined by straight lines: a
			// low, grainy rumble whose colour follows freq.
			double before = phase;
			phase += freq / rate;
			if (std::floor(phase) != std::floor(before)) {
				held = next;
				next = noise.Next();
			}
			double f = phase - std::floor(phase);
			sample = held + (next - held) * (float)f;
		} else {
			sample = Oscillator(layer.wave, phase, layer.duty);
			phase += freq / rate;
		}
		if (!layer.filter.empty()) {
			float cutoff = layer.cut0 * std::pow(layer.cut1 / layer.cut0, along) * pitch;
			sample = FilterBand(filter.Run(sample, cutoff, layer.q, (float)rate), layer.filter);
		}
		float envelope = layer.attack > 0 && t < layer.attack ? t / layer.attack : 1.0f;
		if (layer.decay > 0 && t > layer.attack)
			envelope *= std::exp(-(t - layer.attack) / layer.decay);
		float remaining = (float)(length - i) / rate;
		if (remaining < kEdgeFade)
			envelope *= remaining / kEdgeFade;
		out[first + i] += sample * envelope * layer.amp;
	}
}

// Renders one variant of a recipe into samples between -1 and 1.
bool Synthesise(const Recipe &recipe, float pitch, uint32_t seed, std::vector<float> *out)
{
	float end = 0;
	for (const Layer &layer : recipe.layers) {
		const float lastStart = layer.notes.empty() ? 0.0f : layer.step * (float)(layer.notes.size() - 1);
		end = std::max(end, layer.at + lastStart + layer.dur);
	}
	end += recipe.tail;
	if (recipe.echoDelay > 0)
		end += recipe.echoDelay * 4;
	if (end > kMaxSeconds)
		return Fail(recipe.line, "sound longer than the limit");
	out->assign((size_t)(end * recipe.rate) + 1, 0.0f);
	uint32_t voiceSeed = seed;
	for (const Layer &layer : recipe.layers) {
		if (layer.notes.empty())
			RenderVoice(layer, layer.at, layer.freq0, layer.freq1, pitch, voiceSeed++, recipe.rate, *out);
		for (size_t n = 0; n < layer.notes.size(); n++)
			RenderVoice(layer, layer.at + layer.step * n, layer.notes[n], layer.notes[n], pitch, voiceSeed++,
			            recipe.rate, *out);
	}
	if (recipe.echoDelay > 0) {
		const size_t delay = (size_t)(recipe.echoDelay * recipe.rate);
		for (size_t i = delay; i < out->size(); i++)
			(*out)[i] += (*out)[i - delay] * recipe.echoFeedback;
	}
	float peak = 0;
	for (float s : *out)
		peak = std::max(peak, std::fabs(s));
	if (peak <= 0)
		return Fail(recipe.line, "the recipe makes only silence");
	for (float &s : *out)
		s *= recipe.peak / peak;
	return true;
}

void PutLE(std::vector<uint8_t> &bytes, uint32_t value, int size)
{
	for (int i = 0; i < size; i++)
		bytes.push_back((uint8_t)(value >> (8 * i)));
}

int16_t ToPcm(float s)
{
	return (int16_t)std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
}

std::vector<uint8_t> EncodeWav(const std::vector<float> &samples, int rate)
{
	constexpr int kBytesPerSample = 2;
	const uint32_t dataBytes = (uint32_t)(samples.size() * kBytesPerSample);
	std::vector<uint8_t> bytes;
	bytes.reserve(44 + dataBytes);
	bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
	PutLE(bytes, 36 + dataBytes, 4);
	bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
	PutLE(bytes, 16, 4);                      // fmt chunk size
	PutLE(bytes, 1, 2);                       // PCM
	PutLE(bytes, 1, 2);                       // mono
	PutLE(bytes, (uint32_t)rate, 4);
	PutLE(bytes, (uint32_t)rate * kBytesPerSample, 4);
	PutLE(bytes, kBytesPerSample, 2);         // block align
	PutLE(bytes, 16, 2);                      // bits per sample
	bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
	PutLE(bytes, dataBytes, 4);
	for (float s : samples)
		PutLE(bytes, (uint16_t)ToPcm(s), 2);
	return bytes;
}

void AppendPage(std::vector<uint8_t> &bytes, const ogg_page &page)
{
	bytes.insert(bytes.end(), page.header, page.header + page.header_len);
	bytes.insert(bytes.end(), page.body, page.body + page.body_len);
}

bool EncodeOgg(const std::vector<float> &samples, int rate, uint32_t serial, std::vector<uint8_t> *bytes)
{
	vorbis_info info;
	vorbis_info_init(&info);
	if (vorbis_encode_init_vbr(&info, 1, rate, kVorbisQuality) != 0) {
		vorbis_info_clear(&info);
		std::fprintf(stderr, "sfxgen: libvorbis refused mono %d Hz\n", rate);
		return false;
	}
	vorbis_comment comment;
	vorbis_comment_init(&comment);
	vorbis_comment_add_tag(&comment, "ENCODER", "sfxgen");
	vorbis_dsp_state dsp;
	vorbis_block block;
	vorbis_analysis_init(&dsp, &info);
	vorbis_block_init(&dsp, &block);
	ogg_stream_state stream;
	ogg_stream_init(&stream, (int)serial);

	ogg_packet header, headerComment, headerCode;
	vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
	ogg_stream_packetin(&stream, &header);
	ogg_stream_packetin(&stream, &headerComment);
	ogg_stream_packetin(&stream, &headerCode);
	ogg_page page;
	// The headers go on pages of their own, so audio starts on a fresh page.
	while (ogg_stream_flush(&stream, &page) != 0)
		AppendPage(*bytes, page);

	constexpr size_t kChunk = 1024;
	size_t fed = 0;
	bool ended = false;
	while (!ended) {
		size_t count = std::min(kChunk, samples.size() - fed);
		if (count > 0) {
			float **buffer = vorbis_analysis_buffer(&dsp, (int)count);
			std::memcpy(buffer[0], samples.data() + fed, count * sizeof(float));
			vorbis_analysis_wrote(&dsp, (int)count);
			fed += count;
		} else
			vorbis_analysis_wrote(&dsp, 0); // end of stream
		while (vorbis_analysis_blockout(&dsp, &block) == 1) {
			vorbis_analysis(&block, nullptr);
			vorbis_bitrate_addblock(&block);
			ogg_packet packet;
			while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
				ogg_stream_packetin(&stream, &packet);
				while (ogg_stream_pageout(&stream, &page) != 0) {
					AppendPage(*bytes, page);
					if (ogg_page_eos(&page))
						ended = true;
				}
			}
		}
	}
	ogg_stream_clear(&stream);
	vorbis_block_clear(&block);
	vorbis_dsp_clear(&dsp);
	vorbis_comment_clear(&comment);
	vorbis_info_clear(&info);
	return true;
}

bool EndsWith(const std::string &text, const std::string &suffix)
{
	return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Variant 0 keeps the recipe's pitch; the others alternate above and below
// it, so that a pool of variants centres on the written sound.
float VariantPitch(int index, float spread)
{
	if (index == 0)
		return 1.0f;
	int steps = (index + 1) / 2;
	return 1.0f + spread * (index % 2 == 1 ? steps : -steps);
}

bool Make(const Recipe &recipe, const std::string &root, int *made)
{
	if (recipe.layers.empty())
		return Fail(recipe.line, "sound without layers: " + recipe.path);
	const int variants = std::max(1, recipe.count);
	for (int v = 0; v < variants; v++) {
		std::string name = recipe.path;
		if (recipe.count > 0)
			name.replace(name.find("%d"), 2, std::to_string(v + 1));
		std::vector<float> samples;
		const uint32_t seed = recipe.seed + (uint32_t)v * 7919u;
		if (!Synthesise(recipe, VariantPitch(v, recipe.spread), seed, &samples))
			return false;
		std::vector<uint8_t> bytes;
		if (EndsWith(name, ".ogg")) {
			if (!EncodeOgg(samples, recipe.rate, seed, &bytes))
				return false;
		} else if (EndsWith(name, ".wav"))
			bytes = EncodeWav(samples, recipe.rate);
		else
			return Fail(recipe.line, "unknown file type: " + name);
		std::string error;
		if (!WriteFileAtomically(root + "/" + name, bytes, &error)) {
			std::fprintf(stderr, "sfxgen: %s\n", error.c_str());
			return false;
		}
		(*made)++;
	}
	return true;
}

}

int main(int argc, char **argv)
{
	if (argc != 3) {
		std::fprintf(stderr, "usage: sfxgen <output folder> <recipe file>\n");
		return 2;
	}
	std::ifstream file(argv[2]);
	if (!file) {
		std::fprintf(stderr, "sfxgen: cannot read %s\n", argv[2]);
		return 1;
	}
	std::vector<Recipe> recipes;
	std::string text;
	int lineNumber = 0;
	bool ok = true;
	while (std::getline(file, text)) {
		lineNumber++;
		std::stringstream words(text);
		std::string first;
		if (!(words >> first) || first[0] == '#')
			continue;
		if (first == "sound") {
			recipes.emplace_back();
			recipes.back().line = lineNumber;
			ok = ParseSound(words, &recipes.back()) && ok;
		} else if (recipes.empty())
			ok = Fail(lineNumber, "layer before the first sound");
		else {
			Layer layer;
			layer.line = lineNumber;
			layer.wave = first;
			ok = ParseLayer(words, &layer) && ok;
			recipes.back().layers.push_back(layer);
		}
	}
	if (!ok)
		return 1;
	int made = 0;
	for (const Recipe &recipe : recipes)
		if (!Make(recipe, argv[1], &made))
			return 1;
	std::printf("sfxgen: %d sounds\n", made);
	return 0;
}
