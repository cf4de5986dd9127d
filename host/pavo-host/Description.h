#pragma once
// A plug-in window's description (pavo/automation.h) as the transcript shows
// it: one line per control, pane text with its colours marked {colour}...{/colour},
// {picture} for a picture, multi-line text after "|".
#include <string>
#include <vector>

#include <pugixml.hpp>

namespace pavohost {

// Reads a description as the plug-in wrote it: a text of nothing but white
// space (a run holding a space or a line break) is the pane's text and stays;
// the indentation between elements does not.
bool LoadDescription(pugi::xml_document& doc, const std::string& xml);
std::vector<std::string> RenderDescription(const pugi::xml_node& element);
// The element of a control by its name or caption; empty when none.
pugi::xml_node FindDescribed(const pugi::xml_node& root, const std::string& target);
// Quoted, with line breaks and other control characters made visible.
std::string Shown(const std::string& utf8);

}  // namespace pavohost
