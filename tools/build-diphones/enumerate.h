// Which units the unit selection asks for: the synthesizer runs over texts
// against an empty database, and every unit name it looks up is noted.
#pragma once
#include <set>
#include <string>

namespace diphonedata {

// Starts the synthesizer in stage (a scratch folder made here) with the
// rule and exceptions files and an empty database. False with a message.
bool StartEnumeration(const std::string& stage, const std::string& rules, const std::string& exceptions,
                      std::string& error);
// Adds the database units that text (Windows-1252) asks for.
void CollectUnits(const std::string& text, std::set<std::string>& units);
void EndEnumeration();

}  // namespace diphonedata
