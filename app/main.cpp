// Korvane: starts the window system, the application object and its message loop.
#include "KorvaneApp.h"
#include "platform/ui/WinApp.h"

int main(int argc, char** argv)
{
    if (!AfxWinInit(argc, argv))
        return 1;
    int code = 1;
    {
        CKorvaneApp app;
        if (app.InitInstance())
            code = app.Run();
        else
            app.ExitInstance();
    }
    AfxWinTerm();
    return code;
}
