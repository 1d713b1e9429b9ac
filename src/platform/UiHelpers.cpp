#include "platform/UiHelpers.h"

#include "platform/KeyCodes.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QSizeGrip>
#include <QStyle>
#include <QUrl>
#include <QWindow>

#include <algorithm>

QLabel* buddyLabel(QWidget* field, const QString& caption) {
    auto* label = new QLabel(caption, field->parentWidget());
    label->setBuddy(field);
    return label;
}

void setTabChain(std::initializer_list<QWidget*> widgets) {
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void digitsOnly(QLineEdit& box, int maxLength) {
    if (maxLength > 0)
        box.setMaxLength(maxLength);
    box.setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), &box));
}

QAction* addMenuItem(QMenu* menu, const QString& caption, const char* name, const QKeySequence& shortcut,
                     bool enabled) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    action->setEnabled(enabled);
    return action;
}

QMenu* addSubmenu(QMenu* menu, const QString& caption, const char* name) {
    QMenu* submenu = menu->addMenu(caption);
    submenu->setObjectName(QString::fromLatin1(name));
    submenu->menuAction()->setObjectName(QString::fromLatin1(name));
    return submenu;
}

QStringList localFilesOf(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    return files;
}

int modifierBits(Qt::KeyboardModifiers modifiers) {
    int bits = 0;
    if (modifiers & Qt::ShiftModifier)
        bits |= ModifierBit::Shift;
    if (modifiers & Qt::ControlModifier)
        bits |= ModifierBit::Ctrl;
    if (modifiers & Qt::AltModifier)
        bits |= ModifierBit::Alt;
    return bits;
}

AreaOnScreen fitAreaToScreen(const QWidget& window, const QFrame& area, QSize content) {
    const int frame = 2 * area.frameWidth();
    AreaOnScreen fit{content + QSize(frame, frame), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX)};
    const QScreen* screen = window.screen();
    // The layout the area stands in: the window's own, or the one its contents took into a scroll
    // area when they did not fit the screen.
    const QWidget* holder = area.parentWidget();
    const QLayout* column = holder ? holder->layout() : nullptr;
    if (!screen || !column)
        return fit;
    const QMargins margins = column->contentsMargins();
    const auto othersIn = [&area](const QLayout& layout) {
        const QMargins around = layout.contentsMargins();
        int height = around.top() + around.bottom();
        for (int i = 0; i < layout.count(); ++i) {
            const QWidget* widget = layout.itemAt(i)->widget();
            if (widget != &area && !(widget && widget->isAncestorOf(&area)))
                height += layout.itemAt(i)->sizeHint().height() + std::max(layout.spacing(), 0);
        }
        return height;
    };
    int others = othersIn(*column);
    if (holder != &window && window.layout())
        others += othersIn(*window.layout()); // the row of closing buttons below the scroll area
    const QSize decoration = window.isVisible() ? window.frameGeometry().size() - window.size() : QSize(0, 0);
    fit.room = screen->availableGeometry().size() - decoration;
    fit.area =
        fit.area
            .boundedTo(QSize(fit.room.width() - margins.left() - margins.right(), fit.room.height() - others))
            .expandedTo(QSize(0, 0));
    return fit;
}

