#pragma once

#include <cstddef>

class Actor;
class Entity;

// The actors engaged in a fight. A creature takes the one attack token by
// joining the list and gives it back by leaving, so hostile creatures take
// turns; the fight music counts the living ones. The list holds pointers to
// actors that the scene owns; an actor leaves it when it stops, dies, resets
// or is freed, and the scene clears it when a map unloads.
//
// The registry also knows every actor in existence, so that an entity about
// to be freed can be forgotten by all of them at once (targets, last
// attackers and what their behaviours watch): nobody keeps a pointer to a
// freed entity.
class ActorRegistry {
public:
	// Adds a live actor once; nothing for null or a non-live actor.
	static void Add(Actor *actor);
	static void Remove(const Actor *actor);
	// Stops the behaviour of every live registered actor; a call made while
	// stopping (a behaviour's end stopping others) does nothing.
	static void StopAll();
	static void Clear();
	static bool Contains(const Actor *actor);
	static size_t Count();
	// Registered actors that are live and have hearts left.
	static int CountLivingActors();

	// Every actor and its behaviours drop their pointers to the entity, and a
	// registered actor leaves the list. Called before an entity is freed.
	static void ForgetEntity(const Entity *entity);
	// Kept by every actor from construction to destruction.
	static void Track(Actor *actor);
	static void Untrack(Actor *actor);
	static size_t TrackedCount();
};

// ActorRegistry::CountLivingActors, for the fight music.
int CountLivingActors();
