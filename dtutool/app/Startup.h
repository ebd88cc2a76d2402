// Application start-up: the command line, the simulated DTU when asked for,
// the main window, and an orderly end when it closes.
#pragma once

#include <QCoreApplication>

class Startup {
    Q_DECLARE_TR_FUNCTIONS(Startup)

public:
    // Runs the tool; returns the process's exit code.
    static int Run(int argc, char* argv[]);
};
