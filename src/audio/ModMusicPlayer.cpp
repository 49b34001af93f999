#include "audio/ModMusicPlayer.h"

#include <cstring>

#include "engine/core/FileAccess.h"
#include "engine/core/Game.h"
#include "engine/core/Log.h"
#include "engine/core/NameHash.h"
#include "engine/core/LoadClock.h"

namespace {

constexpr int kDeviceFrequency = 44100;     // samples per second
constexpr Uint8 kDeviceChannels = 2;        // stereo
constexpr Uint16 kDeviceBufferFrames = 512; // sample frames per callback
constexpr uint32_t kSecondsPerMinute = 60;
constexpr uint32_t kBytesPerSample = 2;     // signed 16-bit

}

std::atomic<ModMusicPlayer *> ModMusicPlayer::currentPlayer{nullptr};

ModMusicPlayer::DeviceLock::DeviceLock(SDL_AudioDeviceID id)
	: lockedDevice(id)
{
	if (lockedDevice != 0)
		SDL_LockAudioDevice(lockedDevice);
}

ModMusicPlayer::DeviceLock::~DeviceLock()
{
	if (lockedDevice != 0)
		SDL_UnlockAudioDevice(lockedDevice);
}

ModMusicPlayer::ModMusicPlayer()
{
	MakeCurrent(this);
	if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
		CriticalError("Couldn't init audio: %s\n", SDL_GetError());
		muted = 1;
	}
}

ModMusicPlayer::~ModMusicPlayer()
{
	// The callback reads the decks and the modules: the device goes first,
	// and closing it waits for a callback that is under way.
	if (device != 0) {
		SDL_CloseAudioDevice(device);
		device = 0;
	}
	ModMusicPlayer *self = this;
	currentPlayer.compare_exchange_strong(self, nullptr);
	for (MusicDeck &deck : decks)
		deck.module = nullptr;
	for (std::unique_ptr<MusicModule> &module : modules)
		if (module->file != nullptr)
			ModPlug_Unload(module->file);
	modules.clear();
}

ModMusicPlayer *ModMusicPlayer::Instance()
{
	return currentPlayer.load();
}

void ModMusicPlayer::MakeCurrent(ModMusicPlayer *player)
{
	currentPlayer.store(player);
}

bool ModMusicPlayer::OpenDevice()
{
	SDL_AudioSpec wanted;
	SDL_zero(wanted);
	wanted.freq = kDeviceFrequency;
	wanted.format = AUDIO_S16LSB;
	wanted.channels = kDeviceChannels;
	wanted.samples = kDeviceBufferFrames;
	wanted.callback = &ModMusicPlayer::AudioCallback;
	wanted.userdata = this;
	obtainedSpec = std::make_unique<SDL_AudioSpec>();
	SDL_zerop(obtainedSpec.get());
	// No changes allowed: SDL converts to whatever the hardware wants, so the
	// callback always renders the format libmodplug's defaults produce.
	device = SDL_OpenAudioDevice(nullptr, 0, &wanted, obtainedSpec.get(), 0);
	return device != 0;
}

MusicModule *ModMusicPlayer::FindModule(uint16_t key) const
{
	for (const std::unique_ptr<MusicModule> &module : modules)
		if (module->key == key)
			return module.get();
	return nullptr;
}

const MusicModule *ModMusicPlayer::GetModule(size_t index) const
{
	return index < modules.size() ? modules[index].get() : nullptr;
}

MusicModule *ModMusicPlayer::OpenModule(const char *fileName)
{
	const uint16_t key = HashName(fileName);
	if (MusicModule *known = FindModule(key))
		return known;
	const char *shownName = fileName != nullptr ? fileName : "(null)";

	SDL_RWops *stream = OpenFile(fileName, "rb");
	if (stream == nullptr) {
		Log("File cannot be read: %s\n", shownName);
		return nullptr;
	}
	const Sint64 size = SDL_RWsize(stream);
	std::vector<uint8_t> data;
	bool readWhole = size > 0 && size <= INT32_MAX;
	if (readWhole) {
		data.resize((size_t)size);
		readWhole = ReadFileData(stream, data.data(), data.size(), 1) == 1;
	}
	CloseFile(stream);
	if (!readWhole) {
		Log("Mod read error cannot be read: %s: %s\n", shownName, SDL_GetError());
		return nullptr;
	}

	// A device that failed to open stays closed (id 0), so the next load
	// tries again.
	if (device == 0)
		OpenDevice();

	auto module = std::make_unique<MusicModule>();
	module->key = key;
	module->volume = kDefaultModuleVolume;
	LogDebug("SDL Audio device: %i\n", (int)device);
	// libmodplug copies what it needs, so the file's bytes go with this call.
	module->file = ModPlug_Load(data.data(), (int)data.size());
	modules.push_back(std::move(module));
	return modules.back().get();
}

