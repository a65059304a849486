#include "ToolBarResource.h"

#include <QImage>
#include <QPixmap>
#include <QToolButton>

#include "ControlWidgets.h"
#include "ResourceText.h"
#include "StringTable.h"

bool ParseToolBarResource(const char* text, UINT id, ToolBarResource& out, bool& found, CString& error)
{
    std::vector<ResourceLine> lines;
    if (!SplitResourceText(text, lines, error))
        return false;
    bool open = false;
    bool wanted = false;
    ToolBarResource current;
    for (const ResourceLine& line : lines) {
        UINT number = 0, w = 0, h = 0;
        const CString& word = line.words[0];
        if (!open && word == "TOOLBAR" && line.words.size() == 4 && ParseResourceId(line.words[1], number) &&
            ParseResourceId(line.words[2], w) && ParseResourceId(line.words[3], h) && w > 0 && h > 0 && w <= 256 &&
            h <= 256) {
            open = true;
            wanted = number == id && !found;
            current = ToolBarResource{number, static_cast<int>(w), static_cast<int>(h), {}};
        } else if (open && word == "END" && line.words.size() == 1) {
            open = false;
            if (wanted) {
                out = current;
                found = true;
            }
        } else if (open && word == "SEPARATOR" && line.words.size() == 1) {
            current.buttons.push_back(ID_SEPARATOR);
        } else if (open && word == "BUTTON" && line.words.size() == 2 && ParseResourceId(line.words[1], number) &&
                   number != 0) {
            current.buttons.push_back(number);
        } else {
            error.Format("line %d: expected TOOLBAR id width height, BUTTON id, SEPARATOR or END", line.number);
            return false;
        }
    }
    if (open) {
        error = "TOOLBAR not closed with END";
        return false;
    }
    return true;
}

BOOL AfxLoadToolBar(CToolBar& bar, UINT id, CString* error)
{
    ToolBarResource resource;
    bool found = false;
    CString why;
    for (const auto& [name, text] : AfxReadResourceFiles("tbr")) {
        if (!ParseToolBarResource(text, id, resource, found, why)) {
            if (error)
                *error = name + ", " + why;
            return FALSE;
        }
        if (found)
            break;
    }
    if (!found) {
        if (error)
            error->Format("toolbar %u not found", id);
        return FALSE;
    }
    if (!bar.SetButtons(resource.buttons.data(), nullptr, static_cast<int>(resource.buttons.size())))
        return FALSE;
    auto* widget = WidgetAs<kvui::KvToolBar>(&bar);
    if (!widget)
        return FALSE;
    const QImage strip(kvui::ToQ(AfxGetBitmapResourcePath(id)));
    int picture = 0;
    for (auto& item : widget->items) {
        if (!item.button)
            continue;
        const QImage part = strip.isNull() ? QImage()
                                           : strip.copy(picture * resource.buttonWidth, 0, resource.buttonWidth,
                                                        resource.buttonHeight);
        ++picture;
        if (!part.isNull() && part.width() == resource.buttonWidth) {
            item.button->setIcon(QIcon(QPixmap::fromImage(part)));
            item.button->setIconSize(QSize(resource.buttonWidth, resource.buttonHeight));
            item.button->setToolButtonStyle(Qt::ToolButtonIconOnly);
            item.button->setAutoRaise(true);
        }
        item.button->setToolTip(kvui::ToQ(AfxGetCommandTip(item.id)));
    }
    widget->Layout();
    return TRUE;
}
