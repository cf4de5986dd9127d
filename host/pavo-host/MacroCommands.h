#pragma once
// The host's macro commands, without a plug-in session:
//
//   pavo-host --edit-macros PACKET             the list in $VISUAL / $EDITOR
//   pavo-host --edit-macros PACKET --to LIST   export the plain list ("-": stdout)
//   pavo-host --edit-macros PACKET --from LIST import a plain list ("-": stdin)
//   pavo-host --lint-macros PACKET             tags the plug-in will not act on
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace pavohost {

// The exit status when args (without the program name) are a macro command.
std::optional<int> RunMacroCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                                   std::ostream& err);

}  // namespace pavohost
