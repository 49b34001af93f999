#pragma once
// The world's plan as docs/world.md writes it, read for the world tests: its
// Markdown tables, each with the heading it stands under, the header cells
// and the rows' cells (trimmed, with `code` marks taken off).
#include <string>
#include <vector>

struct PlanTable {
	std::string section;    // the last "## " heading above it
	std::string subsection; // the last "### " heading above it, if any
	std::vector<std::string> header;
	std::vector<std::vector<std::string>> rows;
	// The column whose header is name; -1 when none.
	int Column(const std::string &name) const;
};

class WorldPlan {
public:
	// False when the file cannot be read.
	bool Read(const std::string &path);
	const std::vector<PlanTable> &Tables() const { return tables; }
	// The tables whose first header cell is first.
	std::vector<const PlanTable *> TablesStartingWith(const std::string &first) const;

	static std::vector<std::string> SplitRow(const std::string &line);
	// "a, b and c" or "a, b" into its items.
	static std::vector<std::string> SplitList(const std::string &text);

private:
	std::vector<PlanTable> tables;
};
