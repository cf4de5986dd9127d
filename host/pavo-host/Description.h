#pragma once
// A plug-in window's description (pavo/automation.h) as the transcript shows
// it: one line per control, pane text with its colours marked {colour}...{/colour},
// {picture} for a picture, multi-line text after "|".
#include <string>
#include <vector>

#include <pugixml.hpp>

namespace pavohost {

std::vector<std::string> RenderDescription(const pugi::xml_node& element);
// The element of a control by its name or caption; empty when none.
pugi::xml_node FindDescribed(const pugi::xml_node& root, const std::string& target);
// Quoted, with line breaks and other control characters made visible.
std::string Shown(const std::string& utf8);

}  // namespace pavohost
