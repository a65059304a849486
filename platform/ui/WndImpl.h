// Private to the window layer: the bridge between a CWnd and its widget.
// It filters the widget's events into messages, runs the window's timers and
// receives posted messages.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <map>
#include <optional>
#include <QString>

#include "ControlKind.h"
#include "Wnd.h"

class QEvent;
class QMenuBar;

struct CWndImpl : public QObject {
    CWndImpl(CWnd* owner, QWidget* widget, ControlKind kind, UINT id, DWORD style, DWORD exStyle, bool ownsWidget);
    ~CWndImpl() override;

    QPointer<QWidget> widget;
    CWnd* wnd;                   // the object that receives the messages
    CWnd* wrapper = nullptr;     // made by the layer for a template control; owned
    ControlKind kind;
    UINT id;
    DWORD style;
    DWORD exStyle;
    bool ownsWidget;
    bool destroying = false;
    bool holdSelection = false;  // an edit keeps the text it was filled with selected through the click
    bool redraw = true;
    WNDPROC proc;
    CFont* font = nullptr;
    CMenu* menu = nullptr;
    // A window with a menu bar keeps its children in a client area below the bar.
    QPointer<QMenuBar> menuBar;
    QPointer<QWidget> client;
    std::map<UINT_PTR, int> timerByWindowId;
    std::map<int, UINT_PTR> windowIdByTimer;
    // The letters of a text shown through a symbol face, which displays other characters.
    std::optional<QString> keptText;

    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void customEvent(QEvent* event) override;

    // The impl of a widget the layer made, or null.
    static CWndImpl* Of(const QWidget* widget);
    static CWnd* WndOf(const QWidget* widget);
    QWidget* ParentWidget() const;
    // Where the window's children live and client coordinates count from.
    QWidget* ClientWidget() const { return client ? client.data() : widget.data(); }
    // Sends WM_COMMAND (id, code) from this control to its parent.
    void NotifyParent(UINT code);
    LRESULT NotifyParent(NMHDR& header);
    void ApplyMinMaxInfo();
    // `pretranslated` (when given) tells whether a PreTranslateMessage took the message.
    bool DispatchFromToolkit(UINT message, WPARAM wParam, LPARAM lParam, bool preTranslate = false,
                             bool* pretranslated = nullptr);
    void DestroyWidget();

private:
    const QWidget* m_registered = nullptr;  // the widget this impl is filed under
};

// Events being dispatched now; a widget that is asked to go while its own
// events run is deleted later, once the toolkit is done with it.
struct DispatchScope {
    DispatchScope();
    ~DispatchScope();
    static bool Active();
};

// The control operations: the control classes and DefWindowProc both call them.
namespace kvui {
QWidget* CreateWidget(ControlKind kind, DWORD style, const char* text, QWidget* parent);
void WireNotifications(CWndImpl* impl);
bool HandleControlMessage(CWndImpl* impl, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
void SetControlText(CWndImpl* impl, const char* text);
// While the focus moves to a window the user clicked: that window. An edit the program fills
// then comes up with its new text selected, and the click that is on its way keeps it so.
struct ClickFocusScope {
    explicit ClickFocusScope(QWidget* target);
    ~ClickFocusScope();
    QWidget* previous;
};
// True once, for the press of the click that gave an edit the text the program filled in.
bool TakeFilledOnClick(QWidget* edit);
CString GetControlText(const CWndImpl* impl);
// Paints owner-drawn controls and windows with a WM_PAINT handler; true when the toolkit must not paint.
bool HandlePaint(CWndImpl* impl);
QFont FontFor(const CWndImpl* impl);
// Dialog base units of a font: average character width and height.
CSize DialogBaseUnits(const QFont& font);
// Per-kind handling of the control messages sent by number (BM_, EM_, CB_ ...).
bool ButtonMessage(CWndImpl* impl, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
bool EditMessage(CWndImpl* impl, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
bool ComboMessage(CWndImpl* impl, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
// Applies the style bits a control follows after ModifyStyle.
void ApplyStyle(CWndImpl* impl);
// Gives a top-level window a menu bar showing `menu` (owned by the caller) and
// moves its client area below it; the window grows by the bar's height.
// Chosen items send WM_COMMAND to the window; before a menu opens its items
// take their state from the window's update handlers, else from the menu's flags.
void AttachMenuBar(CWndImpl* impl, CMenu* menu);
// Places the bar and the client area after the window's size changed.
void LayOutMenuBar(CWndImpl* impl);
// Set while the program (not the user) changes a control, to hold back user-only notifications.
struct ProgrammaticChange {
    ProgrammaticChange();
    ~ProgrammaticChange();
    static bool Active();
};
// The widget an input event was first given to, while the toolkit hands it
// up the parents; null when the event is not being delivered by our application.
QObject* FirstReceiverOf(const QEvent* event);
QString ToQ(const char* text);
CString FromQ(const QString& text);
}  // namespace kvui

// The widget of a window as a given widget class, or null.
template <class T>
T* WidgetAs(const CWnd* wnd)
{
    CWndImpl* impl = wnd ? wnd->GetImpl() : nullptr;
    return impl ? qobject_cast<T*>(impl->widget.data()) : nullptr;
}