void ModMusicPlayer::ReleaseModules()
{
	{
		DeviceLock lock(device);
		for (MusicDeck &deck : decks)
			deck = MusicDeck();
	}
	// No deck points at a module any more, so the callback cannot reach them.
	for (std::unique_ptr<MusicModule> &module : modules)
		if (module->file != nullptr)
			ModPlug_Unload(module->file);
	modules.clear();
}

const MusicModule *ModMusicPlayer::DefaultModule() const
{
	if (decks[kMainDeck].module != nullptr)
		return decks[kMainDeck].module;
	return modules.empty() ? nullptr : modules.front().get();
}

MusicDeck *ModMusicPlayer::TopDeck()
{
	if (decks[kOverlayDeck].module != nullptr)
		return &decks[kOverlayDeck];
	if (decks[kMainDeck].module != nullptr)
		return &decks[kMainDeck];
	return nullptr;
}

const MusicDeck *ModMusicPlayer::TopDeck() const
{
	return const_cast<ModMusicPlayer *>(this)->TopDeck();
}

bool ModMusicPlayer::IsCueInDeck(int deck, const MusicCue &cue) const
{
	const MusicDeck &d = decks[deck];
	return d.module != nullptr && d.module->key == cue.module && d.cue.startOrder <= cue.startOrder &&
		cue.startOrder < d.cue.endOrder;
}

void ModMusicPlayer::SeekDeck(MusicDeck &deck, uint16_t order)
{
	if (deck.module != nullptr && deck.module->file != nullptr)
		ModPlug_SeekOrder(deck.module->file, order);
}

void ModMusicPlayer::PauseDevice(bool pause)
{
	if (device != 0)
		SDL_PauseAudioDevice(device, pause ? 1 : 0);
}

bool ModMusicPlayer::LoadCueIntoDeck(int deck, const MusicCue &cue)
{
	LoadClock::Timing timing(LoadClock::kMusic);
	MusicDeck &d = decks[deck];
	if (!IsCueInDeck(deck, cue)) {
		MusicModule *module = FindModule(cue.module);
		// A module that libmodplug refused has nothing to play: it counts as
		// missing rather than sitting silent in a deck.
		if (module == nullptr || module->file == nullptr) {
			Log("Can't play music cue - missing mod.\n");
			return false;
		}
		d.module = module;
	}
	d.cue = cue;
	if (d.cue.loopOrder == 0)
		d.cue.loopOrder = d.cue.startOrder;
	LogDebug("Playing cue %i at volume %i\n", (int)cue.id, (int)d.module->volume);
	ModPlug_SetMasterVolume(d.module->file, d.module->volume);
	PauseDevice(false);
	return true;
}

bool ModMusicPlayer::PlayCueByName(const char *name)
{
	return PlayCue(FindCue(name));
}

bool ModMusicPlayer::PlayCue(const MusicCue *cue)
{
	DeviceLock lock(device);
	if (muted != 0) {
		PauseUnlocked();
		return false;
	}
	if (cue == nullptr) {
		Log("Can't play null cue\n");
		return false;
	}
	// The cue may point into the cue list; keep a copy in case anything below
	// changes that list.
	const MusicCue wanted = *cue;
	EndOverlayUnlocked();
	const bool already = IsCueInDeck(kMainDeck, wanted);
	if (!LoadCueIntoDeck(kMainDeck, wanted))
		return false;
	MusicDeck &main = decks[kMainDeck];
	if (!already) {
		main.order = main.cue.startOrder;
		SeekDeck(main, main.order);
		main.rendered = 0;
	}
	playing = 1;
	if (pauseTimer > 0.0f) {
		// The cue waits for the timed pause; when that runs out it must start
		// from its own beginning, not from where the music before it paused.
		if (!already)
			savedOrder = (uint8_t)main.cue.startOrder;
		PauseUnlocked();
	}
	return true;
}

