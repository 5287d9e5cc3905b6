#pragma once

namespace pictrove {

// The desktop program's process: sets up the network layer and the cookie store,
// creates the main window, runs the event loop, and ends the process when the window
// closes without waiting for the engine's threads.

class DesktopApp {
public:
    int run(int argc, char *argv[]);
};

}  // namespace pictrove
