// The game runs from the directory that holds its data; its options change one run only.
#include "flow/launch_options.h"
#include "flow/main_loop.h"

int main(int argc, char** argv)
{
    int32_t status = ReadLaunchOptions(argc, argv);
    return status >= 0 ? status : WinMain();
}
