// Pragmix's preprocessor as a program of its own (IN OUT), so the benchmark
// can start it as a process beside GNU cpp: nothing else loaded with it.
#include "pragmix/Pragmix.h"

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    CMacroDefsCallBack quiet;
    CMacroDefs macros;
    return macros.ProcessFile(argv[1], argv[2], &quiet) ? 0 : 1;
}
