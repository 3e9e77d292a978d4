// Ends at once: the time to start and end it is what any Wine process pays.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
