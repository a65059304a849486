// The widgets behind each kind of window, and how they notify their parent.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabBar>
#include <QTextEdit>
#include <QTreeWidget>

#include "ControlTypes.h"
#include "ControlWidgets.h"
#include "TreeCtrlPrivate.h"
#include "ComboBoxPrivate.h"
#include "DCImpl.h"
#include "PaintDC.h"
#include "WndImpl.h"

namespace {
int g_programmatic = 0;
}

namespace kvui {

ProgrammaticChange::ProgrammaticChange() { ++g_programmatic; }
ProgrammaticChange::~ProgrammaticChange() { --g_programmatic; }
bool ProgrammaticChange::Active() { return g_programmatic > 0; }

QString ToQ(const char* text)
{
    if (!text)
        return QString();
    const QByteArray bytes(text);
    QString decoded = QString::fromUtf8(bytes);
    if (decoded.contains(QChar::ReplacementCharacter))
        decoded = QString::fromLatin1(bytes);  // 8-bit text of the original code page
    return decoded;
}

CString FromQ(const QString& text)
{
    for (QChar ch : text)
        if (ch.unicode() > 0xFF)
            return CString(text.toUtf8().constData());
    return CString(text.toLatin1().constData());
}

// ---------------------------------------------------------------------------
KvDialogWidget::KvDialogWidget(QWidget* parent) : QDialog(parent) {}

void KvDialogWidget::keyPressEvent(QKeyEvent* event)
{
    CWnd* wnd = CWndImpl::WndOf(this);
    if (!wnd) {
        QDialog::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        const auto def = static_cast<DWORD>(wnd->SendMessage(DM_GETDEFID, 0, 0));
        const UINT id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
        CWnd* button = wnd->GetDlgItem(static_cast<int>(id));
        if (button && (!button->IsWindowEnabled() || !button->IsWindowVisible()))
            return;  // a hidden or disabled default button cannot be pressed
        wnd->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), reinterpret_cast<LPARAM>(button));
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void KvDialogWidget::reject()
{
    if (CWnd* wnd = CWndImpl::WndOf(this)) {
        CWnd* cancel = wnd->GetDlgItem(IDCANCEL);
        if (cancel && !cancel->IsWindowEnabled())
            return;
        wnd->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
    }
}

void KvGroupBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int middle = metrics.height() / 2;
    const QRect frame(0, middle, width() - 1, height() - middle - 1);
    // An etched line: shadow, then light one pixel in.
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.adjusted(1, 1, 0, 0));
    const QString text = title();
    if (text.isEmpty())
        return;
    const QRect label(8, 0, metrics.horizontalAdvance(text) + 4, metrics.height());
    painter.fillRect(label, palette().color(QPalette::Window));
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(label, Qt::AlignCenter, text);
}

void KvComboBox::showPopup()
{
    if (CWndImpl* impl = CWndImpl::Of(this))
        impl->NotifyParent(CBN_DROPDOWN);
    QComboBox::showPopup();
}

