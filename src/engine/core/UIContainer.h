#pragma once

#include "engine/core/EntityContainer.h"

// An entity container for interface panels: it draws on the interface layer
// (draw layer 100). Every member starts at its declared default; nothing is
// blanked wholesale, since the object carries a vtable and owns a list.
class UIContainer : public EntityContainer {
public:
	static constexpr int16_t kInterfaceLayer = 100;

	UIContainer();
	~UIContainer() override;
};
