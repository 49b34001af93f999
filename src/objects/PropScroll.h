#pragma once

#include "objects/Prop.h"

// A scroll to read, lying on the ground or on a table. The one named "table"
// lies on the table beside it and gives up its name, so scripts find the
// table's own object rather than it; "ground news" is the town's news sheet.
class PropScroll : public Prop {
public:
	static constexpr uint32_t kKind = 15;

	PropScroll() : Prop(kKind) {}

	void Start() override;
	void AddLooks(std::vector<EntityLook> &looks) const override;

private:
	// The news sheet has a texture of its own.
	bool IsNews() const;
};