void KvComboBox::hidePopup()
{
    QComboBox::hidePopup();
    // The toolkit applies a picked item only after hiding the list; the owner hears of the close-up
    // once the pick is in, as it would with the selection change first.
    QMetaObject::invokeMethod(
        this,
        [this]() {
            if (CWndImpl* impl = CWndImpl::Of(this))
                impl->NotifyParent(CBN_CLOSEUP);
        },
        Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------
namespace {

Qt::Alignment EditAlignment(DWORD style)
{
    return ((style & 3) == ES_CENTER ? Qt::AlignHCenter : (style & 3) == ES_RIGHT ? Qt::AlignRight : Qt::AlignLeft) |
           Qt::AlignVCenter;
}

QWidget* CreateButton(DWORD style, const QString& text, QWidget* parent)
{
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: {
        if (style & BS_PUSHLIKE) {
            auto* button = new QPushButton(text, parent);
            button->setCheckable(true);
            button->setAutoDefault(false);
            return button;
        }
        auto* box = new KvCheckBox(text, parent);
        box->setTristate((style & BS_TYPEMASK) == BS_3STATE || (style & BS_TYPEMASK) == BS_AUTO3STATE);
        return box;
    }
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: {
        auto* radio = new KvRadioButton(text, parent, (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON);
        radio->setAutoExclusive(false);  // groups follow WS_GROUP, as on the original platform
        return radio;
    }
    case BS_GROUPBOX:
        return new KvGroupBox(text, parent);
    default: {
        auto* button = new QPushButton(text, parent);
        button->setAutoDefault(false);
        button->setDefault((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
        return button;
    }
    }
}

// Tab stops as the desktop's edit boxes set them: eight average characters in an edit,
// half an inch in a rich edit (Qt's own 80 pixels spread indented text far apart).
constexpr int kEditTabStopChars = 8;
constexpr qreal kRichEditTabStop = 48;

QWidget* CreateEdit(DWORD style, const QString& text, QWidget* parent)
{
    if (style & ES_MULTILINE) {
        auto* edit = new QPlainTextEdit(parent);
        edit->setPlainText(text);
        edit->setLineWrapMode(style & (ES_AUTOHSCROLL | WS_HSCROLL) ? QPlainTextEdit::NoWrap
                                                                    : QPlainTextEdit::WidgetWidth);
        edit->setTabStopDistance(kEditTabStopChars * edit->fontMetrics().averageCharWidth());
        edit->setTabChangesFocus(true);
        return edit;
    }
    auto* edit = new QLineEdit(text, parent);
    edit->setFrame(true);
    return edit;
}

QWidget* CreateListView(QWidget* parent)
{
    auto* tree = new QTreeWidget(parent);
    tree->setRootIsDecorated(false);
    tree->setUniformRowHeights(true);
    tree->setItemsExpandable(false);
    tree->setColumnCount(0);
    tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree->header()->setStretchLastSection(false);
    tree->header()->setSectionsMovable(false);
    tree->header()->setMinimumSectionSize(0);  // a column may be as narrow as the program asks
    tree->setItemDelegate(new KvCellDelegate(tree));
    return tree;
}

// Auto radio buttons: checking one unchecks the others of its group.
void UncheckGroupSiblings(CWndImpl* impl)
{
    CWnd* parent = impl->wnd->GetParent();
    if (!parent)
        return;
    CWnd* start = impl->wnd;
    for (CWnd* w = parent->GetNextDlgGroupItem(start); w && w != start; w = parent->GetNextDlgGroupItem(w)) {
        CWndImpl* other = w->GetImpl();
        if (other && other->kind == ControlKind::Button && (other->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
            if (auto* radio = qobject_cast<QRadioButton*>(other->widget.data()))
                radio->setChecked(false);
    }
}

}  // namespace

QWidget* CreateWidget(ControlKind kind, DWORD style, const char* text, QWidget* parent)
{
    const QString caption = ToQ(text);
    QWidget* widget = nullptr;
    switch (kind) {
    case ControlKind::Dialog: widget = new KvDialogWidget(parent); break;
    case ControlKind::Button: widget = CreateButton(style, caption, parent); break;
    case ControlKind::GroupBox: widget = new KvGroupBox(caption, parent); break;
    case ControlKind::Edit: widget = CreateEdit(style, caption, parent); break;
    case ControlKind::Static: {
        auto* label = new QLabel(caption, parent);
        label->setAlignment(((style & 3) == SS_CENTER ? Qt::AlignHCenter : (style & 3) == SS_RIGHT ? Qt::AlignRight
                                                                                                   : Qt::AlignLeft) |
                            Qt::AlignTop);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        if (style & SS_SUNKEN)
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        widget = label;
        break;
    }
    case ControlKind::ComboBox: {
        auto* combo = new KvComboBox(parent);
        combo->setEditable((style & 3) == CBS_DROPDOWN || (style & 3) == CBS_SIMPLE);
        combo->setInsertPolicy(QComboBox::NoInsert);
        // The system's combo box never completes typed text from its list: what is typed is sent.
        if (combo->isEditable())
            combo->setCompleter(nullptr);
        widget = combo;
        break;
    }
    case ControlKind::ListBox: {
        auto* list = new QListWidget(parent);
        list->setSelectionMode(style & LBS_EXTENDEDSEL   ? QAbstractItemView::ExtendedSelection
                               : style & LBS_MULTIPLESEL ? QAbstractItemView::MultiSelection
                                                         : QAbstractItemView::SingleSelection);
        widget = list;
        break;
    }
    case ControlKind::ListView: widget = CreateListView(parent); break;
    case ControlKind::Progress: {
        auto* bar = new QProgressBar(parent);
        bar->setTextVisible(false);
        bar->setRange(0, 100);
        bar->setValue(0);
        widget = bar;
        break;
    }
    case ControlKind::Spin: widget = new KvUpDown(parent); break;
    case ControlKind::Tab: widget = new QTabBar(parent); break;
    case ControlKind::RichEdit: {
        auto* edit = new KvRichEdit(parent);
        edit->setAcceptRichText(false);
        edit->setTabStopDistance(kRichEditTabStop);
        edit->setText(caption);
        widget = edit;
        break;
    }
    case ControlKind::ToolBar: widget = new KvToolBar(parent); break;
    case ControlKind::StatusBar: widget = new KvStatusBar(parent); break;
    case ControlKind::TreeView: widget = CreateTreeView(parent); break;
    case ControlKind::Window:
    default: widget = new QWidget(parent); break;
    }
    return widget;
}

void ApplyStyle(CWndImpl* impl)
{
    QWidget* w = impl->widget;
    const DWORD style = impl->style;
    if (auto* line = qobject_cast<QLineEdit*>(w)) {
        line->setReadOnly(style & ES_READONLY);
        line->setEchoMode(style & ES_PASSWORD ? QLineEdit::Password : QLineEdit::Normal);
        line->setAlignment(EditAlignment(style));
        if (style & ES_NUMBER) {
            if (!line->validator())
                line->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), line));
        } else if (line->validator()) {
            line->setValidator(nullptr);
        }
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(w)) {
        text->setReadOnly(style & ES_READONLY);
    } else if (auto* rich = qobject_cast<QTextEdit*>(w)) {
        rich->setReadOnly(style & ES_READONLY);
    } else if (auto* tree = qobject_cast<QTreeWidget*>(w); tree && impl->kind == ControlKind::ListView) {
        tree->setSelectionMode(style & LVS_SINGLESEL ? QAbstractItemView::SingleSelection
                                                     : QAbstractItemView::ExtendedSelection);
        tree->header()->setSectionsClickable(!(style & LVS_NOSORTHEADER));
        tree->setHeaderHidden(style & LVS_NOCOLUMNHEADER);
    }
    w->setVisible(style & WS_VISIBLE ? (w->isWindow() ? w->isVisible() : true) : false);
    w->setEnabled(!(style & WS_DISABLED));
}

void WireNotifications(CWndImpl* impl)
{
    QWidget* w = impl->widget;
    ApplyStyle(impl);
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        QObject::connect(button, &QAbstractButton::clicked, impl, [impl, button]() {
            const DWORD type = impl->style & BS_TYPEMASK;
            // Manual check boxes and radio buttons change only when the program says so.
            if ((type == BS_CHECKBOX || type == BS_3STATE) && button->isCheckable()) {
                const QSignalBlocker block(button);
                button->setChecked(!button->isChecked());
            }
            if (type == BS_AUTORADIOBUTTON && button->isChecked())
                UncheckGroupSiblings(impl);
            impl->NotifyParent(BN_CLICKED);
        });
    } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
        QObject::connect(line, &QLineEdit::textChanged, impl, [impl, line](const QString& text) {
            if ((impl->style & ES_UPPERCASE) && text != text.toUpper()) {
                line->setText(text.toUpper());
                return;
            }
            if ((impl->style & ES_LOWERCASE) && text != text.toLower()) {
                line->setText(text.toLower());
                return;
            }
            impl->NotifyParent(EN_UPDATE);
            impl->NotifyParent(EN_CHANGE);
        });
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(w)) {
        QObject::connect(text, &QPlainTextEdit::textChanged, impl, [impl]() { impl->NotifyParent(EN_CHANGE); });
    } else if (auto* rich = qobject_cast<QTextEdit*>(w)) {
        QObject::connect(rich, &QTextEdit::textChanged, impl, [impl]() { impl->NotifyParent(EN_CHANGE); });
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (impl->style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE))
            WireOwnerDrawCombo(impl, combo);
        QObject::connect(combo, qOverload<int>(&QComboBox::activated), impl, [impl]() {
            impl->NotifyParent(CBN_SELENDOK);
            impl->NotifyParent(CBN_SELCHANGE);
        });
        if (combo->lineEdit())
            QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, impl, [impl]() {
                impl->NotifyParent(CBN_EDITUPDATE);
                impl->NotifyParent(CBN_EDITCHANGE);
            });
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        QObject::connect(list, &QListWidget::itemSelectionChanged, impl, [impl]() {
            if (!ProgrammaticChange::Active())
                impl->NotifyParent(LBN_SELCHANGE);
        });
        QObject::connect(list, &QListWidget::itemDoubleClicked, impl, [impl]() { impl->NotifyParent(LBN_DBLCLK); });
    } else if (auto* tree = qobject_cast<QTreeWidget*>(w); tree && impl->kind == ControlKind::TreeView) {
        WireTreeView(impl, tree);
    } else if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
        WireListView(impl, tree);
    } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
        QObject::connect(tabs, &QTabBar::currentChanged, impl, [impl]() {
            if (ProgrammaticChange::Active())
                return;
            NMHDR header{};
            header.code = TCN_SELCHANGE;
            impl->NotifyParent(header);
        });
    } else if (auto* upDown = qobject_cast<KvUpDown*>(w)) {
        upDown->impl = impl;
    } else if (auto* toolbar = qobject_cast<KvToolBar*>(w)) {
        toolbar->impl = impl;
    }
}

