#pragma once

#include <QColor>
#include <QDialog>
#include <QImage>
#include <QPoint>

class DocumentHost;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class EditableDocument;

// "Color": a colour put together from its red, green and blue components, typed, chosen in the
// colour dialog or taken from a pixel of a picture, and given back as a "#rrggbb" code. It serves
// a colour box of another dialog (the field) or the selection of a document; each call says which.
class frmColor : public QDialog {
    Q_OBJECT
public:
    // Opens at the colour of `initialCode` when it is "#" and six hexadecimal digits (the code is
    // shown as it stands), else at black, "#000000".
    frmColor(const QString& initialCode, DocumentHost& host, QWidget* parent);

    // Edits the colour of `box`: on OK the box takes the code and the colour as its background.
    // Returns whether OK was pressed.
    static bool runForField(QLineEdit& box, DocumentHost& host);
    // Edits the colour code selected in `document`; on OK the selection is replaced by the code.
    // Returns whether OK was pressed.
    static bool runForDocument(DocumentHost& host, EditableDocument& document);
    // The code the dialog opens with for the document's selection. Six characters selected right
    // behind a "#" are taken with it: the selection is widened over the "#".
    static QString prepareDocumentSelection(EditableDocument& document);
    // Puts the code in place of the document's selection as one undo step.
    static void applyToDocument(EditableDocument& document, const QString& code);
    // Writes the code into the box and paints its background in that colour.
    static void applyToField(QLineEdit& box, const QString& code);

    QString code() const;
    QColor color() const;
    // Takes the colour of the loaded picture's pixel at `point` (in the picture's own pixels), as
    // a click there does; nothing when no picture is loaded or the point lies outside it.
    void pickAt(QPoint point);

    QLineEdit *txtRed = nullptr, *txtGreen = nullptr, *txtBlue = nullptr, *txtColor = nullptr;
    QLabel* picPicture = nullptr;
    QPushButton *cmdSelect = nullptr, *cmdPick = nullptr, *cmdOK = nullptr, *cmdCancel = nullptr;

public slots:
    void cmdOK_Click();
    void cmdSelect_Click();
    void cmdPick_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void component_Change(QLineEdit* box);
    // A key typed into a component box; true when the box must not see it.
    bool componentKey(QLineEdit* box, QKeyEvent* event);
    // The swatch and the code (in lower case) from the three boxes.
    void showColor();
    void setComponents(const QColor& color);
    void showPicture(const QImage& image);

    DocumentHost& m_host;
    QImage m_picture;
    QScrollArea* m_pictureArea = nullptr;
};
