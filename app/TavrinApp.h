// Application start-up: the command line, the simulated DTU when asked for,
// the main window, and an orderly end when it closes.
#pragma once

class CTavrinApp {
public:
    // Runs the tool; returns the process's exit code.
    static int Run(int argc, char* argv[]);
};
