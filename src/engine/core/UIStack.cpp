#include "engine/core/UIStack.h"

UIStack::UIStack() = default;

UIStack::~UIStack() = default;

void UIStack::Update(float dt)
{
	Purge();
	if (!children.empty())
		UpdateChild(children.back(), dt);
}

void UIStack::Render()
{
	if (!children.empty())
		DrawChild(children.back());
}

Entity *UIStack::Pop()
{
	if (children.empty())
		return nullptr;
	Entity *top = children.back();
	children.pop_back();
	if (top == nullptr || top == Placeholder())
		return nullptr;
	if (top->container == this)
		top->container = nullptr;
	return top;
}

Entity *UIStack::Top()
{
	if (children.empty())
		return nullptr;
	return children.back();
}
