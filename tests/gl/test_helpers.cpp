#include "test_helpers.h"

#include <chrono>
#include <csetjmp>
#include <cstdarg>
#include <thread>

namespace TestGL
{

namespace
{

std::jmp_buf reprise;
bool dans_init = false;

// freeglut reports errors here instead of exiting. During glutInit a failure (the display
// refusing one connection, as a loaded X server sometimes does with many short test processes)
// jumps back so that glutInit can be tried again; glutInit marks itself initialised only once it
// has succeeded.
void ErreurGlut(char const* format, va_list arguments)
{
    std::vfprintf(stderr, format, arguments);
    std::fputc('\n', stderr);
    if (dans_init) std::longjmp(reprise, 1);
    std::exit(1);
}

} // namespace

bool InitialiseGlut(int* argc, char** argv)
{
    glutInitErrorFunc(ErreurGlut);
    for (volatile int essai = 0; essai < 20; essai = essai + 1)
    {
        dans_init = true;
        if (setjmp(reprise) == 0)
        {
            glutInit(argc, argv);
            dans_init = false;
            return true;
        }
        dans_init = false;
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    return false;
}

} // namespace TestGL
