#include "Song.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

namespace {

struct Reader {
	Song *song = nullptr;
	int line = 0;
	Pattern *pattern = nullptr; // the pattern that track lines belong to
	std::set<std::string> variants;

	bool Fail(const std::string &what) const
	{
		std::fprintf(stderr, "%s:%d: %s\n", song->file.c_str(), line, what.c_str());
		return false;
	}
};

bool ParseInt(const std::string &text, int low, int high, int *out)
{
	if (text.empty())
		return false;
	char *end = nullptr;
	long value = std::strtol(text.c_str(), &end, 10);
	if (*end != '\0' || value < low || value > high)
		return false;
	*out = (int)value;
	return true;
}

int HexDigit(char c)
{
	if (c >= '0' && c <= '9')
		return c - '0';
	if (c >= 'a' && c <= 'f')
		return c - 'a' + 10;
	return -1;
}

// Splits a line into words; a '#' that begins a word starts a comment (a '#'
// inside a word is a sharp), and bar lines "|" are only for the reader.
std::vector<std::string> Words(const std::string &text)
{
	std::vector<std::string> words;
	std::stringstream stream(text);
	std::string word;
	while (stream >> word) {
		if (word[0] == '#')
			break;
		if (word != "|")
			words.push_back(word);
	}
	return words;
}

bool Expect(Reader &r, const std::vector<std::string> &w, size_t count, const char *usage)
{
	return w.size() >= count || r.Fail(std::string("usage: ") + usage);
}

bool ReadOutput(Reader &r, const std::vector<std::string> &w)
{
	Output out;
	if ((w.size() != 4 && w.size() != 6) || !ParseInt(w[2], 8, 16, &out.bits) || (out.bits != 8 && out.bits != 16) ||
	    (w.size() == 6 && (w[4] != "global" || !ParseInt(w[5], 0, 128, &out.globalVolume))))
		return r.Fail("usage: output <variant> <8|16> <path> [global N]");
	out.variant = w[1];
	out.path = w[3];
	if (out.variant == "all" || !r.variants.insert(out.variant).second)
		return r.Fail("variant named twice or called \"all\": " + out.variant);
	r.song->outputs.push_back(out);
	return true;
}

bool ReadChannel(Reader &r, const std::vector<std::string> &w)
{
	Channel channel;
	if (!Expect(r, w, 2, "channel <name> [pan N] [vol N] [voices N]"))
		return false;
	channel.name = w[1];
	for (size_t i = 2; i < w.size(); i += 2) {
		if (i + 1 >= w.size())
			return r.Fail("channel option without a value: " + w[i]);
		bool ok = (w[i] == "pan" && ParseInt(w[i + 1], 0, 64, &channel.pan)) ||
		          (w[i] == "vol" && ParseInt(w[i + 1], 0, 64, &channel.volume)) ||
		          (w[i] == "voices" && ParseInt(w[i + 1], 1, 3, &channel.voices));
		if (!ok)
			return r.Fail("bad channel option: " + w[i] + " " + w[i + 1]);
	}
	for (const Channel &c : r.song->channels)
		if (c.name == channel.name)
			return r.Fail("channel named twice: " + channel.name);
	r.song->channels.push_back(channel);
	return true;
}

bool ReadInstrument(Reader &r, const std::vector<std::string> &w)
{
	if (!Expect(r, w, 4, "instrument <name> <variant|all> <wave> [vol N] [env A D S R] [fade N] [nna cut|cont|off|fade] [arp]"))
		return false;
	InstrumentVariant v;
	v.wave = w[3];
	for (size_t i = 4; i < w.size(); i++) {
		const std::string &key = w[i];
		auto value = [&](int low, int high, int *out) {
			return i + 1 < w.size() && ParseInt(w[++i], low, high, out);
		};
		bool ok = true;
		if (key == "vol")
			ok = value(0, 64, &v.volume);
		else if (key == "fade")
			ok = value(0, 256, &v.fadeout);
		else if (key == "arp")
			v.arp = true;
		else if (key == "env") {
			v.envelope = true;
			ok = value(0, 500, &v.attack) && value(1, 500, &v.decay) && value(0, 64, &v.sustain) &&
			     value(1, 500, &v.release);
		} else if (key == "nna") {
			static const char *kActions[] = {"cut", "cont", "off", "fade"};
			ok = false;
			if (i + 1 < w.size())
				for (int a = 0; a < 4; a++)
					if (w[i + 1] == kActions[a]) {
						v.nna = a;
						ok = true;
					}
			i++;
		} else
			return r.Fail("unknown instrument option: " + key);
		if (!ok)
			return r.Fail("bad value for instrument option " + key);
	}
	std::vector<std::string> targets;
	if (w[2] == "all")
		targets.assign(r.variants.begin(), r.variants.end());
	else if (r.variants.count(w[2]))
		targets.push_back(w[2]);
	else
		return r.Fail("unknown variant " + w[2] + " (declare its output first)");
	auto found = std::find_if(r.song->instruments.begin(), r.song->instruments.end(),
	                          [&](const Instrument &i) { return i.name == w[1]; });
	if (found == r.song->instruments.end()) {
		r.song->instruments.push_back(Instrument{w[1], {}});
		found = r.song->instruments.end() - 1;
	}
	for (const std::string &t : targets)
		if (!found->variants.emplace(t, v).second)
			return r.Fail("instrument " + w[1] + " defined twice for " + t);
	return true;
}

bool ReadKit(Reader &r, const std::vector<std::string> &w)
{
	if (!Expect(r, w, 3, "kit <name> <letter>=<instrument>[:note] ..."))
		return false;
	auto &kit = r.song->kits[w[1]];
	if (!kit.empty())
		return r.Fail("kit named twice: " + w[1]);
	for (size_t i = 2; i < w.size(); i++) {
		const std::string &entry = w[i];
		if (entry.size() < 3 || entry[1] != '=')
			return r.Fail("bad kit entry: " + entry);
		KitEntry k;
		std::string rest = entry.substr(2);
		size_t colon = rest.find(':');
		k.instrument = rest.substr(0, colon);
		if (colon != std::string::npos) {
			Token note;
			if (!ParseToken(rest.substr(colon + 1), &note) || note.kind != Token::Note || note.chord >= 0)
				return r.Fail("bad kit note: " + entry);
			k.note = note.note;
		}
		kit[entry[0]] = k;
	}
	return true;
}

bool ReadTokens(Reader &r, const std::vector<std::string> &w, size_t from, std::vector<Token> *out)
{
	for (size_t i = from; i < w.size(); i++) {
		Token t;
		if (!ParseToken(w[i], &t))
			return r.Fail("bad note or drum: " + w[i]);
		out->push_back(t);
	}
	return true;
}

bool ReadPhrase(Reader &r, const std::vector<std::string> &w)
{
	Phrase phrase;
	if (w.size() < 5 || w[3] != ":" || !ParseInt(w[2], 1, 64, &phrase.step))
		return r.Fail("usage: phrase <name> <rows per step> : tokens...");
	phrase.name = w[1];
	if (phrase.name.find_first_of("+-*") != std::string::npos || phrase.name == "rest")
		return r.Fail("a phrase name may not hold + - * or be \"rest\": " + phrase.name);
	if (!ReadTokens(r, w, 4, &phrase.tokens))
		return false;
	if (!r.song->phrases.emplace(phrase.name, phrase).second)
		return r.Fail("phrase named twice: " + phrase.name);
	return true;
}

bool ReadPattern(Reader &r, const std::vector<std::string> &w)
{
	Pattern p;
	if ((w.size() != 3 && w.size() != 5) || !ParseInt(w[2], 1, kMaxRows, &p.rows) ||
	    (w.size() == 5 && (w[3] != "tempo" || !ParseInt(w[4], 32, 255, &p.tempo))))
		return r.Fail("usage: pattern <name> <rows> [tempo N]");
	p.name = w[1];
	for (const Pattern &other : r.song->patterns)
		if (other.name == p.name)
			return r.Fail("pattern named twice: " + p.name);
	r.song->patterns.push_back(p);
	r.pattern = &r.song->patterns.back();
	return true;
}

// Adds the rows of one token stepped `step` rows apart.
void AppendStepped(const std::vector<Token> &tokens, int step, int transpose, std::vector<Token> *rows)
{
	for (Token t : tokens) {
		if (t.kind == Token::Note)
			t.note += transpose;
		rows->push_back(t);
		rows->insert(rows->end(), step - 1, Token{});
	}
}

// "name", "name+5", "name-12", "name*4", "name+7*2"; "rest*N" is N empty rows.
bool ReadReference(Reader &r, const std::string &ref, std::vector<Token> *rows)
{
	std::string name = ref;
	int repeat = 1, transpose = 0;
	size_t star = name.find('*');
	if (star != std::string::npos) {
		if (!ParseInt(name.substr(star + 1), 1, kMaxRows, &repeat))
			return r.Fail("bad repeat in " + ref);
		name.resize(star);
	}
	size_t sign = name.find_first_of("+-", 1);
	if (sign != std::string::npos) {
		if (!ParseInt(name.substr(sign + (name[sign] == '+' ? 1 : 0)), -60, 60, &transpose))
			return r.Fail("bad transposition in " + ref);
		name.resize(sign);
	}
	if (name == "rest") {
		if (transpose != 0)
			return r.Fail("rest cannot be transposed");
		rows->insert(rows->end(), repeat, Token{});
		return true;
	}
	auto found = r.song->phrases.find(name);
	if (found == r.song->phrases.end())
		return r.Fail("unknown phrase " + name);
	for (int i = 0; i < repeat; i++)
		AppendStepped(found->second.tokens, found->second.step, transpose, rows);
	return true;
}

// "<channel> <instrument|kit> [only <variant>] = refs..." or
// "<channel> <instrument|kit> [only <variant>] <rows per step> : tokens...".
bool ReadTrack(Reader &r, const std::vector<std::string> &w, int channel)
{
	if (r.pattern == nullptr)
		return r.Fail("track line before any pattern");
	Track track;
	track.line = r.line;
	track.channel = channel;
	if (w.size() < 4)
		return r.Fail("usage: <channel> <instrument|kit> [only <variant>] = phrases... | <step> : tokens...");
	track.source = w[1];
	size_t at = 2;
	if (w[at] == "only") {
		if (w.size() < 6 || !r.variants.count(w[at + 1]))
			return r.Fail("\"only\" needs a declared variant");
		track.only = w[at + 1];
		at += 2;
	}
	std::vector<Token> once;
	if (w[at] == "=") {
		for (size_t i = at + 1; i < w.size(); i++)
			if (!ReadReference(r, w[i], &once))
				return false;
	} else {
		int step = 0;
		if (w.size() < at + 3 || w[at + 1] != ":" || !ParseInt(w[at], 1, 64, &step))
			return r.Fail("expected \"= phrases\" or \"<step> : tokens\"");
		std::vector<Token> tokens;
		if (!ReadTokens(r, w, at + 2, &tokens))
			return false;
		AppendStepped(tokens, step, 0, &once);
	}
	const int rows = r.pattern->rows;
	if (once.empty() || rows % (int)once.size() != 0)
		return r.Fail("track of " + std::to_string(once.size()) + " rows does not fill pattern " +
		              r.pattern->name + " of " + std::to_string(rows));
	while ((int)track.rows.size() < rows)
		track.rows.insert(track.rows.end(), once.begin(), once.end());
	for (const Token &t : track.rows)
		if (t.kind == Token::Note && (t.note < 0 || t.note >= kNoteCount))
			return r.Fail("a note is transposed out of range");
	for (const Track &other : r.pattern->tracks)
		if (other.channel == channel && (other.only.empty() || track.only.empty() || other.only == track.only))
			return r.Fail("channel " + w[0] + " has two tracks in pattern " + r.pattern->name);
	r.pattern->tracks.push_back(track);
	return true;
}

int FindPattern(const Song &song, const std::string &name)
{
	for (size_t i = 0; i < song.patterns.size(); i++)
		if (song.patterns[i].name == name)
			return (int)i;
	return -1;
}

bool ReadOrders(Reader &r, const std::vector<std::string> &w, size_t from)
{
	if (from >= w.size())
		return r.Fail("no patterns in order line");
	for (size_t i = from; i < w.size(); i++) {
		int index = FindPattern(*r.song, w[i]);
		if (index < 0)
			return r.Fail("unknown pattern " + w[i]);
		r.song->orders.push_back(index);
	}
	return true;
}

// "cue <name> [loop K] : patterns..." where K counts from the cue's first order.
bool ReadCue(Reader &r, const std::vector<std::string> &w)
{
	Cue cue;
	int loop = 0;
	size_t colon = std::find(w.begin(), w.end(), ":") - w.begin();
	if (w.size() < 4 || (colon != 2 && !(colon == 4 && w[2] == "loop" && ParseInt(w[3], 0, 255, &loop))))
		return r.Fail("usage: cue <name> [loop K] : patterns...");
	cue.name = w[1];
	cue.first = (int)r.song->orders.size();
	if (!ReadOrders(r, w, colon + 1))
		return false;
	cue.last = (int)r.song->orders.size() - 1;
	if (loop > cue.last - cue.first)
		return r.Fail("loop order lies outside the cue");
	cue.loop = cue.first + loop;
	for (const Cue &other : r.song->cues)
		if (other.name == cue.name)
			return r.Fail("cue named twice: " + cue.name);
	r.song->cues.push_back(cue);
	return true;
}

bool ReadLine(Reader &r, const std::vector<std::string> &w)
{
	const std::string &key = w[0];
	Song &s = *r.song;
	if (key == "title") {
		if (w.size() < 2)
			return r.Fail("usage: title <text>");
		s.title = w[1];
		for (size_t i = 2; i < w.size(); i++)
			s.title += " " + w[i];
		return true;
	}
	if (key == "tempo")
		return (w.size() == 2 && ParseInt(w[1], 32, 255, &s.tempo)) || r.Fail("usage: tempo <32..255>");
	if (key == "speed")
		return (w.size() == 2 && ParseInt(w[1], 1, 31, &s.speed)) || r.Fail("usage: speed <1..31>");
	if (key == "mix")
		return (w.size() == 2 && ParseInt(w[1], 0, 128, &s.mixVolume)) || r.Fail("usage: mix <0..128>");
	if (key == "global")
		return (w.size() == 2 && ParseInt(w[1], 0, 128, &s.globalVolume)) || r.Fail("usage: global <0..128>");
	if (key == "output")
		return ReadOutput(r, w);
	if (key == "channel")
		return ReadChannel(r, w);
	if (key == "instrument")
		return ReadInstrument(r, w);
	if (key == "kit")
		return ReadKit(r, w);
	if (key == "phrase")
		return ReadPhrase(r, w);
	if (key == "pattern")
		return ReadPattern(r, w);
	if (key == "cue")
		return ReadCue(r, w);
	if (key == "order")
		return ReadOrders(r, w, 1);
	for (size_t c = 0; c < s.channels.size(); c++)
		if (s.channels[c].name == key)
			return ReadTrack(r, w, (int)c);
	return r.Fail("unknown directive or channel: " + key);
}

// Checks what only the whole file can tell: every track's instrument or kit
// exists for every variant it plays in, and the module limits hold.
bool CheckSong(Reader &r)
{
	Song &s = *r.song;
	r.line = 0;
	if (s.outputs.empty())
		return r.Fail("no output declared");
	if (s.orders.empty() || s.orders.size() > kMaxOrders)
		return r.Fail("a song needs 1 to " + std::to_string(kMaxOrders) + " orders");
	if (s.patterns.size() > kMaxPatterns)
		return r.Fail("more than " + std::to_string(kMaxPatterns) + " patterns");
	int voices = 1; // the control channel
	for (const Channel &c : s.channels)
		voices += c.voices;
	if (voices > kMaxChannels)
		return r.Fail("too many channels");
	auto instrumentFor = [&](const std::string &name, const std::string &variant) -> bool {
		for (const Instrument &i : s.instruments)
			if (i.name == name)
				return i.variants.count(variant) != 0;
		return false;
	};
	for (const Pattern &p : s.patterns)
		for (const Track &t : p.tracks) {
			r.line = t.line;
			auto kit = s.kits.find(t.source);
			for (const Output &o : s.outputs) {
				if (!t.only.empty() && t.only != o.variant)
					continue;
				if (kit != s.kits.end()) {
					for (const Token &token : t.rows) {
						if (token.kind == Token::Note)
							return r.Fail("a note in a drum track");
						if (token.kind == Token::Drum && !kit->second.count(token.drum))
							return r.Fail(std::string("kit ") + t.source + " has no letter " + token.drum);
					}
					for (const auto &entry : kit->second)
						if (!instrumentFor(entry.second.instrument, o.variant))
							return r.Fail("kit instrument " + entry.second.instrument + " missing for " + o.variant);
				} else {
					if (!instrumentFor(t.source, o.variant))
						return r.Fail("instrument " + t.source + " missing for " + o.variant);
					for (const Token &token : t.rows)
						if (token.kind == Token::Drum)
							return r.Fail("a drum letter in the track of instrument " + t.source);
				}
			}
		}
	return true;
}

}

