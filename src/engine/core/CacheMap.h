#pragma once

#include <cstdint>
#include <limits>
#include <map>

#include "engine/core/Log.h"
#include "engine/core/NameHash.h"

// A holder's reference to a shared resource: the object and the key under
// which its cache keeps it. Key 0 marks an object that no cache manages (a
// handle made around a bare pointer); releasing such a handle does nothing.
// A plain value, copied freely.
template <typename T>
class CacheHandle {
public:
	CacheHandle() = default;
	CacheHandle(T *object, uint16_t key) : object(object), key(key) {}

	T *Get() const { return object; }
	uint16_t GetKey() const { return key; }
	bool IsValid() const { return object != nullptr; }

	T *object = nullptr;
	uint16_t key = 0;
};

// A name-keyed cache of shared drawing resources (fonts, materials, model
// readers), one per resource type. It counts the holders of each object, but
// never destroys anything: an entry whose count falls to zero stays, with its
// object, and is handed out again by the next lookup. Keys are chosen by the
// callers (usually a name hash), and the first object cached under a key wins.
// Main thread only.
template <typename T>
class CacheMap {
public:
	using Handle = CacheHandle<T>;

	virtual ~CacheMap() = default;

	// The program-wide cache of this type, built on first use.
	static CacheMap &GetInstance()
	{
		static CacheMap instance;
		return instance;
	}

	// Counts one more user and returns the cached handle, or the null handle
	// (invalid, key 0) when the key is not cached.
	const Handle &Find(uint16_t key)
	{
		auto found = entries.find(key);
		if (found == entries.end()) {
			return NullHandle();
		}
		Entry &entry = found->second;
		// A count that cannot grow any further stops; objects are never freed
		// through the cache, so a saturated count only keeps one alive.
		if (entry.users < std::numeric_limits<int16_t>::max()) {
			++entry.users;
		}
		return entry.handle;
	}

	const Handle &FindByName(const char *name) { return Find(HashName(name)); }

	// Stores the object under the key with no users yet: the creator takes its
	// first use through the Find that follows. A key already cached is never
	// replaced; then false is returned and the object stays the caller's.
	bool Insert(uint16_t key, T *object)
	{
		if (entries.count(key) != 0) {
			Log("Cache replace not allowed!");
			return false;
		}
		entries.emplace(key, Entry{Handle(object, key), 0});
		return true;
	}

	bool InsertByName(const char *name, T *object) { return Insert(HashName(name), object); }

	// One more user for a holder that copies an existing handle.
	const Handle &Share(const Handle &handle) { return Find(handle.key); }

	// The first key after the handle's own (wrapping within 16 bits) with no
	// entry, for caching a modified copy beside its source. 0 when every key is
	// taken.
	uint16_t NextFreeKey(const Handle &handle) const
	{
		constexpr uint32_t kKeyCount = 65536; // distinct 16-bit keys
		uint16_t key = handle.key;
		for (uint32_t step = 0; step < kKeyCount; ++step) {
			++key;
			if (entries.count(key) == 0) {
				return key;
			}
		}
		return 0;
	}

	// Gives one use back. False for a handle the cache does not manage (key 0,
	// no object, or a key it does not hold); the count never goes below zero.
	// The handle itself is left for the holder to reset.
	bool Release(const Handle &handle)
	{
		if (handle.key == 0 || handle.object == nullptr || entries.empty()) {
			return false;
		}
		auto found = entries.find(handle.key);
		if (found == entries.end()) {
			LogDebug("Unmanaged instance\n");
			return false;
		}
		Entry &entry = found->second;
		if (entry.users > 0) {
			--entry.users;
		} else if (entry.users < 0) {
			Log("Negative users.");
		}
		return true;
	}

	// The number of holders of a key; 0 when the key is not cached.
	int16_t GetUsers(uint16_t key) const
	{
		auto found = entries.find(key);
		return found == entries.end() ? 0 : found->second.users;
	}

private:
	struct Entry {
		Handle handle;
		int16_t users = 0;
	};

	static const Handle &NullHandle()
	{
		static const Handle nullHandle;
		return nullHandle;
	}

	std::map<uint16_t, Entry> entries;
};
