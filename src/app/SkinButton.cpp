#include "app/SkinButton.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>

SkinButton::SkinButton(const ButtonFace& face, const ButtonSkin& skin, QWidget* parent)
    : QWidget(parent), m_info(face), m_skin(skin) {
    setObjectName(QString::fromLatin1(face.name));
    setToolTip(QString::fromLatin1(face.tooltip));
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
    emit clicked();
}

void SkinButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_skin.background);
    if (!m_face.isNull())
        painter.drawPixmap(0, 0, m_face);
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

SkinStrip::SkinStrip(const QString& title, QWidget* parent) : QToolBar(title, parent) {
    setMovable(false);
    setFloatable(false);
    // The strips are part of the window, not something to switch off from a context menu.
    toggleViewAction()->setVisible(false);
    m_row = new QWidget(this);
    m_layout = new QHBoxLayout(m_row);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    addWidget(m_row);
}

void SkinStrip::addButton(QWidget* button) {
    m_layout->addWidget(button);
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
