// The music modules that modgen wrote into the data tree, loaded the way the
// music player loads them (libmodplug, from memory) and read back from the
// file's own order list and patterns; and the tool itself run on songs the
// tests write.
#include <gtest/gtest.h>
#include <libmodplug/modplug.h>
#include <tinyxml2.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "audio/MusicPlayer.h"
#include "support/AssetToolRunner.h"
#include "support/TempFolder.h"

namespace {

constexpr int kRate = 44100;
constexpr int kEffectSpeed = 1, kEffectJump = 2, kEffectBreak = 3, kEffectArpeggio = 10, kEffectTempo = 20;
constexpr int kNoteOff = 255;

struct ItCell {
	int note = -1, instrument = 0, volume = -1, command = 0, param = 0;
};

// What a module file says about itself, read with every offset checked.
struct ItLayout {
	bool ok = false;
	std::vector<uint8_t> orders;                         // without the end marker
	std::vector<std::vector<std::vector<ItCell>>> patterns; // [pattern][row][channel]
	std::vector<uint8_t> sampleFlags;
	int instruments = 0;
};

uint32_t Le(const std::vector<uint8_t> &b, size_t at, int size)
{
	uint32_t v = 0;
	for (int i = size - 1; i >= 0; i--)
		v = (v << 8) | b[at + i];
	return v;
}

ItLayout ReadItLayout(const std::vector<uint8_t> &b)
{
	constexpr size_t kOrdersAt = 0xC0, kChannels = 64;
	ItLayout layout;
	if (b.size() < kOrdersAt || std::string(b.begin(), b.begin() + 4) != "IMPM")
		return layout;
	const size_t orderCount = Le(b, 0x20, 2), instruments = Le(b, 0x22, 2), samples = Le(b, 0x24, 2),
	             patterns = Le(b, 0x26, 2);
	const size_t tables = kOrdersAt + orderCount;
	if (tables + 4 * (instruments + samples + patterns) > b.size())
		return layout;
	for (size_t i = 0; i < orderCount && b[kOrdersAt + i] != 255; i++)
		layout.orders.push_back(b[kOrdersAt + i]);
	layout.instruments = (int)instruments;
	for (size_t s = 0; s < samples; s++) {
		size_t at = Le(b, tables + 4 * (instruments + s), 4);
		if (at + 0x50 > b.size())
			return layout;
		layout.sampleFlags.push_back(b[at + 0x12]);
	}
	for (size_t p = 0; p < patterns; p++) {
		size_t at = Le(b, tables + 4 * (instruments + samples + p), 4);
		if (at + 8 > b.size())
			return layout;
		const size_t length = Le(b, at, 2), rows = Le(b, at + 2, 2);
		size_t pos = at + 8;
		const size_t end = pos + length;
		if (end > b.size())
			return layout;
		std::vector<std::vector<ItCell>> grid(rows, std::vector<ItCell>(kChannels));
		uint8_t lastMask[kChannels] = {};
		ItCell last[kChannels];
		size_t row = 0;
		while (row < rows && pos < end) {
			const uint8_t marker = b[pos++];
			if (marker == 0) {
				row++;
				continue;
			}
			const size_t c = (marker - 1) & 63;
			if ((marker & 0x80) != 0 && pos < end)
				lastMask[c] = b[pos++];
			const uint8_t mask = lastMask[c];
			const size_t need = ((mask & 1) ? 1 : 0) + ((mask & 2) ? 1 : 0) + ((mask & 4) ? 1 : 0) + ((mask & 8) ? 2 : 0);
			if (pos + need > end)
				return layout;
			ItCell &cell = grid[row][c];
			if (mask & 1)
				cell.note = last[c].note = b[pos++];
			if (mask & 2)
				cell.instrument = last[c].instrument = b[pos++];
			if (mask & 4)
				cell.volume = last[c].volume = b[pos++];
			if (mask & 8) {
				cell.command = last[c].command = b[pos++];
				cell.param = last[c].param = b[pos++];
			}
			if (mask & 16)
				cell.note = last[c].note;
			if (mask & 32)
				cell.instrument = last[c].instrument;
			if (mask & 64)
				cell.volume = last[c].volume;
			if (mask & 128) {
				cell.command = last[c].command;
				cell.param = last[c].param;
			}
		}
		layout.patterns.push_back(std::move(grid));
	}
	layout.ok = true;
	return layout;
}

// Loads module bytes into libmodplug at the rate the music device uses.
ModPlugFile *LoadModule(const std::vector<uint8_t> &bytes)
{
	ModPlug_Settings settings;
	ModPlug_GetSettings(&settings);
	settings.mFrequency = kRate;
	settings.mChannels = 2;
	settings.mBits = 16;
	settings.mLoopCount = 0;
	ModPlug_SetSettings(&settings);
	return ModPlug_Load(bytes.data(), (int)bytes.size());
}

// Renders `seconds` of the module from where it is; returns the RMS level.
double RenderRms(ModPlugFile *module, double seconds)
{
	std::vector<int16_t> buffer(2048);
	double sum = 0;
	long count = 0;
	const long wanted = (long)(seconds * kRate * 2);
	while (count < wanted) {
		int got = ModPlug_Read(module, buffer.data(), (int)(buffer.size() * 2));
		if (got <= 0)
			break;
		for (int i = 0; i < got / 2; i++)
			sum += (double)buffer[i] * buffer[i];
		count += got / 2;
	}
	return count == 0 ? 0 : std::sqrt(sum / count);
}

struct CueLayout {
	const char *name;
	int start, end, loop, tempo;
};

// The order layout that tools/modgen/README.md promises the cue lists.
const CueLayout kWorldCues[] = {
	{"theme", 0, 3, 1, 120},     {"start", 4, 5, 4, 96},     {"grassland", 6, 9, 6, 112},
	{"forest", 10, 13, 10, 100}, {"snow", 14, 16, 14, 84},   {"hot", 17, 20, 17, 128},
	{"cold", 21, 22, 21, 90},    {"black", 23, 24, 23, 76},  {"tower", 25, 28, 25, 136},
	{"fight1", 29, 30, 29, 150}, {"fight2", 31, 32, 31, 164}, {"meats", 33, 34, 33, 126},
};
constexpr size_t kWorldOrders = 36;

const char *const kWorldModules[] = {"data/world.it", "data/world8.it"};

const std::string kSongHeader =
	"title test\n"
	"output full 16 full.it\n"
	"output chip 8 chip.it\n"
	"channel pad voices 3\n"
	"channel drum\n"
	"instrument p full sine vol 40 env 0 1 64 1\n"
	"instrument p chip chipsquare vol 40 env 0 1 64 1 arp\n"
	"instrument k all kick\n"
	"kit d k=k x=k:g4\n";

ToolRun RunModgen(const TempFolder &temp, const std::string &song)
{
	WriteTextFile(temp.Path("song.song"), song);
	return RunAssetTool("modgen", Quoted(temp.Folder()) + " " + Quoted(temp.Path("song.song")), temp.Path("log.txt"));
}

}