namespace {
const char* const kClosingNames[] = {"cmdOK", "cmdCancel", "cmdClose"};

// The scroll area a dialog's contents move into: it asks for the whole of its contents, so that
// the dialog is as big as before wherever the screen has room, and follows their changes of size.
class ContentsScrollArea : public QScrollArea {
public:
    explicit ContentsScrollArea(QWidget* parent) : QScrollArea(parent) {
        setObjectName(QStringLiteral("scrContents"));
        setWidgetResizable(true);
        setFrameShape(QFrame::NoFrame);
        // The controls inside take the keyboard, the area itself is no stop of Tab.
        setFocusPolicy(Qt::NoFocus);
        // The control with the keyboard is scrolled into view, whichever way it got there.
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
            if (now && widget() && widget()->isAncestorOf(now))
                ensureWidgetVisible(now);
        });
    }
    void setContents(QWidget* contents) {
        setWidget(contents);
        contents->installEventFilter(this);
    }
    // Unlike QScrollArea's own, not capped at a few dozen lines of text.
    QSize sizeHint() const override {
        const int frame = 2 * frameWidth();
        const QSize contents =
            widget() ? widget()->sizeHint().expandedTo(widget()->minimumSizeHint()) : QSize();
        return contents + QSize(frame, frame);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget() && event->type() == QEvent::LayoutRequest)
            updateGeometry();
        return QScrollArea::eventFilter(watched, event);
    }
};

// The layout below `layout` (or itself) that holds `widget` as one of its own items.
QLayout* layoutHolding(QLayout& layout, const QWidget* widget) {
    for (int i = 0; i < layout.count(); ++i) {
        QLayoutItem* item = layout.itemAt(i);
        if (item->widget() == widget)
            return &layout;
        if (QLayout* inner = item->layout())
            if (QLayout* found = layoutHolding(*inner, widget))
                return found;
    }
    return nullptr;
}

// The dialog's closing buttons in the order its layout shows them: a button box whole, and OK,
// Cancel and Close, each with the buttons of its row when the row holds buttons only.
QList<QWidget*> closingButtons(QDialog& dialog, QLayout& layout) {
    QList<QWidget*> closing;
    for (QDialogButtonBox* box : dialog.findChildren<QDialogButtonBox*>(Qt::FindDirectChildrenOnly))
        closing << box;
    for (QPushButton* button : dialog.findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
        const QString name = button->objectName();
        if (closing.contains(button) ||
            std::none_of(std::begin(kClosingNames), std::end(kClosingNames),
                         [&](const char* closer) { return name == QLatin1String(closer); }))
            continue;
        QLayout* row = layoutHolding(layout, button);
        if (!row)
            continue;
        QList<QWidget*> buttons;
        bool buttonsOnly = true;
        for (int i = 0; i < row->count(); ++i) {
            if (QWidget* widget = row->itemAt(i)->widget()) {
                buttons << widget;
                buttonsOnly = buttonsOnly && qobject_cast<QAbstractButton*>(widget);
            }
        }
        for (QWidget* widget : buttonsOnly ? buttons : QList<QWidget*>{button})
            if (!closing.contains(widget))
                closing << widget;
    }
    return closing;
}

// The window frame around a dialog: as the window system reports it once the window is framed,
// else a title bar and thin borders.
QMargins frameAround(const QWidget& dialog) {
    if (const QWindow* window = dialog.windowHandle(); window && !window->frameMargins().isNull())
        return window->frameMargins();
    const int border = dialog.style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &dialog);
    const int title = dialog.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &dialog);
    return {border, title, border, border};
}

QScrollArea* moveContentsIntoScrollArea(QDialog& dialog, QLayout& layout) {
    QWidget* focus = dialog.focusWidget();
    const QList<QWidget*> closing = closingButtons(dialog, layout);
    for (QWidget* button : closing)
        if (QLayout* row = layoutHolding(layout, button))
            row->removeWidget(button);
    auto* scroll = new ContentsScrollArea(&dialog);
    auto* contents = new QWidget;
    contents->setObjectName(QStringLiteral("fraContents"));
    scroll->setContents(contents);
    // The layout takes the controls it manages with it; they stay in the same window, so the tab
    // order stays as the dialog set it. Controls placed by hand follow.
    contents->setLayout(&layout);
    for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child != scroll && !child->isWindow() && !closing.contains(child) &&
            !qobject_cast<QSizeGrip*>(child))
            child->setParent(contents);
    const QMargins margins = layout.contentsMargins();
    auto* column = new QVBoxLayout(&dialog);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(scroll, 1);
    if (!closing.isEmpty()) {
        auto* row = new QHBoxLayout;
        row->setContentsMargins(margins.left(), margins.top(), margins.right(), margins.bottom());
        row->addStretch();
        for (QWidget* button : closing)
            row->addWidget(button);
        column->addLayout(row);
    }
    scroll->show();
    column->activate();
    if (focus && contents->isAncestorOf(focus))
        focus->setFocus();
    return scroll;
}

