#include "MenuCommand.h"

#include <QCoreApplication>
#include <QWidget>

namespace kvui {

void RunAfterMenu(QWidget* context, std::function<void()> command)
{
    if (context)
        QMetaObject::invokeMethod(context, std::move(command), Qt::QueuedConnection);
}

void RunChosenMenuCommands() { QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall); }

}  // namespace kvui