bool ModMusicPlayer::PlayOverlayCue(const MusicCue *cue)
{
	DeviceLock lock(device);
	if (muted != 0 || cue == nullptr)
		return false;
	if (IsMainCueExclusive())
		return false;
	MusicDeck &overlay = decks[kOverlayDeck];
	if (overlay.module != nullptr && cue->startOrder <= overlay.order && overlay.order <= cue->endOrder) {
		playing = 1;
		return true;
	}
	if (!LoadCueIntoDeck(kOverlayDeck, *cue))
		return false;
	overlay.order = overlay.cue.startOrder;
	SeekDeck(overlay, overlay.order);
	overlay.rendered = 0;
	playing = 1;
	return true;
}

void ModMusicPlayer::PlayModule(const char *fileName)
{
	MusicModule *module = OpenModule(fileName);
	if (module == nullptr)
		return;
	MusicCue cue;
	cue.id = HashName(fileName);
	cue.module = module->key;
	DeviceLock lock(device); // held through PlayCue, which takes it again
	if (!LoadCueIntoDeck(kMainDeck, cue))
		return;
	PlayCue(&cue);
}

const MusicCue *ModMusicPlayer::FindCueById(uint16_t id)
{
	for (const MusicCue &cue : cues)
		if (cue.id == id)
			return &cue;
	Log("Can't find cue %i\n", (int)id);
	return nullptr;
}

const MusicCue *ModMusicPlayer::FindCue(const char *name)
{
	const MusicCue *cue = FindCueById(HashName(name));
	if (cue == nullptr)
		Log("Can't find cue %s\n", name != nullptr ? name : "(null)");
	return cue;
}

bool ModMusicPlayer::HasCue(const char *name) const
{
	return HasCueId(HashName(name));
}

bool ModMusicPlayer::HasCueId(uint16_t id) const
{
	if (id == 0)
		return false;
	for (const MusicCue &cue : cues)
		if (cue.id == id)
			return true;
	return false;
}

uint8_t ModMusicPlayer::OrderToSave() const
{
	const MusicDeck *source = decks[kMainDeck].module != nullptr ? &decks[kMainDeck] : TopDeck();
	if (source == nullptr || source->module->file == nullptr)
		return 0;
	return (uint8_t)ModPlug_GetCurrentOrder(source->module->file);
}

void ModMusicPlayer::PauseUnlocked()
{
	if (TopDeck() != nullptr)
		PauseDevice(true);
	else
		playing = 0;
}

void ModMusicPlayer::Pause()
{
	DeviceLock lock(device);
	PauseUnlocked();
}

void ModMusicPlayer::PauseFor(float seconds)
{
	DeviceLock lock(device);
	pauseTimer = seconds;
	PauseUnlocked();
	savedOrder = OrderToSave();
}

void ModMusicPlayer::Resume()
{
	DeviceLock lock(device);
	MusicDeck *top = TopDeck();
	if (top == nullptr)
		return;
	PauseDevice(false);
	playing = 1;
	SeekDeck(*top, savedOrder);
}

void ModMusicPlayer::Update(float seconds)
{
	if (pauseTimer <= 0.0f)
		return;
	pauseTimer -= seconds;
	if (pauseTimer <= 0.0f)
		Resume();
}

void ModMusicPlayer::EndOverlayUnlocked()
{
	if (decks[kOverlayDeck].module == nullptr)
		return;
	PauseDevice(true);
	decks[kOverlayDeck] = MusicDeck();
	// The main cue goes on from the start of the order it had reached.
	MusicDeck &main = decks[kMainDeck];
	if (main.module != nullptr) {
		PauseDevice(false);
		SeekDeck(main, main.order);
	}
}

void ModMusicPlayer::EndOverlayCue()
{
	DeviceLock lock(device);
	EndOverlayUnlocked();
}

void ModMusicPlayer::Stop()
{
	DeviceLock lock(device);
	pauseTimer = 0.0f;
	PauseUnlocked();
	EndOverlayUnlocked();
	for (int deck = kDeckCount - 1; deck >= 0; deck--) {
		if (decks[deck].module == nullptr)
			continue;
		PauseDevice(true);
		decks[deck] = MusicDeck();
	}
}

void ModMusicPlayer::SetMuted(bool mute)
{
	const uint8_t value = mute ? 1 : 0;
	if (muted == value)
		return;
	{
		DeviceLock lock(device);
		muted = value;
		if (mute) {
			// Unmuting goes back to the order playing now, not to whatever an
			// earlier timed pause left behind.
			savedOrder = OrderToSave();
			PauseUnlocked();
			return;
		}
	}
	Resume();
}

