#include "SortableStringArray.h"

#include <algorithm>

void CSortableStringArray::Sort()
{
    std::sort(begin(), end(), [](const CString& a, const CString& b) { return a.Compare(b) < 0; });
}
