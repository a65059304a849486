#include "WaitCursor.h"

#include <QApplication>
#include <QCursor>

namespace {
int g_waiting = 0;
}

CWaitCursor::CWaitCursor()
{
    ++g_waiting;
    if (qApp)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

CWaitCursor::~CWaitCursor()
{
    --g_waiting;
    if (qApp)
        QApplication::restoreOverrideCursor();
}

bool CWaitCursor::IsShown() { return g_waiting > 0; }