bool isStandardDialog(const QDialog& dialog) {
    for (const char* standard :
         {"QMessageBox", "QFileDialog", "QColorDialog", "QFontDialog", "QInputDialog", "QProgressDialog",
          "QErrorMessage", "QWizard", "QAbstractPrintDialog", "QPageSetupDialog", "QPrintPreviewDialog"})
        if (dialog.inherits(standard))
            return true;
    return false;
}

class DialogFitter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The dialog is laid out and sized but not yet on the screen, nor placed by QDialog.
        if (event->type() == QEvent::Show && !event->spontaneous() && watched->isWidgetType())
            if (auto* dialog = qobject_cast<QDialog*>(watched); dialog && dialog->isWindow())
                if (const QScreen* screen = dialog->screen(); screen && !isStandardDialog(*dialog))
                    fitDialogToScreen(*dialog, screen->availableGeometry());
        return false;
    }
};
} // namespace

bool fitDialogToScreen(QDialog& dialog, const QRect& available) {
    if (available.isEmpty())
        return false;
    const QMargins frame = frameAround(dialog);
    const QSize room = available.size().shrunkBy(frame).expandedTo(QSize(1, 1));
    auto* scroll = dialog.findChild<QScrollArea*>(QStringLiteral("scrContents"), Qt::FindDirectChildrenOnly);
    QLayout* layout = dialog.layout();
    QSize size = dialog.size();
    if (!scroll && layout) {
        layout->activate();
        const QSize needed = layout->totalMinimumSize().expandedTo(dialog.minimumSize());
        if (needed.width() > room.width() || needed.height() > room.height()) {
            scroll = moveContentsIntoScrollArea(dialog, *layout);
            size = dialog.sizeHint(); // as big as before, as far as the room goes
        }
    }
    // Minimums set by the dialog's own code give way to the room as well.
    if (dialog.minimumWidth() > room.width() || dialog.minimumHeight() > room.height())
        dialog.setMinimumSize(dialog.minimumSize().boundedTo(room));
    const QSize fitted = size.boundedTo(room).expandedTo(dialog.minimumSize());
    const bool capped = fitted != dialog.size();
    if (capped)
        dialog.resize(fitted);
    // A dialog placed before (by its user, or at an earlier showing) is moved back inside the room.
    // One that was made smaller is placed here, over its parent as QDialog would, but with its frame
    // counted exactly: it may take the whole room. Any other is placed by QDialog when it shows.
    if (!dialog.testAttribute(Qt::WA_Moved) && !capped)
        return scroll != nullptr;
    QRect placed = dialog.geometry().marginsAdded(frame);
    if (!dialog.testAttribute(Qt::WA_Moved)) {
        const QWidget* parent = dialog.parentWidget() ? dialog.parentWidget()->window() : nullptr;
        placed.moveCenter(parent && parent->isVisible() ? parent->frameGeometry().center()
                                                        : available.center());
    }
    placed.moveRight(std::min(placed.right(), available.right()));
    placed.moveBottom(std::min(placed.bottom(), available.bottom()));
    placed.moveLeft(std::max(placed.left(), available.left()));
    placed.moveTop(std::max(placed.top(), available.top()));
    if (placed.topLeft() != dialog.frameGeometry().topLeft() || !dialog.testAttribute(Qt::WA_Moved))
        dialog.move(placed.topLeft());
    return scroll != nullptr;
}

void fitDialogsWhenShown(QObject& owner) {
    qApp->installEventFilter(new DialogFitter(&owner));
}
