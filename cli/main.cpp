#include "cli/Run.h"

#include <iostream>
#include <unistd.h>

int main(int argc, char* argv[])
{
    std::ios::sync_with_stdio(false);
    return cli::Run(std::vector<std::string>(argv + 1, argv + argc), {std::cout, std::cerr, ::isatty(2) == 1});
}
