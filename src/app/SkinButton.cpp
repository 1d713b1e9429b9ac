#include "app/SkinButton.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QTimer>

#include <algorithm>

namespace {
// A picture button as assistive technology sees it: a button that can take the keyboard, whose
// press action is a click.
class SkinButtonAccessible : public QAccessibleWidget {
public:
    explicit SkinButtonAccessible(SkinButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.focusable = true;
        return state;
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action != pressAction())
            return QAccessibleWidget::doAction(action);
        auto* button = static_cast<SkinButton*>(widget());
        if (button->isEnabled() && button->faceInfo().group != ButtonGroup::None)
            button->click();
    }
    QStringList keyBindingsForAction(const QString& action) const override {
        return action == pressAction() ? QStringList{QStringLiteral("Space")} : QStringList();
    }
};

QAccessibleInterface* skinButtonAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("SkinButton") && object && object->isWidgetType())
        return new SkinButtonAccessible(static_cast<SkinButton*>(object));
    return nullptr;
}

QString stripName(ButtonGroup group) {
    switch (group) {
    case ButtonGroup::File:
        return QStringLiteral("Toolbar");
    case ButtonGroup::Browser:
        return QStringLiteral("Browser");
    default:
        return QStringLiteral("Toolbox");
    }
}

// Lays its widgets out left to right, as many on a row as its width holds and the rest on further
// rows. A toolbar does not ask its widgets for a height to go with a width, so the layout reports
// the height of the rows at the width it was last given, and has itself asked again when a new
// width changes the number of rows.
class FlowLayout : public QLayout {
public:
    explicit FlowLayout(QWidget* parent) : QLayout(parent) {
        setContentsMargins(0, 0, 0, 0);
        setSpacing(0);
    }
    ~FlowLayout() override {
        while (QLayoutItem* item = takeAt(0))
            delete item;
    }
    void addItem(QLayoutItem* item) override { m_items << item; }
    int count() const override { return int(m_items.size()); }
    QLayoutItem* itemAt(int index) const override { return m_items.value(index); }
    QLayoutItem* takeAt(int index) override {
        return index >= 0 && index < m_items.size() ? m_items.takeAt(index) : nullptr;
    }
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return arrange(QRect(0, 0, width, 0), false); }
    // All on one row, as high as the rows are at the width given last.
    QSize sizeHint() const override {
        int width = 0;
        for (const QLayoutItem* item : m_items)
            if (!item->isEmpty())
                width += item->sizeHint().width();
        return {width, heightForWidth(m_width > 0 ? m_width : width)};
    }
    QSize minimumSize() const override {
        int widest = 0;
        for (const QLayoutItem* item : m_items)
            if (!item->isEmpty())
                widest = std::max(widest, item->sizeHint().width());
        return {widest, sizeHint().height()};
    }
    void setGeometry(const QRect& rect) override {
        QLayout::setGeometry(rect);
        const int before = heightForWidth(m_width > 0 ? m_width : sizeHint().width());
        m_width = rect.width();
        arrange(rect, true);
        if (heightForWidth(m_width) != before)
            QTimer::singleShot(0, this, [this] { invalidate(); });
    }

private:
    // Places the items (when `place`) and gives the height their rows take.
    int arrange(const QRect& rect, bool place) const {
        int x = rect.x(), y = rect.y(), rowHeight = 0;
        for (QLayoutItem* item : m_items) {
            if (item->isEmpty())
                continue;
            const QSize size = item->sizeHint();
            if (x > rect.x() && x + size.width() > rect.x() + rect.width()) {
                x = rect.x();
                y += rowHeight;
                rowHeight = 0;
            }
            if (place)
                item->setGeometry(QRect(QPoint(x, y), size));
            x += size.width();
            rowHeight = std::max(rowHeight, size.height());
        }
        return y + rowHeight - rect.y();
    }

    QList<QLayoutItem*> m_items;
    int m_width = 0;
};
} // namespace

