#pragma once

#include "markup/ImageMapModel.h"

#include <QDialog>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class DocumentHost;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class EditableDocument;

// The picture of the image map editor with the areas' outlines drawn over it. It reports the
// pointer's moves and released buttons in the picture's pixels.
class MapPicture : public QWidget {
    Q_OBJECT
public:
    MapPicture(const ImageMapModel& model, QWidget* parent);
    void setPicture(const QPixmap& picture);
    // The area drawn highlighted (the one picked in the list); -1 for none.
    void setHighlighted(int shape);

signals:
    void moved(QPoint point);
    void released(Qt::MouseButton button, QPoint point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const ImageMapModel& m_model;
    QPixmap m_picture;
    int m_highlighted = -1;
};

// "Quillora - Image Map": areas drawn on a picture (rectangles, polygons, circles), each with a
// link, target and alternative text, inserted as an IMG tag using a MAP of AREA lines into the
// document that was current when the dialog opened.
class frmIsMap : public QDialog {
    Q_OBJECT
public:
    frmIsMap(DocumentHost& host, QWidget* parent);

    const ImageMapModel& model() const { return m_model; }

    QGroupBox *fraMap = nullptr, *fraShape = nullptr;
    QLineEdit *txtMapName = nullptr, *txtPicture = nullptr, *txtCoords = nullptr, *txtLink = nullptr,
              *txtTarget = nullptr, *txtAlt = nullptr;
    QComboBox *cmbShape = nullptr, *cmbShapes = nullptr;
    QPushButton *cmdPicture = nullptr, *cmdBrowse = nullptr, *cmdAdd = nullptr, *cmdRemove = nullptr,
                *cmdOK = nullptr, *cmdCancel = nullptr;
    QLabel *lblX = nullptr, *lblY = nullptr;
    MapPicture* picPicture = nullptr;
    QScrollArea* picArea = nullptr;

public slots:
    void cmdPicture_Click();
    void cmbShape_Click();
    void picPicture_MouseMove(QPoint point);
    void picPicture_MouseUp(Qt::MouseButton button, QPoint point);
    void cmdAdd_Click();
    void cmbShapes_Click();
    void cmdRemove_Click();
    void cmdBrowse_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Loads the picture at `path`; false (and nothing changed) when it cannot be read.
    bool loadPicture(const QString& path);
    // Sizes the picture area and the dialog to the picture, within the screen, centred on it.
    void fitToPicture();
    void applyEdit(const CoordsEdit& edit);
    void showPointer(QPoint point);
    void clearShapeBoxes();

    DocumentHost& m_host;
    QPointer<EditableDocument> m_target;
    ImageMapModel m_model;
};
