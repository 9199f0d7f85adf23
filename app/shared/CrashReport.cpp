// A crash names where it happened: the call stack, written from the signal handler.
#include "CrashReport.h"

#include <execinfo.h>
#include <signal.h>
#include <string.h>
#include <unistd.h>

#include <initializer_list>

namespace
{
    const char* crashingProgram = "";

    void Write(const char* text)
    {
        if (write(STDERR_FILENO, text, strlen(text)) < 0)
        {
            // Standard error is gone; there is nowhere else to say it.
        }
    }

    // Only calls that are safe in a signal handler, and backtrace, whose library was loaded before.
    void Report(int signal)
    {
        Write(crashingProgram);
        Write(": crashed with ");
        const char* name = sigdescr_np(signal);
        Write(name ? name : "a fatal signal");
        Write("; Ogre.log holds what it did before. The call stack:\n");
        void* frames[64];
        backtrace_symbols_fd(frames, backtrace(frames, 64), STDERR_FILENO);
        // Delivered once the handler returns, now with the default action.
        raise(signal);
    }
}

void InstallCrashReport(const char* program)
{
#if defined(__SANITIZE_ADDRESS__)
    (void)program;
#else
    crashingProgram = program;
    void* frame[1];
    backtrace(frame, 1); // loads the unwinder now, not in the handler
    struct sigaction action = {};
    action.sa_handler = Report;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        sigaction(signal, &action, nullptr);
#endif
}
