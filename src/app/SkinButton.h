#pragma once

#include "app/Skin.h"

#include <QToolBar>
#include <QWidget>

class QHBoxLayout;

// A picture button: a small area showing a face copied out of the skin picture. Pressing any
// mouse button shows the pressed face; dragging with the left button held shows it pressed while
// the pointer is inside and normal outside; letting go shows the normal face again, and letting
// go of the left button inside is a click. A button without a face never reacts.
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
    // As a click with the left mouse button.
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

private:
    const ButtonFace& m_info;
    const ButtonSkin& m_skin;
    QPixmap m_face;
};

// A strip of picture buttons in the skin's background colour, side by side in a fixed order.
// A click on its bare area is reported as `clicked`.
class SkinStrip : public QToolBar {
    Q_OBJECT
public:
    SkinStrip(const QString& title, QWidget* parent = nullptr);

    // A picture button of the skin, or another button that sits in the row with them.
    void addButton(QWidget* button);
    QColor background() const { return m_background; }
    void setBackground(const QColor& color);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QWidget* m_row = nullptr;
    QHBoxLayout* m_layout = nullptr;
    QColor m_background;
};
