// One collision check of a scene of movable solids, by crowd size: spread over
// the ground of a large map (96 by 96 world units, 48 by 48 tiles), and all
// piled on one tile as a hostile map might. Every check starts from the same
// placement, so the push-outs of one check do not drift the next; putting the
// crowd back is timed too, but costs next to nothing beside the check. Heap
// allocations per check are reported beside the times.
#include <benchmark/benchmark.h>

#include <glm/gtc/constants.hpp>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "HeapCounter.h"
#include "engine/collision/Collider.h"
#include "engine/collision/CollisionChecker.h"
#include "engine/core/Entity.h"
#include "engine/core/Scene.h"

namespace {

constexpr float kMapSide = 96.0f; // world units
constexpr float kTileSide = 2.0f;

// A scene of movable solids about a creature's size, half of them turned a
// quarter turn, at places drawn from a fixed seed.
class Crowd {
public:
	Crowd(int count, float side)
	{
		std::mt19937 random(7u);
		std::uniform_real_distribution<float> along(0.0f, side);
		for (int i = 0; i < count; i++) {
			auto body = std::make_unique<Entity>();
			body->collider = new Collider(body.get(), Vec3(0.8f, 1.5f, 1.2f), Vec3(0.0f, 0.75f, 0.0f));
			body->collider->mode = Collider::kModeSolid;
			if (i % 2 == 1)
				body->transform.Rotate(glm::half_pi<float>(), Vec3(0.0f, 1.0f, 0.0f));
			const float x = along(random);
			places.emplace_back(x, 0.0f, along(random));
			scene.AddEntity(body.get());
			bodies.push_back(std::move(body));
		}
	}
	~Crowd()
	{
		for (const auto &body : bodies)
			scene.RemoveEntity(body.get());
	}
	Crowd(const Crowd &) = delete;
	Crowd &operator=(const Crowd &) = delete;

	void PutBack()
	{
		for (size_t i = 0; i < bodies.size(); i++)
			bodies[i]->transform.position = places[i];
	}
	// Contacts recorded by the latest check, both sides counted.
	size_t Contacts() const
	{
		size_t contacts = 0;
		for (const auto &body : bodies)
			contacts += body->collider->contacts.size();
		return contacts;
	}

	Scene scene;

private:
	std::vector<std::unique_ptr<Entity>> bodies;
	std::vector<Vec3> places;
};

void MeasureChecks(benchmark::State &state, float side)
{
	Crowd crowd((int)state.range(0), side);
	CollisionChecker checker;
	// One check first, so that lists and buffers have grown to their size.
	crowd.PutBack();
	checker.Check(&crowd.scene);
	const uint64_t allocationsBefore = HeapAllocations();
	for (auto _ : state) {
		crowd.PutBack();
		checker.Check(&crowd.scene);
	}
	state.counters["allocs/check"] = benchmark::Counter(
		(double)(HeapAllocations() - allocationsBefore), benchmark::Counter::kAvgIterations);
	state.counters["contacts"] = (double)crowd.Contacts();
}

void BM_CollisionCheckSpread(benchmark::State &state)
{
	MeasureChecks(state, kMapSide);
}
BENCHMARK(BM_CollisionCheckSpread)->ArgName("solids")->Arg(50)->Arg(100)->Arg(200)->Arg(800)
	->Unit(benchmark::kMicrosecond);

void BM_CollisionCheckOneTile(benchmark::State &state)
{
	MeasureChecks(state, kTileSide);
}
BENCHMARK(BM_CollisionCheckOneTile)->ArgName("solids")->Arg(800)->Unit(benchmark::kMicrosecond);

} // namespace
