#include "ItWriter.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr size_t kHeaderSize = 0xC0;      // bytes before the order list
constexpr size_t kInstrumentSize = 554;
constexpr uint16_t kTrackerVersion = 0x0214;  // the format revision whose instruments we write
constexpr uint16_t kFlagStereo = 0x01, kFlagInstruments = 0x04, kFlagLinearSlides = 0x08;
constexpr uint8_t kChannelDisabled = 0x80;    // added to the pan of channels no pattern uses
constexpr uint8_t kPanDontUse = 0x80;
constexpr uint8_t kSampleExists = 0x01, kSample16Bit = 0x02, kSampleLoop = 0x10;
constexpr uint8_t kSampleSigned = 0x01;
constexpr uint8_t kEnvelopeOn = 0x01, kEnvelopeSustain = 0x04;
constexpr size_t kEnvelopeSize = 82;
constexpr int kEnvelopeNodes = 25;
constexpr int kOrderEnd = 255;

struct Bytes {
	std::vector<uint8_t> data;
	void U8(int v) { data.push_back((uint8_t)v); }
	void U16(int v)
	{
		U8(v & 0xff);
		U8((v >> 8) & 0xff);
	}
	void U32(uint32_t v)
	{
		U16((int)(v & 0xffff));
		U16((int)(v >> 16));
	}
	void Text(const std::string &s, size_t size)
	{
		for (size_t i = 0; i < size; i++)
			U8(i < s.size() && i + 1 < size ? s[i] : 0);
	}
	void Magic(const char *tag)
	{
		data.insert(data.end(), tag, tag + 4);
	}
	void Zeros(size_t n) { data.insert(data.end(), n, 0); }
	void PutU32At(size_t at, uint32_t v)
	{
		for (int i = 0; i < 4; i++)
			data[at + i] = (uint8_t)(v >> (8 * i));
	}
};

// The volume envelope of an instrument from its attack, decay, sustain and
// release in ticks: it rises, falls to the sustain level and holds there
// while the key is down, then falls to silence. A sustain of 0 makes a
// percussive envelope that ends on its own.
void WriteVolumeEnvelope(Bytes &out, const InstrumentVariant &def)
{
	struct Node {
		int level, tick;
	};
	std::vector<Node> nodes;
	int sustainNode = -1;
	if (def.envelope) {
		if (def.attack > 0)
			nodes.push_back({0, 0});
		nodes.push_back({64, def.attack});
		nodes.push_back({def.sustain, def.attack + def.decay});
		if (def.sustain > 0) {
			sustainNode = (int)nodes.size() - 1;
			nodes.push_back({0, def.attack + def.decay + def.release});
		}
	}
	const size_t start = out.data.size();
	uint8_t flags = def.envelope ? kEnvelopeOn : 0;
	if (sustainNode >= 0)
		flags |= kEnvelopeSustain;
	out.U8(flags);
	out.U8((int)nodes.size());
	out.U8(0); // loop begin
	out.U8(0); // loop end
	out.U8(std::max(sustainNode, 0));
	out.U8(std::max(sustainNode, 0));
	for (int i = 0; i < kEnvelopeNodes; i++) {
		if (i < (int)nodes.size()) {
			out.U8(nodes[i].level);
			out.U16(nodes[i].tick);
		} else
			out.Zeros(3);
	}
	out.Zeros(kEnvelopeSize - (out.data.size() - start));
}

// An unused panning or pitch envelope: switched off, without nodes.
void WriteFlatEnvelope(Bytes &out)
{
	out.Zeros(kEnvelopeSize);
}

void WriteInstrument(Bytes &out, const ModuleInstrument &ins, int sampleNumber)
{
	const size_t start = out.data.size();
	out.Magic("IMPI");
	out.Text(ins.name, 12);
	out.U8(0);
	out.U8(ins.def.nna);
	out.U8(0);           // duplicate check type
	out.U8(0);           // duplicate check action
	out.U16(ins.def.fadeout);
	out.U8(0);           // pitch-pan separation
	out.U8(60);          // pitch-pan centre
	out.U8(128);         // global volume
	out.U8(32 | kPanDontUse);
	out.U8(0);           // random volume
	out.U8(0);           // random pan
	out.U16(kTrackerVersion);
	out.U8(1);           // samples
	out.U8(0);
	out.Text(ins.name, 26);
	out.U8(0);           // filter cutoff: unused
	out.U8(0);           // filter resonance: unused
	out.U8(0);           // MIDI channel
	out.U8(0xff);        // MIDI program: none
	out.U16(0xffff);     // MIDI bank: none
	for (int note = 0; note < kNoteCount; note++) {
		out.U8(note);
		out.U8(sampleNumber);
	}
	WriteVolumeEnvelope(out, ins.def);
	WriteFlatEnvelope(out);
	WriteFlatEnvelope(out);
	out.Zeros(kInstrumentSize - (out.data.size() - start));
}

