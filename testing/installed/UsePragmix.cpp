// A program of someone else's, built against an installed Pragmix: its public
// header and pkg-config file alone.
#include <pragmix/Pragmix.h>

#include <cstdio>

int main()
{
    CMacroDefs macros;
    macros.AddMacro("TWICE", "2*");
    CString expanded;
    if (macros.ProcessString("TWICE 21", expanded) != CMacroDefs::resultText)
        return 1;
    CExSolver solver;
    double value = 0;
    if (!solver.Solve(expanded, value) || value != 42)
        return 2;
    std::printf("%s = %g\n", expanded.GetString(), value);
    return 0;
}
