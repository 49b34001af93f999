// The props, pickups, doors, switches and the fireplace of the world: each a
// handful of boxes on one root joint (the cupboard's door has a joint of its
// own, which its "open" and "shut" animations swing). Every face shows the
// whole of the prop's texture, so one model suits any of its textures (the
// fire and ice swords share one). Sizes are in world units: doors and gates
// hinge at their origin and reach one tile (2 units) along +X; rock blocks
// are 1.5 high, the depth they sink.
#include "Models.h"

#include "../ModelBuilder.h"

#include <glm/gtc/quaternion.hpp>

#include <vector>

namespace {

constexpr float kPi = 3.14159265358979f;

// One box: bottom and top rectangles (centre and half sizes along X and Y),
// on joint 0 unless said otherwise.
struct Piece {
	glm::vec3 bottom;
	glm::vec2 bottomHalf;
	glm::vec3 top;
	glm::vec2 topHalf;
	int joint = 0;
};

// An upright box standing on z0 with its middle at (x, y).
Piece Block(float x, float y, float z0, float z1, float hx, float hy, int joint = 0)
{
	return {{x, y, z0}, {hx, hy}, {x, y, z1}, {hx, hy}, joint};
}

// A box narrowing (or widening) from bottom to top.
Piece Taper(float x, float y, float z0, float z1, glm::vec2 bottomHalf, glm::vec2 topHalf)
{
	return {{x, y, z0}, bottomHalf, {x, y, z1}, topHalf, 0};
}

void AddPieces(ModelBuilder *b, const std::vector<Piece> &pieces)
{
	const AtlasRect whole = {0, 0, 1, 1};
	for (const Piece &piece : pieces) {
		BoxShape box;
		box.bottom = piece.bottom;
		box.bottomHalf = piece.bottomHalf;
		box.top = piece.top;
		box.topHalf = piece.topHalf;
		box.skin = BoxSkin::All(whole);
		box.bottomRing = box.topRing = {piece.joint, -1, 0.0f};
		b->AddBox(box);
	}
}

bool BuildPieces(const char *name, const std::vector<Piece> &pieces, IqmModel *out, std::string *error)
{
	ModelBuilder b(1, 1); // the texture's whole span
	b.AddJoint("B_Root", -1, {0, 0, 0});
	AddPieces(&b, pieces);
	return b.Finish(name, name, out, error);
}

std::vector<Piece> HutBody()
{
	return {
		Block(0, 0, 0, 1.0f, 1.05f, 0.6f),
		// The roof's ridge runs along X.
		Taper(0, 0, 1.0f, 1.7f, {1.2f, 0.75f}, {1.2f, 0.02f}),
		Block(0, -0.61f, 0, 0.75f, 0.25f, 0.02f), // the door
	};
}

// A door leaf of one tile from the hinge at the origin along +X.
std::vector<Piece> DoorLeaf(float thickness, float height)
{
	return {Block(1.0f, 0, 0, height, 1.0f, thickness)};
}

} // namespace

bool BuildHut(IqmModel *out, std::string *error)
{
	return BuildPieces("hut", HutBody(), out, error);
}

bool BuildHutStore(IqmModel *out, std::string *error)
{
	std::vector<Piece> pieces = HutBody();
	pieces.push_back(Block(0, -0.75f, 0, 0.5f, 0.8f, 0.15f));           // the counter
	pieces.push_back(Block(0, -0.8f, 0.95f, 1.05f, 1.15f, 0.25f));      // the awning
	return BuildPieces("hutstore", pieces, out, error);
}

bool BuildTable(IqmModel *out, std::string *error)
{
	std::vector<Piece> pieces = {Block(0, 0, 0.95f, 1.05f, 0.6f, 0.75f)};
	for (float x : {-0.5f, 0.5f})
		for (float y : {-0.65f, 0.65f})
			pieces.push_back(Block(x, y, 0, 0.95f, 0.06f, 0.06f));
	return BuildPieces("table", pieces, out, error);
}

