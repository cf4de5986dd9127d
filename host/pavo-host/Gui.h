#pragma once
// The front end with windows: the host's main window with its log and rig,
// its new-QSO window, and the plug-in's window, all on the Qt desktop. A
// script plays on the virtual clock, kept to the real pace unless the run is
// for a screenshot or told to hurry; afterwards the clock follows real time
// and the windows are the operator's until the host's main window is closed.
#include <memory>
#include <string>

#include "FrontEnd.h"
#include "ports/Multimedia.h"

namespace pavohost {

struct TGuiOptions {
    // A PNG of the plug-in's window is written here when the script is done,
    // and the host ends instead of handing the windows to the operator.
    std::string Screenshot;
    bool Fast = false;  // play the script without waiting for real time
    quorvel::IMultimedia* SoundCards = nullptr;  // the machine's (live audio); null: a simulated card
};

// A display to show windows on, or Qt told where to draw (QT_QPA_PLATFORM).
bool DisplayAvailable();

// Starts Qt (argc and argv must outlive the front end) and installs its
// desktop for the process. Throws THostError when Qt cannot start.
std::unique_ptr<IFrontEnd> MakeGuiFrontEnd(int& argc, char** argv, IHostEvents& events, TGuiOptions options);

}  // namespace pavohost