namespace {
QWidget* g_clickFocusTarget = nullptr;
constexpr const char* kFilledOnClick = "kvFilledOnClick";
}  // namespace

ClickFocusScope::ClickFocusScope(QWidget* target) : previous(g_clickFocusTarget) { g_clickFocusTarget = target; }
ClickFocusScope::~ClickFocusScope() { g_clickFocusTarget = previous; }

bool TakeFilledOnClick(QWidget* edit)
{
    if (!edit || !edit->property(kFilledOnClick).toBool())
        return false;
    edit->setProperty(kFilledOnClick, QVariant());
    return true;
}

namespace {
// What the control displays of its text (a symbol face's pictures, not its letters).
QString DisplayedText(QWidget* w)
{
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
    if (auto* box = qobject_cast<QGroupBox*>(w)) return box->title();
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* line = qobject_cast<QLineEdit*>(w)) return line->text();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) return plain->toPlainText();
    if (auto* rich = qobject_cast<QTextEdit*>(w)) return rich->toPlainText();
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->isEditable()) return combo->currentText();
    return w->windowTitle();
}

// True when setting the text would change nothing the window shows or keeps.
bool AlreadyShows(const CWndImpl* impl, const QString& text, const QString& shown)
{
    QWidget* w = impl->widget;
    if (impl->keptText.value_or(shown) != text)
        return false;
    const bool showsLetters = qobject_cast<QGroupBox*>(w) || qobject_cast<QLineEdit*>(w) ||
                              qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w) ||
                              qobject_cast<QComboBox*>(w);
    return DisplayedText(w) == (showsLetters ? text : shown);
}

