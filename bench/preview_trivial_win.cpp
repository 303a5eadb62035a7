// The baseline of the preview start-up figure: a Win32 program that does nothing but start and
// end, so its time is what the prefix charges any program.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return 0;
}