bool BuildShelf(IqmModel *out, std::string *error)
{
	std::vector<Piece> pieces = {Block(0, 0.25f, 0, 2.0f, 1.0f, 0.05f)}; // the back
	for (float z : {0.05f, 0.7f, 1.35f, 1.95f})
		pieces.push_back(Block(0, 0, z - 0.05f, z + 0.05f, 1.0f, 0.3f));
	pieces.push_back(Block(-0.95f, 0, 0, 2.0f, 0.05f, 0.3f));
	pieces.push_back(Block(0.95f, 0, 0, 2.0f, 0.05f, 0.3f));
	return BuildPieces("shelf", pieces, out, error);
}

bool BuildCupboard(IqmModel *out, std::string *error)
{
	ModelBuilder b(1, 1);
	const int root = b.AddJoint("B_Root", -1, {0, 0, 0});
	// The door hinges at the front right corner (the model's right is -X).
	const int door = b.AddJoint("B_Door", root, {-0.9f, -0.5f, 0});
	AddPieces(&b, {
		Block(0, 0, 0, 2.0f, 0.9f, 0.45f),
		Block(0, -0.5f, 0.05f, 1.95f, 0.88f, 0.04f, door),
		Block(0.6f, -0.56f, 0.9f, 1.1f, 0.05f, 0.03f, door), // the knob
	});
	auto swing = [](float from, float to) {
		return [from, to](float t, SkeletonPose *pose) {
			const float angle = from + (to - from) * t;
			pose->rotation[1] = glm::angleAxis(angle * kPi / 180.0f, glm::vec3(0, 0, 1));
		};
	};
	b.AddAnimation("open", 8, 40, false, swing(0.0f, -110.0f));
	b.AddAnimation("shut", 8, 40, false, swing(-110.0f, 0.0f));
	return b.Finish("cupboard", "cupboard", out, error);
}

bool BuildBench(IqmModel *out, std::string *error)
{
	return BuildPieces("bench",
		{Block(0, 0, 0.4f, 0.5f, 1.0f, 0.3f), Block(-0.8f, 0, 0, 0.4f, 0.08f, 0.25f),
			Block(0.8f, 0, 0, 0.4f, 0.08f, 0.25f)},
		out, error);
}

bool BuildBed(IqmModel *out, std::string *error)
{
	return BuildPieces("bed",
		{Block(0, 0, 0, 0.5f, 0.75f, 1.0f), Block(0, -0.75f, 0.5f, 0.65f, 0.6f, 0.2f),
			Block(0, 1.0f, 0, 0.9f, 0.75f, 0.06f)},
		out, error);
}

bool BuildScroll(IqmModel *out, std::string *error)
{
	return BuildPieces("scroll",
		{Block(0, 0, 0, 0.25f, 0.5f, 0.12f), Block(-0.55f, 0, 0, 0.3f, 0.05f, 0.15f),
			Block(0.55f, 0, 0, 0.3f, 0.05f, 0.15f)},
		out, error);
}

bool BuildSign(IqmModel *out, std::string *error)
{
	return BuildPieces("sign", {Block(0, 0, 0, 1.2f, 0.06f, 0.06f), Block(0, -0.08f, 0.9f, 1.5f, 0.6f, 0.04f)}, out,
		error);
}

bool BuildPlank(IqmModel *out, std::string *error)
{
	return BuildPieces("plank", {Block(0, 0, -0.1f, 0.1f, 1.0f, 1.0f)}, out, error);
}

bool BuildRoof(IqmModel *out, std::string *error)
{
	return BuildPieces("roof", {Block(0, 0, -0.1f, 0.1f, 1.0f, 1.0f)}, out, error);
}

bool BuildDragonCoin(IqmModel *out, std::string *error)
{
	return BuildPieces("dragoncoin", {Block(0, 0, 0, 0.8f, 0.4f, 0.06f), Block(0, 0, 0.2f, 0.6f, 0.2f, 0.08f)}, out,
		error);
}

