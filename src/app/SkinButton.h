#pragma once

#include "app/Skin.h"

#include <QToolBar>
#include <QWidget>

#include <functional>

class QLayout;

// A picture button: a small area showing a face copied out of the skin picture. Pressing any
// mouse button shows the pressed face; dragging with the left button held shows it pressed while
// the pointer is inside and normal outside; letting go shows the normal face again, and letting
// go of the left button inside is a click. A button without a face never reacts.
// To assistive technology it is a button named by its tooltip, which its press action clicks; it
// takes the keyboard only when asked to (see ButtonStripKeys), so a click leaves the focus where it is.
class SkinButton : public QWidget {
    Q_OBJECT
public:
    SkinButton(const ButtonFace& face, const ButtonSkin& skin, QWidget* parent = nullptr);

    const ButtonFace& faceInfo() const { return m_info; }
    // The picture the button shows.
    const QPixmap& face() const { return m_face; }
    void setFace(const QPixmap& face);
    // Copies the button's own normal or pressed face out of the skin.
    void draw(ButtonState state);

    QSize sizeHint() const override { return m_info.size; }

public slots:
    // As a click with the left mouse button: `released` inside, then `clicked`.
    void click();

signals:
    // A mouse button was let go, with the pointer inside the button or not; the face is normal again.
    void released(bool inside);
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    const ButtonFace& m_info;
    const ButtonSkin& m_skin;
    QPixmap m_face;
};

// The keys of a strip of buttons that has the keyboard: the arrow keys, Home and End move along the
// buttons shown, Space and Enter press the one with the focus, and Esc is reported by `leave`.
class ButtonStripKeys : public QObject {
    Q_OBJECT
public:
    // `buttons`: the strip's buttons in order (hidden and disabled ones are passed over).
    ButtonStripKeys(std::function<QList<QWidget*>()> buttons, std::function<void()> leave, QObject* parent);
    // The keys of `button` are the strip's.
    void watch(QWidget* button);
    // Gives the first button shown the focus; false when none is shown.
    bool focusFirst();
    bool hasFocus() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QWidget*> reachable() const;
    std::function<QList<QWidget*>()> m_buttons;
    std::function<void()> m_leave;
};

// A strip of picture buttons in the skin's background colour, side by side in a fixed order, and
// on further rows where the window is too narrow for one. A click on its bare area is reported as
// `clicked`; Esc on one of its buttons as `escaped`.
class SkinStrip : public QToolBar {
    Q_OBJECT
public:
    SkinStrip(const QString& title, QWidget* parent = nullptr);

    // A picture button of the skin, or another button that sits in the row with them.
    void addButton(QWidget* button);
    QColor background() const { return m_background; }
    void setBackground(const QColor& color);
    ButtonStripKeys& keys() { return *m_keys; }

signals:
    void clicked();
    void escaped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QWidget* m_row = nullptr;
    QLayout* m_layout = nullptr;
    ButtonStripKeys* m_keys = nullptr;
    QColor m_background;
};