TEST(MusicModules, EveryModuleLoadsAndPlays)
{
	struct Row {
		const char *file;
		int minMs, maxMs;
		bool sixteenBit;
	};
	const Row rows[] = {
		{"data/intro.it", 35000, 60000, true},
		{"data/intro8.it", 35000, 60000, false},
		{"data/world.it", 180000, 600000, true},
		{"data/world8.it", 180000, 600000, false},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.file);
		std::vector<uint8_t> bytes = TempFolder::ReadBytes(BesideExecutable(row.file));
		ASSERT_FALSE(bytes.empty());
		ItLayout layout = ReadItLayout(bytes);
		ASSERT_TRUE(layout.ok);
		ASSERT_FALSE(layout.sampleFlags.empty());
		for (uint8_t flags : layout.sampleFlags)
			EXPECT_EQ((flags & 0x02) != 0, row.sixteenBit) << "sample width of the variant";
		ModPlugFile *module = LoadModule(bytes);
		ASSERT_NE(module, nullptr);
		// libmodplug counts the order list, up to its end marker.
		EXPECT_EQ(ModPlug_NumPatterns(module), layout.orders.size());
		EXPECT_GE(ModPlug_GetLength(module), row.minMs);
		EXPECT_LE(ModPlug_GetLength(module), row.maxMs);
		EXPECT_GT(RenderRms(module, 2.0), 300.0);
		ModPlug_Unload(module);
	}
}

