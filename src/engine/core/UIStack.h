#pragma once

#include "engine/core/UIContainer.h"

// A pile of interface panels of which only the one pushed last is shown and
// updated: menus push a sub-menu and pop it to go back. Pushing is
// EntityContainer::AddEntity. The stack never deletes what it pops.
class UIStack : public UIContainer {
public:
	UIStack();
	~UIStack() override;

	// Ticks only the top panel, after erasing removed entries.
	void Update(float dt) override;
	// Draws only the top panel.
	void Render() override;
	// Takes the top entry off and returns it, clearing its link to this
	// stack; its life state stays. Null on an empty stack, and when the top
	// entry is the mark of a removed panel (which belongs to no one).
	virtual Entity *Pop();
	// The last entry (possibly the mark of a removed panel until the next
	// update); null on an empty stack.
	virtual Entity *Top();
};
