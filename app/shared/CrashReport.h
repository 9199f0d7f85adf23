#ifndef CRASH_REPORT_H
#define CRASH_REPORT_H

/** On a fatal signal (a bad memory access, an abort, a bad instruction), writes the program's
    name, the signal and the call stack to standard error, then ends by the same signal, so that
    its exit status stays what it was. Under AddressSanitizer nothing is installed: it reports
    such faults itself, in more detail. */
void InstallCrashReport(const char* program);

#endif
