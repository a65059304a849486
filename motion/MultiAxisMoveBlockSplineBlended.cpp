#include "MultiAxisMoveBlockSplineBlended.h"

BOOL CMultiAxisMoveBlockSplineBlended::PlanSpline(const CMultiAxisMoveBlockSplineBlended* previous,
                                                  const CMultiAxisMoveBlockSplineBlended* next)
{
    if (!(TA1 > 0.0) || (next && !(next->TA1 > 0.0)))
        return FALSE;
    const CAxisVectorMap& fromKnot = previous ? previous->KnotPos : ProgStart;
    const CAxisVectorMap& fromTarget = previous ? previous->Target : ProgStart;
    CAxisVectorMap q;
    CAxisVectorMap w;
    CAxisVectorMap k;
    CAxisVectorMap v;
    int axis;
    double p;
    for (POSITION pos = Target.GetStartPosition(); pos;) {
        Target.GetNextAssoc(pos, axis, p);
        const double start = ProgStart.Get(axis, p);
        q[axis] = fromKnot.Get(axis, start);
        w[axis] = previous ? previous->KnotVel.Get(axis) : 0.0;
        if (!next) {
            k[axis] = p;
            v[axis] = 0.0;
            continue;
        }
        const double before = fromTarget.Get(axis, start);
        const double after = next->Target.Get(axis, p);
        k[axis] = (before + 4.0 * p + after) / 6.0;
        double nextKnot;
        const double ahead = next->KnotPos.Lookup(axis, nextKnot) ? (nextKnot - k[axis]) / next->TA1 : 0.0;
        v[axis] = (ahead + (k[axis] - q[axis]) / TA1) / 2.0;
    }
    KnotPos = k;
    KnotVel = v;
    return SetupCubic(0, q, w, k, v, TA1);
}