bool ParseToken(const std::string &text, Token *out)
{
	static const int kSemitone[7] = {9, 11, 0, 2, 4, 5, 7}; // a b c d e f g
	Token t;
	size_t i = 0;
	if (text == ".") {
		*out = t;
		return true;
	}
	if (text == "^" || text == "!") {
		t.kind = text == "^" ? Token::Off : Token::Cut;
		*out = t;
		return true;
	}
	if (text.empty())
		return false;
	// A note is a letter a-g, an optional sharp or flat and an octave digit;
	// anything else starting with a letter is a drum.
	bool note = false;
	if (text[0] >= 'a' && text[0] <= 'g') {
		size_t j = 1;
		if (j < text.size() && (text[j] == '#' || text[j] == 'b') && j + 1 < text.size() && std::isdigit((unsigned char)text[j + 1]))
			j++;
		note = j < text.size() && std::isdigit((unsigned char)text[j]);
	}
	if (note) {
		int semitone = kSemitone[text[0] - 'a'];
		i = 1;
		if (text[i] == '#' || text[i] == 'b')
			semitone += text[i++] == '#' ? 1 : -1;
		t.kind = Token::Note;
		t.note = (text[i++] - '0') * 12 + semitone;
		if (t.note < 0 || t.note >= kNoteCount)
			return false;
	} else {
		if (!std::isalpha((unsigned char)text[0]))
			return false;
		t.kind = Token::Drum;
		t.drum = text[0];
		i = 1;
	}
	while (i < text.size()) {
		char key = text[i++];
		if (key == 'v') {
			size_t start = i;
			while (i < text.size() && std::isdigit((unsigned char)text[i]))
				i++;
			if (!ParseInt(text.substr(start, i - start), 0, 64, &t.volume))
				return false;
		} else if (key == 'j' && t.kind == Token::Note && i + 2 <= text.size()) {
			int x = HexDigit(text[i]), y = HexDigit(text[i + 1]);
			if (x <= 0 || y < 0)
				return false;
			t.chord = x * 16 + y;
			i += 2;
		} else
			return false;
	}
	*out = t;
	return true;
}

bool ReadSong(const std::string &path, Song *song)
{
	*song = Song{};
	song->file = path;
	std::ifstream file(path);
	Reader r;
	r.song = song;
	if (!file)
		return r.Fail("cannot read the file");
	std::string text;
	while (std::getline(file, text)) {
		r.line++;
		std::vector<std::string> w = Words(text);
		if (!w.empty() && !ReadLine(r, w))
			return false;
	}
	return CheckSong(r);
}
