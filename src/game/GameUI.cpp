#include "game/GameUI.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "audio/Sound.h"
#include "engine/core/Camera.h"
#include "engine/core/Input.h"
#include "engine/core/Log.h"
#include "engine/core/MathUtil.h"
#include "engine/core/Random.h"
#include "engine/core/StringUtil.h"
#include "engine/render/Renderer.h"
#include "map/MapFiles.h"
#include "objects/CollectableKind.h"
#include "game/GameProgress.h"
#include "game/TalvexGame.h"
#include "game/UIMiniMap.h"

namespace {

GameUI *g_currentUI = nullptr;

constexpr float kW = (float)Renderer::kLogicalWidth;
constexpr float kH = (float)Renderer::kLogicalHeight;

// Text sizes in interface pixels.
constexpr uint8_t kTextSize = 20;
constexpr uint8_t kSmallTextSize = 18; // clock and weight
constexpr float kMessageMargin = 100.0f;     // the message wraps at the screen width less this
constexpr float kMessageBottom = 50.0f;      // the message ends this far above the screen's bottom
constexpr float kTitleGap = 10.0f;           // between the speaker title and the message
constexpr float kPromptInset = 30.0f;        // prompt A's right edge from the screen's right
constexpr float kPromptBottom = 25.0f;
constexpr float kPromptGap = 10.0f;
const glm::vec3 kPromptAColour(0.6f, 0.9f, 0.75f);
const glm::vec3 kPromptBColour(0.9f, 0.7f, 0.7f);
const glm::vec3 kTitleColour(0.8f, 0.8f, 0.5f);
const glm::vec3 kOverWeightColour(1.0f, 0.8f, 0.8f);
const glm::vec3 kMissionGrade(0.5f, 1.6f, 0.5f);

// Pauses after punctuation that a blank follows, as multiples of a step.
constexpr float kStopPause = 25.0f;  // "!", "." and "?"
constexpr float kCommaPause = 8.0f;
constexpr float kDashPause = 16.0f;  // "-", ":" and ";"

constexpr float kMissionShakeStrength = 1.5f;
constexpr float kMissionEndShake = 0.1f;
constexpr float kSilentFirstStep = 100.0f; // sound gate that keeps the first reveal quiet
constexpr float kTypingVolume = 0.6f;
constexpr int kTypingSoundVariants = 3;

// Sheet of the HUD's sprites: 8 x 8 cells.
constexpr const char *kSheetName = "mats/entities-hq.png";
constexpr const char *kSpriteShader = "shaders/sprite.dsh";
constexpr uint8_t kSheetCells = 8;
constexpr uint8_t kStatusRow = 4;
constexpr uint8_t kCoolerColumn = 0;
constexpr uint8_t kFullHeartColumn = 1;
constexpr uint8_t kHalfHeartColumn = 2;
constexpr uint8_t kEmptyHeartColumn = 4;
constexpr float kIconSize = 32.0f;

// Hearts: two rows of six.
constexpr uint8_t kHeartsPerRow = 6;
constexpr float kHeartX = 30.0f, kHeartY = 28.0f, kHeartStepX = 18.0f, kHeartStepY = 20.0f;
constexpr float kHeartScale = 0.75f;
constexpr float kHeartPulseScale = 1.2f;
constexpr float kHeartEaseRate = 0.1f;
constexpr uint32_t kPulsePeriodMs = 500;
constexpr uint32_t kPulseOnMs = 100;
constexpr uint32_t kBlinkOnMs = 250;
constexpr uint8_t kLowHalves = 3; // heart 0 pulses from 1 to this many halves
constexpr uint8_t kMaxHalves = 24;

// Letters across the top, the chain bar under the hearts.
constexpr float kLetterStep = 48.0f;
constexpr float kLetterRowWidth = 192.0f;
constexpr float kLetterRowY = 0.15f; // of the screen height
constexpr float kBarFillWidth = 50.0f, kBarFillHeight = 5.0f;
constexpr float kBarBackWidth = 53.0f, kBarBackHeight = 7.0f;
constexpr float kBarX = 34.0f;
constexpr float kBarRowStep = 48.0f;
constexpr float kBarTop = 60.0f;

void PlaceAt(Entity &entity, float x, float y)
{
	entity.transform.position = Vec3(x, y, 0.0f);
}

bool IsBlank(char c)
{
	return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}

GameUI::GameUI()
	: minimap(std::make_unique<UIMiniMap>())
{
	drawLayer = Entity::kInterfaceLayer;
	g_currentUI = this;
	// Nothing shows until it is given something.
	for (Textbox *box : {&messageBox, &promptABox, &promptBBox, &titleBox, &bannerBox, &weightBox})
		box->SetVisible(false);
	for (Sprite &heart : hearts)
		heart.SetVisible(false);
	for (Sprite *sprite : {&itemIcon, &weightIcon, &barBack, &barFill})
		sprite->SetVisible(false);
	for (Sprite &letter : letters)
		letter.SetVisible(false);
}

GameUI::~GameUI()
{
	if (g_currentUI == this)
		g_currentUI = nullptr;
}

GameUI *GameUI::Current()
{
	return g_currentUI;
}

bool GameUI::IsDisplaying()
{
	return g_currentUI != nullptr && (g_currentUI->IsBusy() || g_currentUI->IsMessageVisible());
}

void GameUI::Init()
{
	uint8_t size = kTextSize;
	uint8_t smallSize = kSmallTextSize;
	Renderer *renderer = GetRenderer();
	if (renderer != nullptr && renderer->IsCurrentPostModeOrtho())
		size = smallSize = GetDefaultFontSize();

	struct BoxSetup {
		Textbox *box;
		glm::vec2 anchor;
		uint8_t size;
		glm::vec3 colour;
	} boxes[] = {
		{&messageBox, {0.5f, 1.0f}, size, glm::vec3(1.0f)},
		{&promptABox, {1.0f, 1.0f}, size, kPromptAColour},
		{&promptBBox, {1.0f, 1.0f}, size, kPromptBColour},
		{&titleBox, {0.5f, 1.0f}, size, kTitleColour},
		{&clockBox, {0.0f, 1.0f}, smallSize, glm::vec3(1.0f)},
		{&weightBox, {1.0f, 1.0f}, smallSize, glm::vec3(1.0f)},
		{&bannerBox, {0.5f, 0.5f}, size, glm::vec3(1.0f)},
	};
	for (const BoxSetup &setup : boxes) {
		setup.box->SetAnchor(setup.anchor);
		setup.box->SetFontSize(setup.size);
		setup.box->SetColor(setup.colour);
		setup.box->Init();
	}
	messageBox.SetVisibleChars(1);

	spriteMaterial = Material::Get(kSheetName, kSpriteShader);
	for (Sprite &heart : hearts) {
		heart.SetMaterial(spriteMaterial);
		heart.SetSize(kIconSize, kIconSize);
		heart.SetFrame(kFullHeartColumn, kStatusRow, kSheetCells, kSheetCells);
		heart.SetVisible(true);
		heart.Init();
	}
	itemIcon.SetMaterial(spriteMaterial);
	itemIcon.SetSize(kIconSize, kIconSize);
	itemIcon.Init();
	weightIcon.SetMaterial(spriteMaterial);
	weightIcon.SetSize(kIconSize, kIconSize);
	weightIcon.SetFrame(kCoolerColumn, kStatusRow, kSheetCells, kSheetCells);
	weightIcon.Init();
	// The shown status is drawn again from the next record the player sends.
	halves = maxHalves = weight = 0;
	heldKind = 0;

	minimap->Init();
	minimap->Start();

	barFill.SetTexture("mats/tri.png");
	barFill.SetSize(kBarFillWidth, kBarFillHeight);
	barBack.SetTexture("mats/tri.png");
	barBack.SetSize(kBarBackWidth, kBarBackHeight);
	barBack.SetColor(glm::vec3(0.0f));
	barFill.Init();
	barBack.Init();

	lingerLimit = GameProgress::Difficulty() == kDifficultyBrutal ? kBrutalLingerSeconds : kLingerSeconds;

	for (uint8_t i = 0; i < kLetterCount; i++) {
		char name[32];
		snprintf(name, sizeof(name), "mats/letter%i.png", i + 1);
		letters[i].SetTexture(name);
		letters[i].SetSize(kIconSize, kIconSize);
		letters[i].SetPivot(glm::vec2(0.5f, 0.5f));
		letters[i].SetVisible(false);
		letters[i].Init();
	}
	letterTime = 0.0f;
	setUp = 1;
}

// --- Messages -----------------------------------------------------------

void GameUI::BeginMessage(const char *title, const char *text, float seconds, uint8_t kind)
{
	HidePrompts();
	messageVisible = 1;
	typing = 1;
	messageKind = kind;
	baseSpeed = kPlainSpeed;
	waviness = 0.0f;
	if (kind == kKindMission) {
		baseSpeed = kSpeechSpeed;
		if (Camera *camera = Camera::Get())
			camera->ShakeTimed(seconds, kMissionShakeStrength);
		if (Renderer *renderer = GetRenderer())
			renderer->SetColorGrade(kMissionGrade.x, kMissionGrade.y, kMissionGrade.z);
	}
	currentSpeed = baseSpeed;
	soundGate = kind == kKindNotice || kind == kKindMission ? kSilentFirstStep : 0.0f;
	messageDuration = seconds;
	typingDelay = 0.0f;
	typedTime = 0.0f;
	lingerTime = 0.0f;

	messageBox.SetWrapWidth(kW - kMessageMargin);
	messageBox.SetText(text);
	if (text != nullptr && text[0] != '\0') {
		messageTime = seconds;
	} else {
		messageTime = 0.0f;
		messageVisible = 0;
	}
	if (title != nullptr) {
		titleBox.SetWrapWidth(kW - kMessageMargin);
		titleBox.SetText(title);
		titleBox.SetVisible(true);
	} else {
		titleBox.SetVisible(false);
	}
	shownChars = 1;
	messageBox.SetVisibleChars(shownChars);
	skipRequested = 0;
	if (title != nullptr && title[0] != '\0')
		LogDebug("HUD: %s: %s\n", title, messageBox.GetText());
	else
		LogDebug("HUD: %s\n", messageBox.GetText());
}

void GameUI::ShowMessage(const char *text, float seconds, uint8_t kind)
{
	BeginMessage(nullptr, text, seconds, kind);
	// A question stays a question however it is shown, so that it can be
	// answered "No".
	messageState = kind == kKindPrompt ? kMessageQuestion : kMessagePlain;
}

void GameUI::ShowTitledMessage(const char *title, const char *text, float seconds, uint8_t kind)
{
	BeginMessage(title != nullptr ? title : "", text, seconds, kind);
	speech = 0;
	messageState = kind == kKindPrompt ? kMessageQuestion : kMessagePlain;
}

void GameUI::ShowSpeech(const char *speaker, const char *text, float seconds, uint8_t kind)
{
	// Not through ShowTitledMessage: a HUD that overrides one kind of message
	// must not see speech arrive as the other.
	BeginMessage(speaker != nullptr ? speaker : "", text, seconds, kind);
	speech = 1;
	messageState = kind == kKindPrompt ? kMessageQuestion : kMessagePlain;
	baseSpeed = currentSpeed = kSpeechSpeed;
}

void GameUI::ShowPrompt(const char *label)
{
	SkipTyping();
	promptABox.SetWrapWidth(kW - kMessageMargin);
	promptABox.SetText(label);
	promptABox.SetVisible(true);
	promptBBox.SetVisible(false);
	messageTime = kPromptSeconds;
	speech = 0;
}

void GameUI::ShowChoice(const char *yesLabel, const char *noLabel)
{
	SkipTyping();
	promptABox.SetWrapWidth(kW - kMessageMargin);
	promptABox.SetText(yesLabel);
	promptBBox.SetWrapWidth(kW - kMessageMargin);
	promptBBox.SetText(noLabel);
	promptABox.SetVisible(true);
	promptBBox.SetVisible(true);
	messageTime = kPromptSeconds;
}

void GameUI::ShowBanner(const char *text)
{
	if (text == nullptr || text[0] == '\0') {
		messageTime = 0.0f;
		CloseMessage();
		return;
	}
	bannerBox.SetText(text);
	bannerBox.SetVisible(true);
	bannerTime = kBannerSeconds;
	LogDebug("HUD banner: %s\n", text);
}

void GameUI::CloseMessage()
{
	titleBox.SetVisible(false);
	messageVisible = 0;
	HidePrompts();
	typing = 0;
	skipRequested = 0;
	speech = 0;
	minimap->Refresh();
	bannerTime = 0.0f;
	bannerBox.SetVisible(false);
	if (Renderer *renderer = GetRenderer())
		renderer->SetColorGrade(1.0f, 1.0f, 1.0f);
}

void GameUI::HidePrompts()
{
	promptABox.SetVisible(false);
	promptBBox.SetVisible(false);
}

void GameUI::SkipTyping()
{
	if (typing == 0 || messageKind == kKindMission)
		return;
	typing = 0;
	skipRequested = 0;
	shownChars = (uint16_t)(strnlen(messageBox.GetText(), Textbox::kMaxTextLength) + 1);
	messageBox.SetVisibleChars(0); // everything
	waviness = 0.0f;
	if (Renderer *renderer = GetRenderer())
		renderer->SetColorGrade(1.0f, 1.0f, 1.0f);
}

void GameUI::RequestSkipTyping()
{
	if (typing != 0 && messageKind != kKindMission)
		skipRequested = 1;
}

bool GameUI::IsActionHeld() const
{
	const Input *source = input != nullptr ? input : Input::Get();
	return source != nullptr && source->IsActionDown(kActionAttack);
}

float GameUI::StepDelay(uint32_t length) const
{
	float step = kSecondsPerLetter / currentSpeed;
	// Look ahead only inside the text: past its end there is no blank.
	const uint32_t next = (uint32_t)shownChars + 1;
	const uint32_t after = next + 1;
	if (after >= length)
		return step;
	const char *text = messageBox.GetText();
	if (!IsBlank(text[after]))
		return step;
	switch (text[next]) {
	case '!':
	case '.':
	case '?':
		return step * kStopPause;
	case ',':
		return step * kCommaPause;
	case '-':
	case ':':
	case ';':
		return step * kDashPause;
	default:
		return step;
	}
}

bool GameUI::RevealSteps(float dt, uint32_t length)
{
	if (typingDelay > 0.0f && shownChars < length) {
		typingDelay -= dt;
		return false;
	}
	for (;;) {
		if (shownChars <= length)
			shownChars++;
		const float step = StepDelay(length);
		const bool pause = step > kSecondsPerLetter / currentSpeed;
		typingDelay += step;
		if (pause || typingDelay > 0.0f || (uint32_t)shownChars + 2 >= length)
			break;
	}
	return true;
}

void GameUI::UpdateMessage(float dt)
{
	if (messageVisible != 0) {
		messageBox.waviness = waviness;
		messageBox.GetLength(); // lays out, for its height
		PlaceAt(messageBox, kW / 2.0f, kH - kMessageBottom);
		PlaceAt(titleBox, kW / 2.0f, kH - kMessageBottom - messageBox.GetHeight() - kTitleGap);
	}
	// The prompts sit in the bottom-right corner, under the message too.
	if (promptABox.IsVisible()) {
		PlaceAt(promptABox, kW - kPromptInset, kH - kPromptBottom);
		if (promptBBox.IsVisible()) {
			// Both are anchored at their right edges, so B clears A's width.
			promptABox.GetLength(); // lays out, for its width
			PlaceAt(promptBBox, kW - kPromptInset - promptABox.GetWidth() - kPromptGap, kH - kPromptBottom);
		}
	}
	if (typing == 0)
		return;

	// Counted on the text itself, which the box keeps whether or not it has
	// a font to lay it out with.
	const uint32_t length = (uint32_t)strnlen(messageBox.GetText(), Textbox::kMaxTextLength);
	if (messageKind == kKindMission) {
		// An even pace over the message's time; no time at all shows it whole.
		// The count is clamped while still a float.
		float count = (float)length + 1.0f;
		if (messageDuration > 0.0f)
			count = typedTime > 0.0f ? (float)length * (typedTime / messageDuration) : 0.0f;
		count = Clamp(count, 0.0f, (float)length + 1.0f);
		shownChars = (uint16_t)count;
	} else if (!RevealSteps(dt, length)) {
		return;
	}
	if (shownChars < 1)
		shownChars = 1;
	messageBox.SetVisibleChars((uint16_t)(shownChars < length ? shownChars : length));

	if (shownChars <= length) {
		lingerTime = 0.0f;
		if (soundGate <= 0.0f && shownChars < length && messageKind != kKindMission) {
			char name[32];
			const int variant = 1 + (int)(GetRandom()->Next() % kTypingSoundVariants);
			snprintf(name, sizeof(name), speech != 0 ? "sfx/talk%i.wav" : "sfx/write%i.wav", variant);
			lastTypingSound = name;
			if (Sound *sound = Sound::Instance())
				sound->Play(name, kTypingVolume, 0.0f, 0);
			soundGate = 1.0f;
		} else {
			soundGate = 0.0f;
		}
		return;
	}
	lingerTime += dt;
	if (lingerTime > lingerLimit) {
		typing = 0;
		waviness = 0.0f;
		if (Renderer *renderer = GetRenderer())
			renderer->SetColorGrade(1.0f, 1.0f, 1.0f);
		if (messageKind == kKindMission)
			if (Camera *camera = Camera::Get())
				camera->Shake(kMissionEndShake);
	}
}

// --- The frame ----------------------------------------------------------

void GameUI::UpdateHearts(float dt)
{
	const uint32_t playMs = TalvexGame::Current().PlayTimeMs();
	for (uint8_t i = 0; i < kHeartCount; i++) {
		PlaceAt(hearts[i], kHeartX + kHeartStepX * (float)(i % kHeartsPerRow),
			kHeartY + kHeartStepY * (float)(i / kHeartsPerRow));
		float target = kHeartScale;
		if (i == 0 && halves >= 1 && halves <= kLowHalves && playMs % kPulsePeriodMs < kPulseOnMs)
			target = kHeartPulseScale;
		float scale = LerpClamped(hearts[i].transform.scale.x, target, SmoothFactor(kHeartEaseRate, dt));
		hearts[i].transform.SetUniformScale(scale);
	}
}

void GameUI::Update(float dt)
{
	TalvexGame &game = TalvexGame::Current();
	clockOn = game.OptionFlag();
	PlaceAt(clockBox, 20.0f, kH - 20.0f);
	if (clockOn != 0) {
		char clock[kDurationTextSize];
		FormatDuration(clock, game.PlayTimeMs());
		clockBox.SetText(clock);
	}

	UpdateHearts(dt);
	PlaceAt(itemIcon, kW - 60.0f, 55.0f);
	PlaceAt(weightIcon, kW - 56.0f, 30.0f);
	PlaceAt(weightBox, kW - 56.0f, 30.0f + 16.0f);
	const bool blink = overWeight != 0 && game.PlayTimeMs() % kPulsePeriodMs < kBlinkOnMs;
	weightBox.SetColor(blink ? kOverWeightColour : glm::vec3(1.0f));

	const float barY = (float)((maxHalves / 12) / 2 + 1) * kBarRowStep + kBarTop;
	PlaceAt(barFill, kBarX, barY);
	PlaceAt(barBack, kBarX - 1.0f, barY - 1.0f);

	currentSpeed = skipRequested != 0 && IsActionHeld() ? kHurriedSpeed : baseSpeed;
	typedTime += dt * currentSpeed;
	UpdateMessage(dt);

	if (letterTime > 0.0f) {
		letterTime -= dt;
		for (uint8_t i = 0; i < kLetterCount; i++)
			PlaceAt(letters[i], (kW - kLetterRowWidth) / 2.0f + kLetterStep * (float)i, kLetterRowY * kH);
		if (letterTime < 0.0f)
			HideLetters();
	}

	if (bannerTime > 0.0f) {
		bannerBox.SetWrapWidth(kW - kMessageMargin);
		PlaceAt(bannerBox, kW / 2.0f, kH / 2.0f);
		bannerTime -= dt;
	}
	if (bannerTime <= 0.0f)
		bannerBox.SetVisible(false);

	if (messageVisible != 0 && messageTime > 0.0f && typing == 0)
		messageTime -= dt;
	minimap->Update(dt);
}

void GameUI::Render()
{
	Renderer *renderer = GetRenderer();
	if (renderer == nullptr || setUp == 0)
		return;
	renderer->SetRenderMode(Renderer::kRenderModeDepthless);
	if (bannerTime > 0.0f) {
		bannerBox.Render();
		return;
	}
	if (messageTime > 0.0f) {
		for (Textbox *box : {&promptABox, &promptBBox, &titleBox})
			if (box->IsVisible())
				box->Render();
		if (messageVisible != 0)
			messageBox.Render();
	}
	if (clockOn != 0)
		clockBox.Render();
	for (int i = kHeartCount - 1; i >= 0; i--)
		if (hearts[i].IsVisible())
			hearts[i].Render();
	for (Sprite &letter : letters)
		if (letter.IsVisible())
			letter.Render();
	if (itemIcon.IsVisible())
		itemIcon.Render();
	if (weightIcon.IsVisible()) {
		weightIcon.Render();
		weightBox.Render();
	}
	if (messageVisible == 0 && shotMap != 0)
		minimap->Render();
	if (barBack.IsVisible()) {
		barBack.Render();
		barFill.Render();
	}
}

// --- Status and extras --------------------------------------------------

void GameUI::SetPlayerStatus(const PlayerStats &stats, uint8_t chainValue)
{
	const uint8_t current = stats.hearts < kMaxHalves ? stats.hearts : kMaxHalves;
	if (current != halves) {
		halves = current;
		maxHalves = stats.maxHearts;
		for (uint8_t i = 0; i < kHeartCount; i++) {
			const int twice = 2 * i;
			hearts[i].SetVisible(twice < maxHalves);
			uint8_t column = kEmptyHeartColumn;
			if (twice + 1 == halves)
				column = kHalfHeartColumn;
			else if (twice < halves)
				column = kFullHeartColumn;
			hearts[i].SetFrame(column, kStatusRow, kSheetCells, kSheetCells);
		}
	}
	if (stats.heldKind != heldKind) {
		heldKind = stats.heldKind;
		if (heldKind != 0) {
			const uint16_t cell = EntityKindToIndex(heldKind);
			itemIcon.SetFrameIndex((uint8_t)(cell % (kSheetCells * kSheetCells)), kSheetCells, kSheetCells);
		}
		itemIcon.SetVisible(heldKind != 0);
	}
	if (stats.weight != weight) {
		weight = stats.weight;
		weightBox.SetTextFormat("%i.%ikg", weight / 10, weight % 10);
		weightBox.SetVisible(weight != 0);
		weightIcon.SetVisible(weight != 0);
	}
	overWeight = stats.weight >= stats.GetMaxWeight() ? 1 : 0;
	chain = chainValue < kMaxChain ? chainValue : kMaxChain;
	barFill.transform.scale.x = (float)chain / (float)kMaxChain;
	barFill.SetVisible(chain != 0);
	barBack.SetVisible(chain != 0);
}

void GameUI::ShowLetters()
{
	letterTime = kLetterRowSeconds;
	for (uint8_t n = 1; n <= kLetterCount; n++)
		letters[n - 1].SetVisible(GameProgress::FlagId(CollectableFlagHash("letter", n)));
}

void GameUI::HideLetters()
{
	letterTime = 0.0f;
	for (Sprite &letter : letters)
		letter.SetVisible(false);
}

void GameUI::RefreshShotMap()
{
	shotMap = GameProgress::Flag("shotmap") ? 1 : 0;
	minimap->Refresh();
}