// Writes a sample header; returns the offset of its data pointer so that the
// pointer can be filled in once the data is placed.
size_t WriteSampleHeader(Bytes &out, const ModuleInstrument &ins, int bits)
{
	const SampleData &s = ins.sample;
	out.Magic("IMPS");
	out.Text(ins.name, 12);
	out.U8(0);
	out.U8(64);  // global volume
	uint8_t flags = kSampleExists;
	if (bits == 16)
		flags |= kSample16Bit;
	if (s.loop)
		flags |= kSampleLoop;
	out.U8(flags);
	out.U8(ins.def.volume);
	out.Text(ins.name, 26);
	out.U8(kSampleSigned);
	out.U8(32);  // default pan, not used
	out.U32((uint32_t)s.frames.size());
	out.U32(s.loopStart);
	out.U32(s.loopEnd);
	out.U32(s.c5Speed);
	out.U32(0);  // sustain loop begin
	out.U32(0);  // sustain loop end
	const size_t pointer = out.data.size();
	out.U32(0);
	out.Zeros(4); // no auto-vibrato
	return pointer;
}

void WriteSampleData(Bytes &out, const SampleData &s, int bits)
{
	for (float f : s.frames) {
		float clamped = std::clamp(f, -1.0f, 1.0f);
		if (bits == 16)
			out.U16((uint16_t)(int16_t)std::lround(clamped * 32767.0f));
		else
			out.U8((uint8_t)(int8_t)std::lround(clamped * 127.0f));
	}
}

void WritePattern(Bytes &out, const ModulePattern &p, int channels)
{
	Bytes packed;
	for (int row = 0; row < p.rows; row++) {
		for (int c = 0; c < channels; c++) {
			const ModuleCell &cell = p.cells[(size_t)row * channels + c];
			if (cell.Empty())
				continue;
			uint8_t mask = 0;
			if (cell.note >= 0)
				mask |= 1;
			if (cell.instrument > 0)
				mask |= 2;
			if (cell.volume >= 0)
				mask |= 4;
			if (cell.command > 0)
				mask |= 8;
			packed.U8((c + 1) | 0x80); // channel number, a mask byte follows
			packed.U8(mask);
			if (mask & 1)
				packed.U8(cell.note);
			if (mask & 2)
				packed.U8(cell.instrument);
			if (mask & 4)
				packed.U8(cell.volume);
			if (mask & 8) {
				packed.U8(cell.command);
				packed.U8(cell.param);
			}
		}
		packed.U8(0); // end of row
	}
	out.U16((int)packed.data.size());
	out.U16(p.rows);
	out.Zeros(4);
	out.data.insert(out.data.end(), packed.data.begin(), packed.data.end());
}

}

std::vector<uint8_t> WriteIt(const Module &m)
{
	const int channels = (int)m.channelPan.size();
	const int instruments = (int)m.instruments.size();
	const int patterns = (int)m.patterns.size();
	const int orderCount = (int)m.orders.size() + 1; // with the end marker
	Bytes out;
	out.Magic("IMPM");
	out.Text(m.title, 26);
	out.U16(0x1004);               // row highlights: a beat of 4 rows, a bar of 16
	out.U16(orderCount);
	out.U16(instruments);
	out.U16(instruments);          // one sample per instrument
	out.U16(patterns);
	out.U16(kTrackerVersion);
	out.U16(kTrackerVersion);
	out.U16(kFlagStereo | kFlagInstruments | kFlagLinearSlides);
	out.U16(0);                    // no message, no extras
	out.U8(m.globalVolume);
	out.U8(m.mixVolume);
	out.U8(m.speed);
	out.U8(m.tempo);
	out.U8(128);                   // stereo separation
	out.U8(0);                     // pitch wheel depth
	out.U16(0);                    // message length
	out.U32(0);                    // message offset
	out.U32(0);                    // reserved
	for (int c = 0; c < kMaxChannels; c++)
		out.U8(c < channels ? m.channelPan[c] : 32 | kChannelDisabled);
	for (int c = 0; c < kMaxChannels; c++)
		out.U8(c < channels ? m.channelVolume[c] : 64);
	if (out.data.size() != kHeaderSize)
		return {};
	for (uint8_t order : m.orders)
		out.U8(order);
	out.U8(kOrderEnd);

	const size_t instrumentTable = out.data.size();
	out.Zeros((size_t)instruments * 4);
	const size_t sampleTable = out.data.size();
	out.Zeros((size_t)instruments * 4);
	const size_t patternTable = out.data.size();
	out.Zeros((size_t)patterns * 4);

	for (int i = 0; i < instruments; i++) {
		out.PutU32At(instrumentTable + 4 * i, (uint32_t)out.data.size());
		WriteInstrument(out, m.instruments[i], i + 1);
	}
	std::vector<size_t> dataPointers;
	for (int i = 0; i < instruments; i++) {
		out.PutU32At(sampleTable + 4 * i, (uint32_t)out.data.size());
		dataPointers.push_back(WriteSampleHeader(out, m.instruments[i], m.bits));
	}
	for (int p = 0; p < patterns; p++) {
		out.PutU32At(patternTable + 4 * p, (uint32_t)out.data.size());
		WritePattern(out, m.patterns[p], channels);
	}
	for (int i = 0; i < instruments; i++) {
		out.PutU32At(dataPointers[i], (uint32_t)out.data.size());
		WriteSampleData(out, m.instruments[i].sample, m.bits);
	}
	return out.data;
}