void ModMusicPlayer::SetVolume(float factor)
{
	DeviceLock lock(device);
	MusicDeck &main = decks[kMainDeck];
	if (main.module == nullptr || main.module->file == nullptr)
		return;
	ModPlug_SetMasterVolume(main.module->file, (unsigned int)(int)(main.module->volume * factor));
}

bool ModMusicPlayer::IsMainCueExclusive() const
{
	return decks[kMainDeck].module != nullptr && decks[kMainDeck].cue.persistent != 0;
}

uint16_t ModMusicPlayer::CurrentCueId() const
{
	return decks[kMainDeck].cue.id;
}

MusicDeck ModMusicPlayer::GetDeck(int deck) const
{
	if (deck < 0 || deck >= kDeckCount)
		return MusicDeck();
	DeviceLock lock(device);
	return decks[deck];
}

uint32_t ModMusicPlayer::LoopKeepBytes(uint32_t length, uint32_t rendered, uint32_t row, int tempo, uint32_t frequency,
	uint32_t channels)
{
	if (length == 0)
		return 0;
	uint32_t rowBytes = 0;
	if (tempo > 0) {
		const uint32_t beat = frequency * kSecondsPerMinute / (uint32_t)tempo;
		rowBytes = beat * channels / 2; // a row is a quarter beat
	}
	// Without a row size there is no telling where the order began: the
	// buffer stays as rendered and the next one starts at the loop order.
	uint32_t keep = length;
	if (rowBytes > 0) {
		// The bytes rendered since the order after the end began.
		const uint32_t over = rendered % rowBytes + row * rowBytes;
		keep = (length - over) % length;
	}
	// Restart on a whole sample frame, or left and right would swap and the
	// 16-bit samples would be read from their middle.
	const uint32_t frameBytes = (channels > 0 ? channels : kDeviceChannels) * kBytesPerSample;
	return keep - keep % frameBytes;
}

void SDLCALL ModMusicPlayer::AudioCallback(void *userdata, Uint8 *stream, int length)
{
	if (stream == nullptr || length <= 0)
		return;
	// The device hands over whatever its buffer held before: anything not
	// rendered below must be silence.
	memset(stream, 0, (size_t)length);
	ModMusicPlayer *player = static_cast<ModMusicPlayer *>(userdata);
	if (player == nullptr || player != currentPlayer.load())
		return;
	player->Render(stream, (uint32_t)length);
}

void ModMusicPlayer::Render(Uint8 *stream, uint32_t length)
{
	if (muted != 0)
		return;
	Game *game = Game::Get();
	if (game == nullptr || !game->IsRunning())
		return;
	MusicDeck *deck = TopDeck();
	if (deck == nullptr || deck->module->file == nullptr || playing == 0)
		return;
	ModPlugFile *file = deck->module->file;

	int rendered = ModPlug_Read(file, stream, (int)length);
	if (rendered < 0)
		rendered = 0;
	deck->rendered += (uint32_t)rendered;
	deck->order = (uint16_t)ModPlug_GetCurrentOrder(file);

	// The end order plays whole; once the module has gone past it, the part
	// of the buffer that belongs to the order after the end is rendered again
	// from the loop order.
	if (deck->cue.endOrder == 0 || deck->order <= deck->cue.endOrder)
		return;
	const int row = ModPlug_GetCurrentRow(file);
	deck->row = (uint16_t)(row > 0 ? row : 0);
	const uint32_t frequency = obtainedSpec != nullptr ? (uint32_t)obtainedSpec->freq : 0;
	const uint32_t channels = obtainedSpec != nullptr ? obtainedSpec->channels : 0;
	const uint32_t keep =
		LoopKeepBytes(length, deck->rendered, deck->row, ModPlug_GetCurrentTempo(file), frequency, channels);

	ModPlug_SeekOrder(file, deck->cue.loopOrder);
	int again = 0;
	if (keep < length) {
		again = ModPlug_Read(file, stream + keep, (int)(length - keep));
		if (again < 0)
			again = 0;
		if (keep + (uint32_t)again < length)
			memset(stream + keep + again, 0, length - keep - (uint32_t)again);
	}
	deck->rendered = (uint32_t)again;
	deck->order = (uint16_t)ModPlug_GetCurrentOrder(file);
}
