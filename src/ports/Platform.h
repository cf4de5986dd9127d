#pragma once
// Everything the core reaches outside the system, in one bundle. Each field is
// owned by whoever assembled the bundle (the library's load code, a test or the
// reference host) and outlives every user.
namespace quorvel {

class IDispatcher;
class IWindowSystem;
class IDialogs;
class IClipboard;
class ILibraryLoader;
class IProcess;
class IModemEngineFactory;
class IMultimedia;
class IViewFactory;
class IShell;

struct TPlatform {
    IDispatcher* Dispatcher = nullptr;
    IWindowSystem* Windows = nullptr;
    IDialogs* Dialogs = nullptr;
    IClipboard* Clipboard = nullptr;
    ILibraryLoader* Libraries = nullptr;
    IProcess* Process = nullptr;
    IModemEngineFactory* Engines = nullptr;
    IMultimedia* Audio = nullptr;  // the sound card's mixers and wave outputs
    IViewFactory* Views = nullptr;  // none: the windows are not shown
    IShell* Shell = nullptr;  // none: nothing is opened or started
    // The decimal separator of the user's locale, for numbers the window
    // reads and shows.
    char DecimalSeparator = '.';
};

}  // namespace quorvel