bool BuildCooler(IqmModel *out, std::string *error)
{
	return BuildPieces("cooler",
		{Block(0, 0, 0, 0.7f, 0.5f, 0.35f), Block(0, 0, 0.7f, 0.85f, 0.55f, 0.4f), Block(0, 0, 0.85f, 1.0f, 0.3f, 0.05f)},
		out, error);
}

bool BuildKey(IqmModel *out, std::string *error)
{
	return BuildPieces("key",
		{Block(0, 0, 0, 1.0f, 0.06f, 0.06f), Block(0, 0, 1.0f, 1.3f, 0.2f, 0.05f), Block(0.12f, 0, 0.05f, 0.25f, 0.12f, 0.04f)},
		out, error);
}

bool BuildSwordSword(IqmModel *out, std::string *error)
{
	return BuildPieces("swordsword",
		{Block(0, 0, 0, 0.3f, 0.06f, 0.06f), Block(0, 0, 0.3f, 0.4f, 0.4f, 0.06f),
			Taper(0, 0, 0.4f, 3.0f, {0.12f, 0.03f}, {0.04f, 0.02f})},
		out, error);
}

bool BuildSwordAxe(IqmModel *out, std::string *error)
{
	return BuildPieces("swordaxe", {Block(0, 0, 0, 2.5f, 0.06f, 0.06f), Block(0.3f, 0, 1.8f, 2.5f, 0.3f, 0.04f)}, out,
		error);
}

bool BuildSwordFire(IqmModel *out, std::string *error)
{
	return BuildPieces("swordfire",
		{Block(0, 0, 0, 0.3f, 0.06f, 0.06f), Block(0, 0, 0.3f, 0.45f, 0.5f, 0.08f),
			Taper(0, 0, 0.45f, 3.0f, {0.18f, 0.04f}, {0.02f, 0.02f})},
		out, error);
}

bool BuildSwordElectric(IqmModel *out, std::string *error)
{
	return BuildPieces("swordelectric",
		{Block(0, 0, 0, 0.3f, 0.06f, 0.06f), Block(0, 0, 0.3f, 0.4f, 0.4f, 0.06f),
			{{0, 0, 0.4f}, {0.1f, 0.03f}, {0.15f, 0, 1.3f}, {0.1f, 0.03f}, 0},
			{{0.15f, 0, 1.3f}, {0.1f, 0.03f}, {-0.1f, 0, 2.2f}, {0.08f, 0.03f}, 0},
			{{-0.1f, 0, 2.2f}, {0.08f, 0.03f}, {0.05f, 0, 3.0f}, {0.02f, 0.02f}, 0}},
		out, error);
}

bool BuildDress(IqmModel *out, std::string *error)
{
	return BuildPieces("dress", {Taper(0, 0, 0, 1.0f, {0.6f, 0.5f}, {0.25f, 0.2f}), Block(0, 0, 1.0f, 1.6f, 0.25f, 0.18f)},
		out, error);
}

bool BuildLetter(IqmModel *out, std::string *error)
{
	return BuildPieces("letter", {Block(0, 0, 0, 0.7f, 0.5f, 0.05f)}, out, error);
}

bool BuildTri(IqmModel *out, std::string *error)
{
	return BuildPieces("tri", {Taper(0, 0, 0, 0.9f, {0.5f, 0.08f}, {0.02f, 0.08f})}, out, error);
}

bool BuildPuzzle(IqmModel *out, std::string *error)
{
	return BuildPieces("puzzle", {Taper(0, 0, 0, 0.7f, {0.3f, 0.3f}, {0.4f, 0.4f})}, out, error);
}

bool BuildDoor(IqmModel *out, std::string *error)
{
	return BuildPieces("door", DoorLeaf(0.1f, 2.0f), out, error);
}

bool BuildLockDoor(IqmModel *out, std::string *error)
{
	std::vector<Piece> pieces = DoorLeaf(0.12f, 2.0f);
	pieces.push_back(Block(1.6f, -0.16f, 0.9f, 1.2f, 0.12f, 0.04f)); // the lock
	return BuildPieces("lockdoor", pieces, out, error);
}

