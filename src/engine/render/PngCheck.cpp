#include "engine/render/PngCheck.h"

#include <cstring>

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr size_t kChunkFrame = 12;   // length, type and CRC around the chunk's data
constexpr uint32_t kHeaderLength = 13;

uint32_t ReadBigEndian(const uint8_t *at)
{
	return (uint32_t)at[0] << 24 | (uint32_t)at[1] << 16 | (uint32_t)at[2] << 8 | at[3];
}

bool Fail(const char **reason, const char *text)
{
	if (reason != nullptr)
		*reason = text;
	return false;
}

}

bool IsPngSignature(const uint8_t *data, size_t size)
{
	return data != nullptr && size >= sizeof(kSignature) && memcmp(data, kSignature, sizeof(kSignature)) == 0;
}

bool IsWholePng(const uint8_t *data, size_t size, const char **reason)
{
	if (!IsPngSignature(data, size))
		return Fail(reason, "not a PNG file");
	size_t at = sizeof(kSignature);
	bool first = true;
	bool imageData = false;
	while (size - at >= kChunkFrame) {
		const uint32_t length = ReadBigEndian(data + at);
		const uint8_t *type = data + at + 4;
		if (length > size - at - kChunkFrame)
			return Fail(reason, "a PNG chunk runs past the end of the file");
		if (first && (memcmp(type, "IHDR", 4) != 0 || length != kHeaderLength))
			return Fail(reason, "the PNG file does not begin with its header");
		first = false;
		if (memcmp(type, "IDAT", 4) == 0)
			imageData = true;
		if (memcmp(type, "IEND", 4) == 0)
			return imageData || Fail(reason, "the PNG file holds no image data");
		at += kChunkFrame + length;
	}
	return Fail(reason, first ? "the PNG file holds no chunks" : "the PNG file ends before its end chunk");
}