// Setting an edit's text clears its modified mark, also when the text stays.
void ClearModified(QWidget* w)
{
    if (auto* line = qobject_cast<QLineEdit*>(w))
        line->setModified(false);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        plain->document()->setModified(false);
    else if (auto* rich = qobject_cast<QTextEdit*>(w))
        rich->document()->setModified(false);
}

}  // namespace

void SetControlText(CWndImpl* impl, const char* text)
{
    QWidget* w = impl->widget;
    if (!w)
        return;
    const QString q = ToQ(text);
    // A symbol face shows pictures for letters: the window keeps its letters, the screen shows the pictures.
    LOGFONT lf{};
    if (impl->font)
        impl->font->GetLogFont(&lf);
    const QString shown = ToQ(TranslateSymbolText(lf, text));
    // Windows refresh their fields periodically with what they already show:
    // that must cost no repaint and no relayout.
    // A child window (an MDI child) keeps its title too: the Window menu and the tests read it.
    w->setWindowTitle(q);
    if (AlreadyShows(impl, q, shown)) {
        ClearModified(w);
        return;
    }
    impl->keptText = shown != q ? std::optional<QString>(q) : std::nullopt;
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(shown);
    } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
        box->setTitle(q);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(shown);
    } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
        line->setText(q);
        if (line == g_clickFocusTarget) {
            // Filled as the user clicks into it: the user sees the whole new text chosen and types over it.
            line->selectAll();
            line->setProperty(kFilledOnClick, true);
        } else {
            line->setCursorPosition(0);  // a text wider than the box shows from its start
            line->setProperty(kFilledOnClick, QVariant());
        }
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        plain->setPlainText(q);
    } else if (auto* rich = qobject_cast<QTextEdit*>(w)) {
        rich->setPlainText(q);
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (combo->isEditable())
            combo->setEditText(q);
    }
    if (!w->isWindow())
        w->update();
}

