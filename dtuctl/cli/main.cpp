#include "dtuctl/cli/Interrupt.h"
#include "dtuctl/cli/Run.h"

#include <csignal>
#include <iostream>
#include <unistd.h>

namespace {

// Ctrl-C and SIGTERM stop `monitor` and `serve` cleanly; any other command
// ends as it would without a handler.
extern "C" void OnStopSignal(int signal)
{
    if (cli::Interrupt())
        return;
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

}  // namespace

int main(int argc, char* argv[])
{
    std::ios::sync_with_stdio(false);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    return cli::Run(std::vector<std::string>(argv + 1, argv + argc), {std::cout, std::cerr, ::isatty(2) == 1});
}
