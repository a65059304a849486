// A program of someone else's, built against an installed Trazel: its public
// header and pkg-config file alone.
#include <trazel/Trazel.h>

#include <cstdio>

int main()
{
    const CString text = CTrazel::ConvertTimeText(90.5, 0, 1);
    if (text.IsEmpty())
        return 1;
    std::printf("%s\n", text.GetString());
    return 0;
}