SkinButton::SkinButton(const ButtonFace& face, const ButtonSkin& skin, QWidget* parent)
    : QWidget(parent), m_info(face), m_skin(skin) {
    static const bool accessible = (QAccessible::installFactory(skinButtonAccessible), true);
    Q_UNUSED(accessible);
    setObjectName(QString::fromLatin1(face.name));
    const QString tooltip = QCoreApplication::translate("Skin", face.tooltip);
    setToolTip(tooltip);
    // The name without the key in brackets ("Back (Alt+Bksp)"); the description tells the strip.
    // Compiled once for all the buttons, which are made at start-up.
    static const QRegularExpression keyInBrackets(QStringLiteral("\\s*\\([^)]*\\)$"));
    setAccessibleName(QString(tooltip).remove(keyInBrackets));
    setAccessibleDescription(tr("%1 button: %2").arg(stripName(face.group), tooltip));
    setFixedSize(face.size);
    // The document keeps the keyboard focus while its buttons are used.
    setFocusPolicy(Qt::NoFocus);
    if (face.group == ButtonGroup::None)
        setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SkinButton::setFace(const QPixmap& face) {
    m_face = face;
    update();
}

void SkinButton::draw(ButtonState state) {
    if (m_info.group != ButtonGroup::None)
        DrawButton(*this, m_skin, m_info.face.x(), m_info.face.y(), state);
}

void SkinButton::click() {
    emit released(true);
    emit clicked();
}

void SkinButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    painter.fillRect(rect(), m_skin.background);
    if (!m_face.isNull())
        painter.drawPixmap(0, 0, m_face);
    // The button the keys of the strip act on shows it.
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(2, 2, -2, -2);
        focus.backgroundColor = m_skin.background;
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

void SkinButton::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void SkinButton::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void SkinButton::mousePressEvent(QMouseEvent* event) {
    event->accept();
    draw(ButtonState::Pressed);
}

void SkinButton::mouseMoveEvent(QMouseEvent* event) {
    // Only a drag with the left button alone follows the pointer in and out.
    if (event->buttons() != Qt::LeftButton)
        return;
    draw(rect().contains(event->position().toPoint()) ? ButtonState::Pressed : ButtonState::Normal);
}

void SkinButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool inside = rect().contains(event->position().toPoint());
    draw(ButtonState::Normal);
    emit released(inside);
    if (event->button() == Qt::LeftButton && inside)
        emit clicked();
}

ButtonStripKeys::ButtonStripKeys(std::function<QList<QWidget*>()> buttons, std::function<void()> leave,
                                 QObject* parent)
    : QObject(parent), m_buttons(std::move(buttons)), m_leave(std::move(leave)) {}

void ButtonStripKeys::watch(QWidget* button) {
    button->installEventFilter(this);
}

QList<QWidget*> ButtonStripKeys::reachable() const {
    QList<QWidget*> buttons = m_buttons();
    buttons.removeIf(
        [](const QWidget* button) { return !button->isVisibleTo(button->window()) || !button->isEnabled(); });
    return buttons;
}

bool ButtonStripKeys::focusFirst() {
    const QList<QWidget*> buttons = reachable();
    if (buttons.isEmpty() || !buttons.first()->isVisible())
        return false;
    buttons.first()->setFocus(Qt::TabFocusReason);
    return true;
}

bool ButtonStripKeys::hasFocus() const {
    const QList<QWidget*> buttons = m_buttons();
    return std::any_of(buttons.begin(), buttons.end(),
                       [](const QWidget* button) { return button->hasFocus(); });
}

bool ButtonStripKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* button = static_cast<QWidget*>(watched);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier))
        return false;
    const QList<QWidget*> buttons = reachable();
    const qsizetype at = buttons.indexOf(button);
    if (at < 0)
        return false;
    const bool leftToRight = button->layoutDirection() == Qt::LeftToRight;
    qsizetype to = -1;
    switch (key->key()) {
    case Qt::Key_Left:
        to = leftToRight ? at - 1 : at + 1;
        break;
    case Qt::Key_Right:
        to = leftToRight ? at + 1 : at - 1;
        break;
    case Qt::Key_Up:
        to = at - 1;
        break;
    case Qt::Key_Down:
        to = at + 1;
        break;
    case Qt::Key_Home:
        to = 0;
        break;
    case Qt::Key_End:
        to = buttons.size() - 1;
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* picture = qobject_cast<SkinButton*>(button))
            picture->click();
        else if (auto* other = qobject_cast<QAbstractButton*>(button))
            other->click();
        return true;
    case Qt::Key_Escape:
        m_leave();
        return true;
    default:
        return false;
    }
    // Along the strip and round from one end to the other.
    buttons.at((to + buttons.size()) % buttons.size())->setFocus(Qt::TabFocusReason);
    return true;
}

SkinStrip::SkinStrip(const QString& title, QWidget* parent) : QToolBar(title, parent) {
    setMovable(false);
    setFloatable(false);
    setAccessibleName(title);
    // The strips are part of the window, not something to switch off from a context menu.
    toggleViewAction()->setVisible(false);
    m_row = new QWidget(this);
    m_layout = new FlowLayout(m_row);
    addWidget(m_row);
    m_keys = new ButtonStripKeys(
        [this] {
            QList<QWidget*> buttons;
            for (int i = 0; i < m_layout->count(); ++i)
                if (QWidget* button = m_layout->itemAt(i)->widget())
                    buttons << button;
            return buttons;
        },
        [this] { emit escaped(); }, this);
}

void SkinStrip::addButton(QWidget* button) {
    m_layout->addWidget(button);
    m_keys->watch(button);
}

void SkinStrip::setBackground(const QColor& color) {
    m_background = color;
    update();
    m_row->update();
}

void SkinStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_background);
}

void SkinStrip::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void SkinStrip::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

#include "moc_SkinButton.cpp"
