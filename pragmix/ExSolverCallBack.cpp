#include "Pragmix.h"

int CExSolverCallBack::SolveExternalFunction(CString /*name*/, CString /*argument*/, double& /*value*/)
{
    return answerUnknown;
}

int CExSolverCallBack::SolveExternalFunction(CString /*name*/, double& /*value*/)
{
    return answerUnknown;
}
