#pragma once
// Every message to the operator goes through these: a system message box on
// top of everything, captioned with the application title unless given one.
#include <string>

#include "ui/Application.h"

namespace quorvel {

int AppMessageBox(TApplication& app, const std::string& text, int flags);
int AppMessageBoxCaption(TApplication& app, const std::string& text, const std::string& caption, int flags);

}  // namespace quorvel
