#include "audio/SoundFileCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/AudioTestFiles.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A RIFF "WAVE" of the named chunks, each holding dataBytes zero bytes under
// the declared length (when declared is not given, the real one), and a pad
// byte after each chunk of odd length.
struct Chunk {
	const char *name;
	uint32_t dataBytes;
	int64_t declared = -1;
};

Bytes Wave(std::initializer_list<Chunk> chunks)
{
	Bytes bytes;
	audiotest::PutText(bytes, "RIFF");
	audiotest::PutLE32(bytes, 0); // the whole length: not read
	audiotest::PutText(bytes, "WAVE");
	for (const Chunk &chunk : chunks) {
		audiotest::PutText(bytes, chunk.name);
		audiotest::PutLE32(bytes, chunk.declared >= 0 ? (uint32_t)chunk.declared : chunk.dataBytes);
		bytes.insert(bytes.end(), chunk.dataBytes + (chunk.dataBytes & 1), 0);
	}
	return bytes;
}

Bytes Cut(Bytes bytes, size_t fewer)
{
	bytes.resize(bytes.size() - fewer);
	return bytes;
}

Bytes Text(const char *text)
{
	Bytes bytes;
	audiotest::PutText(bytes, text);
	return bytes;
}

}

TEST(SoundFileCheck, PassesOnlyWholeFilesOfTheGamesFormats)
{
	struct Row {
		const char *what;
		Bytes bytes;
		bool whole;
		const char *reason;
	};
	const Row rows[] = {
		{"the test tone", audiotest::MakeWav(100, 1000), true, nullptr},
		{"a list after the samples", Wave({{"fmt ", 16}, {"data", 8}, {"LIST", 6}}), true, nullptr},
		{"odd chunk before the samples, padded", Wave({{"fmt ", 16}, {"LIST", 3}, {"data", 4}}), true, nullptr},
		{"odd last chunk with its pad", Wave({{"fmt ", 16}, {"data", 7}}), true, nullptr},
		{"odd last chunk without its pad", Cut(Wave({{"fmt ", 16}, {"data", 7}}), 1), true, nullptr},
		{"samples claimed past the end", Wave({{"fmt ", 16}, {"data", 8, 0xffffff00}}), false,
		 "a WAV chunk runs past the end of the file"},
		{"samples cut short", Cut(audiotest::MakeWav(100, 1000), 1), false, "a WAV chunk runs past the end of the file"},
		{"format claimed past the end", Wave({{"fmt ", 16, 0x7fffffff}, {"data", 8}}), false,
		 "a WAV chunk runs past the end of the file"},
		{"no samples", Wave({{"fmt ", 16}}), false, "the WAV file holds no samples"},
		{"header alone", Wave({}), false, "the WAV file holds no samples"},
		{"a chunk name cut off", Cut(Wave({{"fmt ", 16}, {"data", 0}}), 4), false, "the WAV file holds no samples"},
		{"an Ogg page mark", Text("OggS"), true, nullptr},
		{"RIFF of another kind", Text("RIFF\4\0\0\0AVI "), false, "not a WAV or Ogg Vorbis file"},
		{"AIFF", Text("FORM\0\0\0\4AIFF"), false, "not a WAV or Ogg Vorbis file"},
		{"too short to name a format", Text("R< +"), false, "not a WAV or Ogg Vorbis file"},
		{"nothing", Bytes{}, false, "not a WAV or Ogg Vorbis file"},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		const char *reason = nullptr;
		EXPECT_EQ(IsWholeSoundFile(row.bytes.data(), row.bytes.size(), &reason), row.whole);
		EXPECT_EQ(reason != nullptr ? std::string(reason) : "", row.reason != nullptr ? row.reason : "");
	}
}
