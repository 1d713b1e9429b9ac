#pragma once

#include "markup/FramesModel.h"

#include <QDialog>
#include <QPointer>

class DocumentHost;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class EditableDocument;

// The drawing area of the frames designer: the layout's frames and borders painted at 15 twips a
// pixel from the model, and the mouse on them reported in twips. It holds no widget per frame.
class FramesArea : public QWidget {
    Q_OBJECT
public:
    FramesArea(const FramesModel& model, QWidget* parent);

    // The pixel's rectangle of a rectangle in twips.
    static QRectF toPixels(const TwipRect& rect);
    // The border under a point (in pixels), else 0; the frame under it, else -1.
    int borderAt(QPointF point) const;
    int frameAt(QPointF point) const;

signals:
    void frameMouseDown(int frame);
    void borderMouseDown(int border);
    // The left button is held after pressing on `border`; the pointer is `across` twips into it.
    void borderMouseMove(int border, float across);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const FramesModel& m_model;
    int m_pressedBorder = 0;
};

// "Quillora - Frames": a frame layout drawn by splitting frames, with each frame's and border's
// properties, inserted as FRAMESET markup into the document that was current when it opened.
// Modal; the caller runs it.
class frmFrames : public QDialog {
    Q_OBJECT
public:
    frmFrames(DocumentHost& host, QWidget* parent);

    const FramesModel& model() const { return m_model; }

    FramesArea* picWindow = nullptr;
    QPushButton *cmdVFrame = nullptr, *cmdHFrame = nullptr;
    QGroupBox *Frame1 = nullptr, *Frame2 = nullptr;
    QLineEdit *txtName = nullptr, *txtSRC = nullptr, *txtMarginWidth = nullptr, *txtMarginHeight = nullptr,
              *txtFrameWidth = nullptr, *txtFrameHeight = nullptr, *txtBorder = nullptr,
              *txtBorderColor = nullptr;
    QComboBox* cmbScrolling = nullptr;
    QCheckBox* chkNoResize = nullptr;
    QPushButton *cmdBrowse = nullptr, *cmdColor = nullptr, *cmdRemove = nullptr, *cmdOK = nullptr,
                *cmdCancel = nullptr;

public slots:
    void cmdVFrame_Click();
    void cmdHFrame_Click();
    void picFrame_MouseDown(int frame);
    void picBorder_MouseDown(int border);
    void picBorder_MouseMove(int border, float across);
    void cmdBrowse_Click();
    void cmdColor_Click();
    // Asks first; on Yes every split and property is removed.
    void cmdRemove_Click();
    // Inserts the markup (nothing without a split) into the document and closes.
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void restart();
    void split(bool horizontal);
    void showFramePage();
    void showBorderPage();
    // Stores an edit of the frame page in the selected frame's record.
    void frameEdited();
    void borderEdited();

    DocumentHost& m_host;
    QPointer<EditableDocument> m_target;
    FramesModel m_model;
    bool m_filling = false; // the pages are being filled from the records
};
