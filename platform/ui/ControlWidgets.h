// Private to the window layer: widgets that need behaviour of their own.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QDialog>
#include <QGroupBox>
#include <QStyledItemDelegate>
#include <QTextEdit>
#include <QWidget>
#include <functional>
#include <vector>

#include "WndImpl.h"

class QLabel;
class QToolButton;
class QTreeWidget;

namespace kvui {

// Enter and Escape become the dialog's default command and IDCANCEL.
class KvDialogWidget : public QDialog {
    Q_OBJECT

public:
    explicit KvDialogWidget(QWidget* parent);
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// Check boxes and radio buttons take a click anywhere on them, as the original's did.
class KvCheckBox : public QCheckBox {
    Q_OBJECT

public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

// A click checks an automatic radio button and never unchecks it; a manual one changes only when
// the program says so.
class KvRadioButton : public QRadioButton {
    Q_OBJECT

public:
    KvRadioButton(const QString& text, QWidget* parent, bool automatic)
        : QRadioButton(text, parent), m_automatic(automatic)
    {
    }

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
    void nextCheckState() override
    {
        if (m_automatic)
            setChecked(true);
    }

private:
    bool m_automatic;
};

// The frame's top edge runs through the middle of the title, as on the original, so the
// controls a template puts a few units below the box's top sit clear of the line.
class KvGroupBox : public QGroupBox {
    Q_OBJECT

public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Tells the parent when the list drops down and closes.
class KvComboBox : public QComboBox {
    Q_OBJECT

public:
    using QComboBox::QComboBox;
    void showPopup() override;
    void hidePopup() override;
};

// A rich edit box whose protected runs the user cannot change.
class KvRichEdit : public QTextEdit {
    Q_OBJECT

public:
    using QTextEdit::QTextEdit;
    static constexpr int kProtectedProperty = QTextFormat::UserProperty + 1;
    bool TouchesProtected(int from, int to) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// An up-down control: two arrow halves that step a position within a range,
// write it into the buddy edit and notify the parent.
class KvUpDown : public QWidget {
    Q_OBJECT

public:
    explicit KvUpDown(QWidget* parent) : QWidget(parent) {}
    CWndImpl* impl = nullptr;
    int lower = 0;
    int upper = 100;
    int position = 0;
    CWnd* buddy = nullptr;
    void Step(int delta);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

// A row of command buttons; separators leave room where a control is embedded.
class KvToolBar : public QWidget {
    Q_OBJECT

public:
    explicit KvToolBar(QWidget* parent) : QWidget(parent) {}
    CWndImpl* impl = nullptr;
    struct Item {
        UINT id;
        int width;
        QToolButton* button;  // null for a separator
    };
    std::vector<Item> items;
    void Layout();
    // The room an item takes: none for a button without picture and caption.
    static int WidthOf(const Item& item);
};

// Status bar panes in a row; the last one stretches.
class KvStatusBar : public QWidget {
    Q_OBJECT

public:
    explicit KvStatusBar(QWidget* parent);
    std::vector<QLabel*> panes;
    std::vector<int> widths;
    std::function<void()> keysChanged;  // after any key: the lock indicators look again
    void Layout();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// List cells: asks the parent for each cell's colours (NM_CUSTOMDRAW) and
// draws the colours set per cell.
class KvCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

void WireListView(CWndImpl* impl, QTreeWidget* tree);

}  // namespace kvui
