// The game takes no arguments: it runs from the directory that holds its data.
#include "flow/main_loop.h"

int main()
{
    return WinMain();
}