CString GetControlText(const CWndImpl* impl)
{
    QWidget* w = impl->widget;
    if (!w)
        return CString();
    if (impl->keptText)
        return FromQ(*impl->keptText);
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return FromQ(button->text());
    if (auto* box = qobject_cast<QGroupBox*>(w)) return FromQ(box->title());
    if (auto* label = qobject_cast<QLabel*>(w)) return FromQ(label->text());
    if (auto* line = qobject_cast<QLineEdit*>(w)) return FromQ(line->text());
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        QString text = plain->toPlainText();
        text.replace("\n", "\r\n");  // multi-line edits hold CR LF line ends
        return FromQ(text);
    }
    if (auto* rich = qobject_cast<QTextEdit*>(w)) return FromQ(rich->toPlainText().replace("\n", "\r\n"));
    if (auto* combo = qobject_cast<QComboBox*>(w)) return FromQ(combo->currentText());
    return FromQ(w->windowTitle());
}

bool HandleControlMessage(CWndImpl* impl, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_NULL) {
        ApplyStyle(impl);
        return true;
    }
    switch (impl->kind) {
    case ControlKind::Button: return ButtonMessage(impl, message, wParam, lParam, result);
    case ControlKind::Edit:
    case ControlKind::RichEdit: return EditMessage(impl, message, wParam, lParam, result);
    case ControlKind::ComboBox: return ComboMessage(impl, message, wParam, lParam, result);
    default: return false;
    }
}

// ---------------------------------------------------------------------------
bool HandlePaint(CWndImpl* impl)
{
    QWidget* w = impl->widget;
    CWnd* wnd = impl->wnd;
    if (impl->kind == ControlKind::ComboBox && (impl->style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)))
        return PaintOwnerDrawCombo(impl);
    if (impl->kind == ControlKind::Button && (impl->style & BS_TYPEMASK) == BS_OWNERDRAW) {
        CWnd* parent = wnd->GetParent();
        CPaintDC dc(wnd);
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.CtlID = impl->id;
        item.itemAction = ODA_DRAWENTIRE;
        auto* button = qobject_cast<QAbstractButton*>(w);
        if (button && button->isDown()) item.itemState |= ODS_SELECTED;
        if (!w->isEnabled()) item.itemState |= ODS_DISABLED;
        if (w->hasFocus()) item.itemState |= ODS_FOCUS;
        item.hwndItem = wnd;
        item.hDC = &dc;
        item.rcItem = RECT{0, 0, w->width(), w->height()};
        if (parent)
            AfxCallWndProc(parent, WM_DRAWITEM, impl->id, reinterpret_cast<LPARAM>(&item));
        else
            wnd->OnChildNotify(WM_DRAWITEM, impl->id, reinterpret_cast<LPARAM>(&item), nullptr);
        return true;
    }
    if (impl->kind == ControlKind::Window || impl->kind == ControlKind::Dialog || impl->kind == ControlKind::ToolBar)
        return impl->DispatchFromToolkit(WM_PAINT, 0, 0);
    // Other controls: the parent may choose their colours.
    CWnd* parent = wnd->GetParent();
    if (!parent)
        return false;
    UINT message = WM_CTLCOLORSTATIC;
    if (impl->kind == ControlKind::Edit && !(impl->style & ES_READONLY))
        message = WM_CTLCOLOREDIT;
    else if (impl->kind == ControlKind::Button && (impl->style & BS_TYPEMASK) == BS_PUSHBUTTON)
        message = WM_CTLCOLORBTN;
    else if (impl->kind == ControlKind::ListBox)
        message = WM_CTLCOLORLISTBOX;
    CDC dc;
    const LRESULT brush = AfxCallWndProc(parent, message, reinterpret_cast<WPARAM>(&dc), reinterpret_cast<LPARAM>(wnd));
    QPalette palette = w->palette();
    const QPalette before = palette;
    if (dc.GetImpl()->textColorSet) {
        palette.setColor(QPalette::WindowText, ToQColor(dc.GetTextColor()));
        palette.setColor(QPalette::Text, ToQColor(dc.GetTextColor()));
        palette.setColor(QPalette::ButtonText, ToQColor(dc.GetTextColor()));
    }
    if (auto* b = reinterpret_cast<CBrush*>(brush); b && b->GetSafeHandle() && !b->IsHollow()) {
        palette.setColor(QPalette::Window, ToQColor(b->GetColor()));
        palette.setColor(QPalette::Base, ToQColor(b->GetColor()));
        palette.setColor(QPalette::Button, ToQColor(b->GetColor()));
        if (impl->kind == ControlKind::Static || impl->kind == ControlKind::GroupBox) {
            // The background was drawn before this paint: lay the parent's brush under the text now.
            QPainter background(w);
            background.fillRect(w->rect(), ToQColor(b->GetColor()));
        }
    }
    if (palette != before)
        w->setPalette(palette);
    return false;
}

}  // namespace kvui
