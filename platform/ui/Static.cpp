#include "Static.h"

#include <QApplication>
#include <QLabel>
#include <QStyle>

#include "WndImpl.h"

BOOL CStatic::Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateControl(static_cast<int>(ControlKind::Static), text, style | WS_CHILD, rect, parent, id);
}

void CStatic::SetStandardIcon(UINT iconKind)
{
    auto* label = WidgetAs<QLabel>(this);
    if (!label)
        return;
    QStyle::StandardPixmap icon;
    switch (iconKind & MB_ICONMASK) {
    case MB_ICONHAND: icon = QStyle::SP_MessageBoxCritical; break;
    case MB_ICONQUESTION: icon = QStyle::SP_MessageBoxQuestion; break;
    case MB_ICONEXCLAMATION: icon = QStyle::SP_MessageBoxWarning; break;
    case MB_ICONASTERISK: icon = QStyle::SP_MessageBoxInformation; break;
    default: label->clear(); return;
    }
    const int side = std::min(label->width(), label->height());
    label->setPixmap(QApplication::style()->standardIcon(icon).pixmap(side > 0 ? side : 32));
}
