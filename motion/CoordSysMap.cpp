#include "CoordSysMap.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using Matrix = std::vector<std::vector<double>>;

// Gauss-Jordan elimination with partial pivoting; false when m does not invert.
// (Cofactor expansion grows with n! and would stall on a program with many axes.)
bool Invert(Matrix m, Matrix& inverse)
{
    const size_t n = m.size();
    inverse.assign(n, std::vector<double>(n, 0.0));
    double largest = 0.0;
    for (size_t r = 0; r < n; ++r) {
        inverse[r][r] = 1.0;
        for (double value : m[r])
            largest = std::max(largest, std::fabs(value));
    }
    for (size_t c = 0; c < n; ++c) {
        size_t pivot = c;
        for (size_t r = c + 1; r < n; ++r) {
            if (std::fabs(m[r][c]) > std::fabs(m[pivot][c]))
                pivot = r;
        }
        if (std::fabs(m[pivot][c]) <= largest * 1e-12)
            return false;
        std::swap(m[c], m[pivot]);
        std::swap(inverse[c], inverse[pivot]);
        const double p = m[c][c];
        for (size_t k = 0; k < n; ++k) {
            m[c][k] /= p;
            inverse[c][k] /= p;
        }
        for (size_t r = 0; r < n; ++r) {
            const double factor = m[r][c];
            if (r == c || factor == 0.0)
                continue;
            for (size_t k = 0; k < n; ++k) {
                m[r][k] -= factor * m[c][k];
                inverse[r][k] -= factor * inverse[c][k];
            }
        }
    }
    return true;
}

int IndexOf(std::vector<int>& list, int value)
{
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i] == value)
            return static_cast<int>(i);
    }
    list.push_back(value);
    return static_cast<int>(list.size()) - 1;
}

}  // namespace

void CCoordSysMap::Assign(int drive, int axis, double coefficient)
{
    Forward[Key(axis, drive)] = coefficient;
    RebuildInverse();
}

BOOL CCoordSysMap::UnassignDrive(int drive, CList<int, int>& removedAxes)
{
    CList<int, int> keys;
    int key;
    double value;
    for (POSITION pos = Forward.GetStartPosition(); pos;) {
        Forward.GetNextAssoc(pos, key, value);
        if (DriveOf(key) == drive)
            keys.AddTail(key);
    }
    for (POSITION pos = keys.GetHeadPosition(); pos;) {
        const int removed = keys.GetNext(pos);
        Forward.RemoveKey(removed);
        removedAxes.AddTail(AxisOf(removed));
    }
    if (!keys.IsEmpty())
        RebuildInverse();
    return !keys.IsEmpty();
}

void CCoordSysMap::RemoveAll()
{
    Forward.RemoveAll();
    Inverse.RemoveAll();
}

void CCoordSysMap::ToDrivePositions(const CAxisVectorMap& axisPositions, CAxisVectorMap& out) const
{
    out.RemoveAll();
    out.Time = axisPositions.Time;
    int key;
    double coefficient;
    for (POSITION pos = Forward.GetStartPosition(); pos;) {
        Forward.GetNextAssoc(pos, key, coefficient);
        out[DriveOf(key)] += coefficient * axisPositions.Get(AxisOf(key));
    }
}

double CCoordSysMap::GetAxisValue(int axis, const CAxisVectorMap& drivePositions) const
{
    double sum = 0.0;
    int drive;
    double position;
    for (POSITION pos = drivePositions.GetStartPosition(); pos;) {
        drivePositions.GetNextAssoc(pos, drive, position);
        double coefficient = 0.0;
        if (Inverse.Lookup(Key(axis, drive), coefficient))
            sum += position * coefficient;
    }
    return sum;
}

void CCoordSysMap::RebuildInverse()
{
    std::vector<int> axes;
    std::vector<int> drives;
    int key;
    double coefficient;
    for (POSITION pos = Forward.GetStartPosition(); pos;) {
        Forward.GetNextAssoc(pos, key, coefficient);
        IndexOf(axes, AxisOf(key));
        IndexOf(drives, DriveOf(key));
    }
    if (axes.empty()) {
        Inverse.RemoveAll();
        return;
    }
    if (axes.size() != drives.size())
        return;
    const size_t n = axes.size();
    // M[axis][drive]: the drive's position is the sum over axes of M x axis position.
    Matrix m(n, std::vector<double>(n, 0.0));
    for (POSITION pos = Forward.GetStartPosition(); pos;) {
        Forward.GetNextAssoc(pos, key, coefficient);
        m[IndexOf(axes, AxisOf(key))][IndexOf(drives, DriveOf(key))] = coefficient;
    }
    Matrix inverse;
    if (!Invert(m, inverse))
        return;
    // drive = M^T axis, so axis = (M^-1)^T drive.
    Inverse.RemoveAll();
    for (size_t a = 0; a < n; ++a) {
        for (size_t d = 0; d < n; ++d)
            Inverse[Key(axes[a], drives[d])] = inverse[d][a];
    }
}
