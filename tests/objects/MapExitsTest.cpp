// Where a map lets the hero out: the side a link lies on, where along it the
// hero left, and the hero walking into a link until it walks out on its own.
#include "objects/MapExits.h"

#include "map/TileMapData.h"
#include "support/PlayerTestWorld.h"

#include <gtest/gtest.h>

#include <string>

namespace {

MapObjectDef Link(int x, int y, int w, int h, const char *name)
{
	MapObjectDef link;
	link.kind = kObjectExit;
	link.id = 20;
	link.x = static_cast<uint16_t>(x);
	link.y = static_cast<uint16_t>(y);
	link.w = static_cast<uint16_t>(w);
	link.h = static_cast<uint16_t>(h);
	link.name = MapName(name);
	return link;
}

TEST(MapExits, LinkSideGivesTheWalkOutDirection)
{
	TileMapData data;
	data.width = 12;
	data.height = 10;
	struct Row {
		const char *name;
		int x, y;
		uint32_t direction;
	};
	const Row rows[] = {
		{ "top row", 6, 0, kDirectionNorth },
		{ "bottom row", 6, 9, kDirectionSouth },
		{ "one above the bottom row is inside", 6, 8, kDirectionNone },
		{ "left column", 0, 5, kDirectionWest },
		{ "right column", 11, 5, kDirectionEast },
		{ "middle of the map", 5, 5, kDirectionNone },
		{ "corner nearer the side than the top", 0, 1, kDirectionWest },
		{ "just outside the top (signed)", 6, -1, kDirectionNorth },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		EXPECT_EQ(MapExits::WalkOutDirection(data, Link(row.x, row.y, 1, 1, "town")), row.direction);
	}
}

TEST(MapExits, SpanStaysWithinTheLink)
{
	struct Row {
		int tile;
		uint16_t start, extent;
		uint8_t span;
	};
	const Row rows[] = { { 7, 5, 3, 2 }, { 3, 5, 3, 0 }, { 10, 5, 3, 3 }, { -2, 0, 4, 0 } };
	for (const Row &row : rows) {
		SCOPED_TRACE("tile " + std::to_string(row.tile));
		EXPECT_EQ(MapExits::Span(row.tile, row.start, row.extent), row.span);
	}
}

TEST(MapExits, HeroWalksIntoALinkAndOnOutOfTheMap)
{
	struct Row {
		const char *name;
		const char *linkName;
		const char *target;
		uint32_t walkOut;
	};
	const Row rows[] = {
		{ "a link to another map", "town", "town", kDirectionNorth },
		{ "a link naming this map leads nowhere", "test", "", kDirectionNone },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		PlayerTestWorld world([&](TileMapData &data) { data.objects.push_back(Link(4, 0, 3, 1, row.linkName)); });
		Player &player = world.player;
		player.Setup(world.TileCentre(6, 4), 0);
		world.Frame();
		world.Press(SDL_SCANCODE_UP);
		for (int i = 0; i < 40 && !player.HasExitTarget(); i++)
			world.Frame();
		world.Release(SDL_SCANCODE_UP);
		EXPECT_EQ(std::string(player.ExitTarget()), row.target);
		EXPECT_EQ(player.GetWalkOutDirection(), row.walkOut);
		if (row.walkOut != kDirectionNone) {
			EXPECT_EQ(player.GetExitSpanX(), 2) << "left at tile 6 of a link starting at 4";
			// From here on the hero walks north by itself.
			float z = player.transform.position.z;
			world.Frames(5);
			EXPECT_LT(player.transform.position.z, z - 0.5f);
		}
	}
}

} // namespace
