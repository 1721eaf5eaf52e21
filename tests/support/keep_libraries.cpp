// Linked into every test program: nothing a test loads is ever unloaded. SDL unloads the GL
// driver when the window system closes; the leak checker, which names a leak's frames only at
// exit, would then find them in no library, or in whatever was mapped there since, and its
// suppressions would match by chance. Defined in the program, this dlclose stands in for the C
// library's for every library the program loads.
#include <dlfcn.h>

extern "C" int dlclose(void*)
{
    return 0;
}
