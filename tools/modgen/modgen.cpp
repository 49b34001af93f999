// modgen: writes the game's tracker modules (Impulse Tracker format) from the
// song files in tools/modgen/songs, so that all music in the data tree is made
// from note data kept in the repository. Each song names one or more outputs,
// one per arrangement variant (the full sound and the chip sound), which share
// the patterns and the order list, so the cue lists can address the same
// order positions in either file. The format is described in README.md.
//
// Usage: modgen <output folder> <song file>...
#include "ItWriter.h"
#include "SampleSynth.h"
#include "Song.h"
#include "common/AtomicFile.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

bool Fail(const Song &song, int line, const std::string &what)
{
	std::fprintf(stderr, "%s:%d: %s\n", song.file.c_str(), line, what.c_str());
	return false;
}

const InstrumentVariant *FindVariant(const Song &song, const std::string &name, const std::string &variant)
{
	for (const Instrument &i : song.instruments)
		if (i.name == name) {
			auto found = i.variants.find(variant);
			return found == i.variants.end() ? nullptr : &found->second;
		}
	return nullptr;
}

// Lays a song out for one variant: every named channel becomes as many module
// channels as it has voices, plus one control channel at the end for tempo
// changes; chords spread over a channel's voices unless the instrument plays
// them as an arpeggio (or the channel has too few voices), in which case the
// arpeggio command is repeated on every row the chord is held.
bool Arrange(const Song &song, const Output &output, Module *module)
{
	Module m;
	m.title = song.title;
	m.tempo = song.tempo;
	m.speed = song.speed;
	m.mixVolume = song.mixVolume;
	m.globalVolume = output.globalVolume >= 0 ? output.globalVolume : song.globalVolume;
	m.bits = output.bits;
	std::vector<int> base;
	for (const Channel &c : song.channels) {
		base.push_back((int)m.channelPan.size());
		for (int v = 0; v < c.voices; v++) {
			m.channelPan.push_back(c.pan);
			m.channelVolume.push_back(c.volume);
		}
	}
	const int control = (int)m.channelPan.size();
	m.channelPan.push_back(32);
	m.channelVolume.push_back(64);
	const int width = (int)m.channelPan.size();

	std::map<std::string, int> numbers;
	for (const Instrument &ins : song.instruments) {
		auto found = ins.variants.find(output.variant);
		if (found == ins.variants.end())
			continue;
		ModuleInstrument mi;
		mi.name = ins.name;
		mi.def = found->second;
		if (!SynthesiseSample(mi.def.wave, (uint32_t)m.instruments.size() + 1, &mi.sample))
			return Fail(song, 0, "instrument " + ins.name + ": unknown wave " + mi.def.wave + " (known: " +
			                         KnownWaveNames() + ")");
		m.instruments.push_back(std::move(mi));
		numbers[ins.name] = (int)m.instruments.size();
	}

	for (const Pattern &p : song.patterns) {
		ModulePattern mp;
		mp.rows = p.rows;
		mp.cells.resize((size_t)p.rows * width);
		auto cell = [&](int row, int channel) -> ModuleCell & { return mp.cells[(size_t)row * width + channel]; };
		for (const Track &t : p.tracks) {
			if (!t.only.empty() && t.only != output.variant)
				continue;
			const Channel &channel = song.channels[t.channel];
			const int first = base[t.channel];
			auto kit = song.kits.find(t.source);
			int heldChord = -1;
			for (int row = 0; row < p.rows; row++) {
				const Token &token = t.rows[row];
				if (token.kind == Token::Empty) {
					if (heldChord >= 0) {
						cell(row, first).command = kEffectArpeggio;
						cell(row, first).param = heldChord;
					}
					continue;
				}
				heldChord = -1;
				if (token.kind == Token::Off || token.kind == Token::Cut) {
					for (int v = 0; v < channel.voices; v++)
						cell(row, first + v).note = token.kind == Token::Off ? kNoteOff : kNoteCut;
					continue;
				}
				if (token.kind == Token::Drum) {
					const KitEntry &entry = kit->second.at(token.drum);
					ModuleCell &c = cell(row, first);
					c.note = entry.note;
					c.instrument = numbers.at(entry.instrument);
					c.volume = token.volume;
					continue;
				}
				const InstrumentVariant *def = FindVariant(song, t.source, output.variant);
				const int instrument = numbers.at(t.source);
				std::vector<int> notes = {token.note};
				if (token.chord >= 0) {
					notes.push_back(token.note + (token.chord >> 4));
					if ((token.chord & 15) != 0)
						notes.push_back(token.note + (token.chord & 15));
				}
				const bool spread = token.chord >= 0 && !def->arp && (int)notes.size() <= channel.voices;
				if (!spread)
					notes.resize(1);
				for (size_t v = 0; v < notes.size(); v++) {
					if (notes[v] >= kNoteCount)
						return Fail(song, t.line, "a chord note is out of range in pattern " + p.name);
					ModuleCell &c = cell(row, first + (int)v);
					c.note = notes[v];
					c.instrument = instrument;
					c.volume = token.volume;
				}
				if (token.chord >= 0 && !spread) {
					heldChord = token.chord;
					cell(row, first).command = kEffectArpeggio;
					cell(row, first).param = heldChord;
				}
			}
		}
		if (p.tempo > 0) {
			cell(0, control).command = kEffectTempo;
			cell(0, control).param = p.tempo;
		}
		m.patterns.push_back(std::move(mp));
	}
	for (int order : song.orders)
		m.orders.push_back((uint8_t)order);
	*module = std::move(m);
	return true;
}

}

int main(int argc, char **argv)
{
	if (argc < 3) {
		std::fprintf(stderr, "usage: modgen <output folder> <song file>...\n");
		return 2;
	}
	const std::string root = argv[1];
	for (int a = 2; a < argc; a++) {
		Song song;
		if (!ReadSong(argv[a], &song))
			return 1;
		// Every variant is arranged and laid out before any is written, so a
		// song with an error leaves no module of it behind.
		std::vector<std::vector<uint8_t>> files;
		for (const Output &output : song.outputs) {
			Module module;
			if (!Arrange(song, output, &module))
				return 1;
			files.push_back(WriteIt(module));
			if (files.back().empty()) {
				std::fprintf(stderr, "modgen: %s cannot be laid out\n", output.path.c_str());
				return 1;
			}
		}
		for (size_t i = 0; i < files.size(); i++) {
			std::string error;
			if (!WriteFileAtomically(root + "/" + song.outputs[i].path, files[i], &error)) {
				std::fprintf(stderr, "modgen: %s\n", error.c_str());
				return 1;
			}
			std::printf("modgen: %s: %zu orders, %zu patterns, %zu bytes\n", song.outputs[i].path.c_str(),
			            song.orders.size(), song.patterns.size(), files[i].size());
		}
		for (const Cue &cue : song.cues)
			std::printf("modgen:   cue %-10s orders %d-%d, loops to %d\n", cue.name.c_str(), cue.first, cue.last,
			            cue.loop);
	}
	return 0;
}