TEST(MusicModules, WorldModulesHoldEveryCueAtItsOrders)
{
	std::vector<uint8_t> firstOrders;
	for (const char *file : kWorldModules) {
		SCOPED_TRACE(file);
		std::vector<uint8_t> bytes = TempFolder::ReadBytes(BesideExecutable(file));
		ItLayout layout = ReadItLayout(bytes);
		ASSERT_TRUE(layout.ok);
		ASSERT_EQ(layout.orders.size(), kWorldOrders);
		// Both variants share one layout, so both cue lists use the same numbers.
		if (firstOrders.empty())
			firstOrders = layout.orders;
		EXPECT_EQ(layout.orders, firstOrders);
		ModPlugFile *module = LoadModule(bytes);
		ASSERT_NE(module, nullptr);
		for (const CueLayout &cue : kWorldCues) {
			SCOPED_TRACE(cue.name);
			// There is an order past the end, or the player would never see
			// the order number pass the end and loop back.
			ASSERT_LT((size_t)cue.end + 1, layout.orders.size());
			for (int o = cue.start; o <= cue.end; o++)
				EXPECT_LT(layout.orders[o], layout.patterns.size());
			// Seeking straight to the cue plays it at its own tempo, at four
			// rows a beat.
			ModPlug_SeekOrder(module, cue.start);
			EXPECT_GT(RenderRms(module, 1.0), 200.0);
			EXPECT_EQ(ModPlug_GetCurrentOrder(module), cue.start);
			EXPECT_EQ(ModPlug_GetCurrentTempo(module), cue.tempo);
			EXPECT_EQ(ModPlug_GetCurrentSpeed(module), 6);
			// The end order plays into the order after it.
			ModPlug_SeekOrder(module, cue.end);
			RenderRms(module, 0.1);
			EXPECT_EQ(ModPlug_GetCurrentOrder(module), cue.end);
			for (int i = 0; i < 20 && ModPlug_GetCurrentOrder(module) == cue.end; i++)
				RenderRms(module, 1.0);
			EXPECT_EQ(ModPlug_GetCurrentOrder(module), cue.end + 1);
		}
		ModPlug_Unload(module);
	}
}

TEST(MusicModules, CuePatternsSetTheirTempoAndNeverJump)
{
	for (const char *file : kWorldModules) {
		SCOPED_TRACE(file);
		ItLayout layout = ReadItLayout(TempFolder::ReadBytes(BesideExecutable(file)));
		ASSERT_TRUE(layout.ok);
		std::set<int> cuePatterns;
		for (const CueLayout &cue : kWorldCues)
			for (int o = cue.start; o <= cue.end; o++)
				cuePatterns.insert(layout.orders[o]);
		for (size_t p = 0; p < layout.patterns.size(); p++) {
			SCOPED_TRACE(p);
			const auto &rows = layout.patterns[p];
			ASSERT_FALSE(rows.empty());
			if (cuePatterns.count((int)p) != 0) {
				bool tempo = false;
				for (const ItCell &cell : rows[0])
					tempo = tempo || (cell.command == kEffectTempo && cell.param >= 32);
				EXPECT_TRUE(tempo) << "no tempo on the first row";
			}
			for (const auto &row : rows)
				for (const ItCell &cell : row) {
					EXPECT_NE(cell.command, kEffectSpeed);
					EXPECT_NE(cell.command, kEffectJump);
					EXPECT_NE(cell.command, kEffectBreak);
				}
		}
	}
}

TEST(MusicModules, CueListsNameOrdersTheirModulesHold)
{
	for (const char *list : {"data/music.xml", "data/music8.xml"}) {
		SCOPED_TRACE(list);
		const std::string path = BesideExecutable(list);
		ASSERT_TRUE(TempFolder::Exists(path)) << list << " is not in the data tree";
		tinyxml2::XMLDocument document;
		ASSERT_EQ(document.LoadFile(path.c_str()), tinyxml2::XML_SUCCESS);
		const tinyxml2::XMLElement *root = document.FirstChildElement("music");
		ASSERT_NE(root, nullptr);
		std::set<std::string> names;
		for (const tinyxml2::XMLElement *cue = root->FirstChildElement("cue"); cue != nullptr;
		     cue = cue->NextSiblingElement()) {
			const char *save = cue->Attribute("save");
			const char *file = cue->Attribute("file");
			SCOPED_TRACE(save != nullptr ? save : "(unnamed)");
			if (save != nullptr)
				names.insert(save);
			ASSERT_NE(file, nullptr);
			ItLayout layout = ReadItLayout(TempFolder::ReadBytes(BesideExecutable(file)));
			ASSERT_TRUE(layout.ok) << file;
			uint16_t start = 0, end = 0, loop = 0;
			ParseCueNumbers(cue->Attribute("music"), &start, &end, &loop);
			EXPECT_LT(start, layout.orders.size());
			if (end > 0) {
				EXPECT_LE(start, end);
				EXPECT_LT((size_t)end + 1, layout.orders.size()) << "no order after the end";
			}
			if (loop > 0) {
				EXPECT_GE(loop, start);
				EXPECT_LE(loop, end);
			}
		}
		for (const char *needed : {"theme", "start", "fight1", "fight2", "meats"})
			EXPECT_EQ(names.count(needed), 1u) << needed;
	}
}

