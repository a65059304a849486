// libFuzzer target: any text given to the solver, with and without a callback.
#include <cstddef>
#include <cstdint>

#include "pragmix/Pragmix.h"

namespace {

// A callback with a function, a name and a failure, so those paths are reached.
class FuzzFunctions : public CExSolverCallBack {
public:
    int SolveExternalFunction(CString name, CString argument, double& value) override
    {
        if (name != "F")
            return 3;
        // A function that evaluates its argument, as the backup engine's do.
        CExSolver inner;
        return inner.Solve(argument, value, nullptr) ? answerSolved : 3;
    }
    int SolveExternalFunction(CString name, double& value) override
    {
        if (name == "F")
            return answerTakesArgument;
        if (name == "X") {
            value = 2.5;
            return answerSolved;
        }
        return name == "BAD" ? 9 : answerUnknown;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const CString text(reinterpret_cast<const char*>(data), static_cast<int>(size));
    FuzzFunctions functions;
    double result = 0.0;
    CExSolver plain;
    plain.Solve(text, result, nullptr);
    CExSolver withFunctions;
    withFunctions.Solve(text, result, &functions);
    return 0;
}
