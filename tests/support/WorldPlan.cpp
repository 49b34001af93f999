#include "support/WorldPlan.h"

#include <fstream>

namespace {

std::string Trim(const std::string &text)
{
	const size_t first = text.find_first_not_of(" \t`*");
	if (first == std::string::npos)
		return "";
	const size_t last = text.find_last_not_of(" \t`*");
	return text.substr(first, last - first + 1);
}

bool IsRule(const std::vector<std::string> &cells)
{
	for (const std::string &cell : cells)
		if (cell.find_first_not_of("-: ") != std::string::npos)
			return false;
	return !cells.empty();
}

} // namespace

int PlanTable::Column(const std::string &name) const
{
	for (size_t i = 0; i < header.size(); i++)
		if (header[i] == name)
			return static_cast<int>(i);
	return -1;
}

std::vector<std::string> WorldPlan::SplitRow(const std::string &line)
{
	std::vector<std::string> cells;
	std::string text = Trim(line);
	if (text.empty() || text.front() != '|')
		return cells;
	text = text.substr(1);
	if (!text.empty() && text.back() == '|')
		text.pop_back();
	size_t start = 0;
	while (true) {
		const size_t bar = text.find('|', start);
		cells.push_back(Trim(text.substr(start, bar == std::string::npos ? std::string::npos : bar - start)));
		if (bar == std::string::npos)
			break;
		start = bar + 1;
	}
	return cells;
}

std::vector<std::string> WorldPlan::SplitList(const std::string &text)
{
	// Commas, semicolons and the word "and" all part items.
	std::string rest;
	for (size_t i = 0; i < text.size(); i++) {
		if (text.compare(i, 5, " and ") == 0) {
			rest += ',';
			i += 4;
		} else {
			rest += text[i] == ';' ? ',' : text[i];
		}
	}
	std::vector<std::string> items;
	size_t start = 0;
	while (start <= rest.size()) {
		const size_t comma = rest.find(',', start);
		const std::string item = Trim(rest.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
		if (!item.empty())
			items.push_back(item);
		if (comma == std::string::npos)
			break;
		start = comma + 1;
	}
	return items;
}

bool WorldPlan::Read(const std::string &path)
{
	std::ifstream file(path);
	if (!file)
		return false;
	tables.clear();
	std::string section;
	std::string subsection;
	PlanTable *open = nullptr;
	std::string line;
	while (std::getline(file, line)) {
		if (line.rfind("## ", 0) == 0) {
			section = Trim(line.substr(3));
			subsection.clear();
			open = nullptr;
			continue;
		}
		if (line.rfind("### ", 0) == 0) {
			subsection = Trim(line.substr(4));
			open = nullptr;
			continue;
		}
		std::vector<std::string> cells = SplitRow(line);
		if (cells.empty()) {
			open = nullptr;
			continue;
		}
		if (open == nullptr) {
			tables.push_back(PlanTable{section, subsection, cells, {}});
			open = &tables.back();
		} else if (!IsRule(cells)) {
			open->rows.push_back(cells);
		}
	}
	return true;
}

std::vector<const PlanTable *> WorldPlan::TablesStartingWith(const std::string &first) const
{
	std::vector<const PlanTable *> found;
	for (const PlanTable &table : tables)
		if (!table.header.empty() && table.header.front() == first)
			found.push_back(&table);
	return found;
}