TEST(ModgenTool, ChordsSpreadOverVoicesOrRepeatAsAnArpeggio)
{
	TempFolder temp;
	ToolRun run = RunModgen(temp, kSongHeader +
	                                  "pattern a 8 tempo 140\n"
	                                  "pad p 4 : c4j47v30 ^\n"
	                                  "drum d 2 : k . x .\n"
	                                  "pattern b 16\n"
	                                  "pad p 16 : e4\n"
	                                  "cue one loop 1 : a b\n"
	                                  "order b\n");
	ASSERT_EQ(run.exitCode, 0) << run.output;
	EXPECT_NE(run.output.find("cue one"), std::string::npos);

	ItLayout full = ReadItLayout(TempFolder::ReadBytes(temp.Path("full.it")));
	ItLayout chip = ReadItLayout(TempFolder::ReadBytes(temp.Path("chip.it")));
	ASSERT_TRUE(full.ok && chip.ok);
	for (const ItLayout *layout : {&full, &chip}) {
		EXPECT_EQ(layout->orders, (std::vector<uint8_t>{0, 1, 1}));
		EXPECT_EQ(layout->instruments, 2);
		ASSERT_EQ(layout->patterns.size(), 2u);
		ASSERT_EQ(layout->patterns[0].size(), 8u);
		ASSERT_EQ(layout->patterns[1].size(), 16u);
		const auto &a = layout->patterns[0];
		// Channels: pad voices 0-2, drum 3, tempo control 4.
		EXPECT_EQ(a[0][4].command, kEffectTempo);
		EXPECT_EQ(a[0][4].param, 140);
		EXPECT_EQ(a[0][3].note, 60);
		EXPECT_EQ(a[0][3].instrument, 2);
		EXPECT_EQ(a[4][3].note, 55);
		for (int v = 0; v < 3; v++)
			EXPECT_EQ(a[4][v].note, kNoteOff) << "key off reaches every voice";
		EXPECT_EQ(a[0][0].note, 48);
		EXPECT_EQ(a[0][0].volume, 30);
	}
	// Full: the chord sounds on three voices at once.
	EXPECT_EQ(full.patterns[0][0][1].note, 52);
	EXPECT_EQ(full.patterns[0][0][2].note, 55);
	EXPECT_EQ(full.patterns[0][0][0].command, 0);
	// Chip: one voice arpeggiates, the command repeated while the chord holds.
	for (int row = 0; row < 4; row++) {
		SCOPED_TRACE(row);
		EXPECT_EQ(chip.patterns[0][row][0].command, kEffectArpeggio);
		EXPECT_EQ(chip.patterns[0][row][0].param, 0x47);
		EXPECT_EQ(chip.patterns[0][row][1].note, -1);
	}
	EXPECT_EQ(chip.patterns[0][5][0].command, 0) << "the arpeggio stops at key off";

	ModPlugFile *module = LoadModule(TempFolder::ReadBytes(temp.Path("full.it")));
	ASSERT_NE(module, nullptr);
	EXPECT_GT(RenderRms(module, 0.5), 300.0);
	ModPlug_Unload(module);
}

TEST(ModgenTool, BadSongsFailAndWriteNothing)
{
	struct Row {
		const char *what, *body, *message;
	};
	const Row rows[] = {
		{"short track", "pattern a 16\npad p 3 : c4\norder a\n", "does not fill"},
		{"unknown phrase", "pattern a 16\npad p = tune\norder a\n", "unknown phrase"},
		{"unknown pattern", "pattern a 16\npad p 16 : c4\norder b\n", "unknown pattern"},
		{"note in drums", "pattern a 16\ndrum d 16 : c4\norder a\n", "a note in a drum track"},
		{"drum in melody", "pattern a 16\npad p 16 : k\norder a\n", "a drum letter"},
		{"missing kit letter", "pattern a 16\ndrum d 16 : z\norder a\n", "has no letter"},
		{"no variant", "instrument q full sine\npattern a 16\npad q 16 : c4\norder a\n", "missing for chip"},
		{"transposed out", "phrase top 16 : b9\npattern a 16\npad p = top+1\norder a\n", "out of range"},
		{"chord out", "pattern a 16\npad p only full 16 : b9j47\norder a\n", "chord note is out of range"},
		{"unknown wave", "instrument w all kazoo\npattern a 16\npad w 16 : c4\norder a\n", "unknown wave"},
		{"loop outside", "pattern a 16\npad p 16 : c4\ncue x loop 2 : a a\n", "outside the cue"},
		{"bad token", "pattern a 16\npad p 16 : c4x\norder a\n", "bad note or drum"},
		{"no orders", "pattern a 16\npad p 16 : c4\n", "orders"},
		{"two tracks", "pattern a 16\npad p 16 : c4\npad p 16 : e4\norder a\n", "two tracks"},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		TempFolder temp;
		ToolRun run = RunModgen(temp, kSongHeader + row.body);
		EXPECT_NE(run.exitCode, 0);
		EXPECT_NE(run.output.find(row.message), std::string::npos) << run.output;
		EXPECT_NE(run.output.find("song.song:"), std::string::npos) << "names the file";
		EXPECT_FALSE(TempFolder::Exists(temp.Path("full.it")));
		EXPECT_FALSE(TempFolder::Exists(temp.Path("chip.it")));
	}
}
