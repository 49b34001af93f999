#pragma once

#include <cstdint>
#include <memory>

// A short text owned by map data: object and map names, paths, message texts.
// The buffer is allocated at the kind's capacity and always ends in a zero
// byte, so a longer source is cut to capacity - 1 characters. An empty source
// never allocates. Map code compares these texts by name hash, never by
// characters; this class only holds them.
class MapStr {
public:
	MapStr() = default;
	// A null or empty text gives an empty string.
	MapStr(const char *text, uint16_t capacity);
	// A copy keeps the source's capacity, whatever kind it is copied into.
	MapStr(const MapStr &other);
	MapStr(MapStr &&other) noexcept;
	MapStr &operator=(const MapStr &other);
	MapStr &operator=(MapStr &&other) noexcept;
	virtual ~MapStr();

	// The text, or null when the string is empty.
	const char *Get() const { return length != 0 ? text.get() : nullptr; }
	// The text when it is not empty, else the fallback.
	const char *GetOr(const char *fallback) const;
	// The same, for a string that may itself be missing.
	static const char *GetOr(const MapStr *str, const char *fallback);
	// True when the text is not empty.
	bool IsSet() const;
	static bool IsSet(const MapStr *str);
	// Capacity of the buffer in bytes, terminator included; 0 when empty.
	uint16_t Length() const { return length; }

private:
	void CopyFrom(const MapStr &other);
	void Release();

	uint16_t length = 0;
	std::unique_ptr<char[]> text;
};

// Object, entity and map names: at most 15 characters.
class MapName : public MapStr {
public:
	static constexpr uint16_t kCapacity = 16;
	MapName(const char *text = nullptr) : MapStr(text, kCapacity) {}
};

// Paths held in map data: at most 63 characters.
class MapPath : public MapStr {
public:
	static constexpr uint16_t kCapacity = 64;
	MapPath(const char *text = nullptr) : MapStr(text, kCapacity) {}
};

// Message texts of map scripts: at most 255 characters.
class MapMessage : public MapStr {
public:
	static constexpr uint16_t kCapacity = 256;
	MapMessage(const char *text = nullptr) : MapStr(text, kCapacity) {}
};
