#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/render/PngCheck.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Append(Bytes &bytes, uint32_t length, const char *type, size_t dataBytes)
{
	for (int shift = 24; shift >= 0; shift -= 8)
		bytes.push_back((uint8_t)(length >> shift));
	bytes.insert(bytes.end(), type, type + 4);
	bytes.insert(bytes.end(), dataBytes + 4, 0); // the data and a CRC, which is not checked here
}

Bytes Png(std::initializer_list<const char *> chunks)
{
	Bytes bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
	for (const char *type : chunks) {
		const uint32_t length = strcmp(type, "IHDR") == 0 ? 13 : strcmp(type, "IEND") == 0 ? 0 : 5;
		Append(bytes, length, type, length);
	}
	return bytes;
}

}

TEST(PngCheck, PassesOnlyWholeFiles)
{
	Bytes cut = Png({"IHDR", "IDAT", "IEND"});
	cut.resize(cut.size() - 3);
	Bytes overlong = Png({"IHDR"});
	Append(overlong, 0xffffffffu, "IDAT", 0);
	Bytes shortHeader = Png({});
	Append(shortHeader, 4, "IHDR", 4);
	struct Row {
		const char *what;
		Bytes bytes;
		bool whole;
		const char *reason;
	};
	const Row rows[] = {
		{"whole", Png({"IHDR", "tEXt", "IDAT", "IDAT", "IEND"}), true, nullptr},
		{"ancillary chunk then nothing", Png({"IHDR", "tEXt"}), false, "the PNG file ends before its end chunk"},
		{"no image data", Png({"IHDR", "tEXt", "IEND"}), false, "the PNG file holds no image data"},
		{"cut inside the end chunk", cut, false, "the PNG file ends before its end chunk"},
		{"length past the end", overlong, false, "a PNG chunk runs past the end of the file"},
		{"data before the header", Png({"IDAT", "IHDR", "IEND"}), false, "the PNG file does not begin with its header"},
		{"header of the wrong size", shortHeader, false, "the PNG file does not begin with its header"},
		{"signature alone", Png({}), false, "the PNG file holds no chunks"},
		{"not a PNG", Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0}, false, "not a PNG file"},
		{"nothing", Bytes{}, false, "not a PNG file"},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		const char *reason = nullptr;
		EXPECT_EQ(IsWholePng(row.bytes.data(), row.bytes.size(), &reason), row.whole);
		EXPECT_EQ(reason != nullptr ? std::string(reason) : "", row.reason != nullptr ? row.reason : "");
	}
}
