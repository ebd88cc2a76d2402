#include "app/TavrinApp.h"

int main(int argc, char* argv[])
{
    return CTavrinApp::Run(argc, argv);
}