bool BuildGateBk(IqmModel *out, std::string *error)
{
	return BuildPieces("gatebk", DoorLeaf(0.25f, 2.2f), out, error);
}

bool BuildGate(IqmModel *out, std::string *error)
{
	std::vector<Piece> pieces;
	for (float x : {0.1f, 0.7f, 1.3f, 1.9f})
		pieces.push_back(Block(x, 0, 0, 1.4f, 0.07f, 0.07f));
	pieces.push_back(Block(1.0f, 0, 0.3f, 0.4f, 1.0f, 0.05f));
	pieces.push_back(Block(1.0f, 0, 1.1f, 1.2f, 1.0f, 0.05f));
	return BuildPieces("gate", pieces, out, error);
}

bool BuildFireplace(IqmModel *out, std::string *error)
{
	return BuildPieces("fireplace",
		{Block(0, -0.9f, 0, 0.5f, 1.0f, 0.15f), Block(0, 0.9f, 0, 0.5f, 1.0f, 0.15f), Block(-0.9f, 0, 0, 0.5f, 0.15f, 0.75f),
			Block(0.9f, 0, 0, 0.5f, 0.15f, 0.75f), Block(0, 0, 0, 0.2f, 0.6f, 0.15f), Block(0, 0, 0.1f, 0.3f, 0.15f, 0.6f)},
		out, error);
}

bool BuildFireFlame(IqmModel *out, std::string *error)
{
	return BuildPieces("fireflame", {Taper(0, 0, 0, 1.2f, {0.35f, 0.35f}, {0.02f, 0.02f})}, out, error);
}

bool BuildSwitch(IqmModel *out, std::string *error)
{
	return BuildPieces("switch", {Block(0, 0, 0, 0.5f, 0.8f, 0.8f)}, out, error);
}

bool BuildObelisk(IqmModel *out, std::string *error)
{
	return BuildPieces("obelisk",
		{Taper(0, 0, 0, 2.8f, {0.5f, 0.5f}, {0.18f, 0.18f}), Taper(0, 0, 2.8f, 3.2f, {0.18f, 0.18f}, {0.01f, 0.01f})}, out,
		error);
}

bool BuildRockBlock(IqmModel *out, std::string *error)
{
	return BuildPieces("rockblock", {Block(0, 0, 0, 1.5f, 1.0f, 1.0f)}, out, error);
}

// The scenery the home map names in its "model" lines.
bool BuildWell(IqmModel *out, std::string *error)
{
	return BuildPieces("well",
		{Block(0, -0.8f, 0, 0.8f, 0.9f, 0.12f), Block(0, 0.8f, 0, 0.8f, 0.9f, 0.12f), Block(-0.8f, 0, 0, 0.8f, 0.12f, 0.7f),
			Block(0.8f, 0, 0, 0.8f, 0.12f, 0.7f), Block(-0.8f, 0, 0.8f, 2.0f, 0.08f, 0.08f),
			Block(0.8f, 0, 0.8f, 2.0f, 0.08f, 0.08f), Taper(0, 0, 2.0f, 2.5f, {1.1f, 0.6f}, {1.1f, 0.02f})},
		out, error);
}

bool BuildCart(IqmModel *out, std::string *error)
{
	return BuildPieces("cart",
		{Block(0, 0, 0.5f, 1.2f, 1.6f, 0.8f), Block(-1.0f, -0.85f, 0, 0.8f, 0.4f, 0.06f),
			Block(-1.0f, 0.85f, 0, 0.8f, 0.4f, 0.06f), Block(1.0f, -0.85f, 0, 0.8f, 0.4f, 0.06f),
			Block(1.0f, 0.85f, 0, 0.8f, 0.4f, 0.06f), Block(-2.2f, 0, 0.6f, 0.7f, 0.6f, 0.05f)},
		out, error);
}
