#include "wizards/frmIsMap.h"

#include "editor/DocumentHost.h"
#include "editor/EditableDocument.h"
#include "editor/mdlFile.h"
#include "platform/Dialogs.h"
#include "platform/RichTextControl.h"
#include "platform/TextFile.h"
#include "platform/UiHelpers.h"
#include "platform/Version.h"
#include "wizards/Pictures.h"
#include "wizards/WizardHelpers.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

// An outline drawn dark on a light border, so that it shows on light and dark pictures alike.
void DrawOutline(QPainter& painter, const MapOutline& outline, const QColor& color) {
    for (const QPen& pen : {QPen(Qt::white, 3), QPen(color, 1)}) {
        painter.setPen(pen);
        const QList<QPoint>& points = outline.Points;
        if (outline.Kind == RectangleShape && points.size() == 2) {
            const QPoint a = points[0], b = points[1];
            painter.drawPolygon(QPolygon({a, QPoint(b.x(), a.y()), b, QPoint(a.x(), b.y())}));
        } else if (outline.Kind == PolygonShape && outline.Open) {
            painter.drawPolyline(QPolygon(points));
        } else if (outline.Kind == PolygonShape) {
            painter.drawPolygon(QPolygon(points));
        } else if (outline.Kind == CircleShape && !points.isEmpty()) {
            painter.drawEllipse(points[0], outline.Radius, outline.Radius);
        }
    }
}

} // namespace

MapPicture::MapPicture(const ImageMapModel& model, QWidget* parent) : QWidget(parent), m_model(model) {
    setObjectName(QStringLiteral("picPicture"));
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setFixedSize(0, 0);
    setAccessibleName(tr("Picture"));
    setAccessibleDescription(tr("The picture of the map with the outlines of its areas. A click with "
                                "the left button adds a point of the shape drawn, the right button "
                                "finishes it."));
}

void MapPicture::setPicture(const QPixmap& picture) {
    m_picture = picture;
    setFixedSize(picture.size());
    update();
}

void MapPicture::setHighlighted(int shape) {
    m_highlighted = shape;
    update();
}

void MapPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
    painter.setBrush(Qt::NoBrush);
    const QList<MapShape>& shapes = m_model.shapes();
    for (int k = 0; k < shapes.size(); ++k)
        DrawOutline(painter, shapes[k].Outline, k == m_highlighted ? Qt::red : Qt::black);
    DrawOutline(painter, m_model.drawing(), Qt::blue);
}

void MapPicture::mouseMoveEvent(QMouseEvent* event) {
    emit moved(event->position().toPoint());
}

// Presses belong to the picture (a click acts when the button is released).
void MapPicture::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void MapPicture::mouseReleaseEvent(QMouseEvent* event) {
    emit released(event->button(), event->position().toPoint());
}

frmIsMap::frmIsMap(DocumentHost& host, QWidget* parent)
    : QDialog(parent), m_host(host), m_target(host.documents().currentEditable()) {
    setObjectName(QStringLiteral("frmIsMap"));
    setWindowTitle(tr("Quillora - Image Map"));
    setModal(true);

    // Controls are made in the order of the layout, which is their tab order.
    const auto caption = [](QGridLayout* grid, int row, const QString& text, QWidget* box) {
        auto* label = new QLabel(text, box->parentWidget());
        label->setBuddy(box);
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
    };

    fraMap = named(new QGroupBox(tr("Map"), this), "fraMap");
    auto* mapGrid = new QGridLayout(fraMap);
    txtMapName = named(new QLineEdit(fraMap), "txtMapName");
    caption(mapGrid, 0, tr("Name:"), txtMapName);
    cmdPicture = named(new QPushButton(tr("Picture:"), fraMap), "cmdPicture");
    txtPicture = named(new QLineEdit(fraMap), "txtPicture");
    mapGrid->addWidget(cmdPicture, 1, 0);
    mapGrid->addWidget(txtPicture, 1, 1);

    fraShape = named(new QGroupBox(tr("Shape"), this), "fraShape");
    auto* shapeGrid = new QGridLayout(fraShape);
    cmbShape = named(new QComboBox(fraShape), "cmbShape");
    cmbShape->addItems({tr("Rectangle"), tr("Polygon"), tr("Circle")});
    caption(shapeGrid, 0, tr("Shape:"), cmbShape);
    txtCoords = named(new QLineEdit(fraShape), "txtCoords");
    // Digits, spaces and commas, typed or pasted; Enter is dropped (see eventFilter).
    txtCoords->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9 ,]*")), txtCoords));
    txtCoords->installEventFilter(this);
    caption(shapeGrid, 1, tr("Coordinates:"), txtCoords);
    txtLink = named(new QLineEdit(fraShape), "txtLink");
    caption(shapeGrid, 2, tr("Link:"), txtLink);
    cmdBrowse = named(new QPushButton(QStringLiteral("..."), fraShape), "cmdBrowse");
    cmdBrowse->setFixedWidth(cmdBrowse->fontMetrics().horizontalAdvance(QStringLiteral("...")) * 3);
    shapeGrid->addWidget(cmdBrowse, 2, 2);
    txtTarget = named(new QLineEdit(fraShape), "txtTarget");
    caption(shapeGrid, 3, tr("Target:"), txtTarget);
    txtAlt = named(new QLineEdit(fraShape), "txtAlt");
    caption(shapeGrid, 4, tr("Alt:"), txtAlt);

    cmbShapes = named(new QComboBox(this), "cmbShapes");
    cmbShapes->setAccessibleName(tr("Shapes"));
    cmdAdd = named(new QPushButton(tr("Add shape"), this), "cmdAdd");
    cmdRemove = named(new QPushButton(tr("Remove shape"), this), "cmdRemove");
    lblX = named(new QLabel(QStringLiteral("0"), this), "lblX");
    lblY = named(new QLabel(QStringLiteral("0"), this), "lblY");
    for (QLabel* readout : {lblX, lblY})
        readout->setMinimumWidth(readout->fontMetrics().horizontalAdvance(QStringLiteral("00000")));

    picPicture = new MapPicture(m_model, this);
    // A picture larger than the screen is scrolled; its pixels stay at the widget's coordinates.
    picArea = named(new QScrollArea(this), "picArea");
    picArea->setWidgetResizable(false);
    picArea->setWidget(picPicture);

    cmdOK = named(new QPushButton(tr("&OK"), this), "cmdOK");
    cmdCancel = named(new QPushButton(tr("&Cancel"), this), "cmdCancel");
    // Enter in a box never finishes the map: OK is pressed by its button or Ctrl+Enter.
    OkByItsButtonOnly(*this, cmdOK);

    auto* readouts = new QHBoxLayout;
    readouts->addWidget(new QLabel(QStringLiteral("X:"), this));
    readouts->addWidget(lblX);
    readouts->addWidget(new QLabel(QStringLiteral("Y:"), this));
    readouts->addWidget(lblY);
    readouts->addStretch();
    auto* list = new QVBoxLayout;
    list->addWidget(cmbShapes);
    list->addWidget(cmdAdd);
    list->addWidget(cmdRemove);
    list->addStretch();
    list->addLayout(readouts);
    auto* frames = new QVBoxLayout;
    frames->addWidget(fraMap);
    frames->addWidget(fraShape);
    auto* top = new QHBoxLayout;
    top->addLayout(frames, 1);
    top->addLayout(list);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(picArea, 1);
    layout->addLayout(buttons);

    connect(cmdPicture, &QPushButton::clicked, this, &frmIsMap::cmdPicture_Click);
    connect(cmbShape, &QComboBox::activated, this, &frmIsMap::cmbShape_Click);
    connect(picPicture, &MapPicture::moved, this, &frmIsMap::picPicture_MouseMove);
    connect(picPicture, &MapPicture::released, this, &frmIsMap::picPicture_MouseUp);
    connect(cmdAdd, &QPushButton::clicked, this, &frmIsMap::cmdAdd_Click);
    connect(cmbShapes, &QComboBox::activated, this, &frmIsMap::cmbShapes_Click);
    // The area picked in the list is drawn highlighted, and only a picked area can be removed.
    connect(cmbShapes, &QComboBox::currentIndexChanged, this, [this](int index) {
        picPicture->setHighlighted(index < 0 ? -1 : cmbShapes->itemText(index).mid(5).toInt());
        cmdRemove->setEnabled(index >= 0);
    });
    connect(cmdRemove, &QPushButton::clicked, this, &frmIsMap::cmdRemove_Click);
    connect(cmdBrowse, &QPushButton::clicked, this, &frmIsMap::cmdBrowse_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmIsMap::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmIsMap::cmdCancel_Click);

    // Drawing, the shape boxes and OK wait for a picture; adding for a complete outline.
    for (QWidget* waiting :
         {static_cast<QWidget*>(picPicture), static_cast<QWidget*>(fraShape), static_cast<QWidget*>(cmdOK),
          static_cast<QWidget*>(cmdAdd), static_cast<QWidget*>(cmdRemove)})
        waiting->setEnabled(false);
    txtMapName->setFocus();
}

bool frmIsMap::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtCoords && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmIsMap::cmdPicture_Click() {
    const QString path = ShowPictureDialog(m_host);
    if (path.isEmpty())
        return;
    if (!loadPicture(path)) {
        Dialogs::instance().message(this, MessageBoxTitle(),
                                    tr("An error occurred when opening file: ") + path, Dialogs::Buttons::Ok,
                                    Dialogs::Icon::Critical);
        return;
    }
    txtPicture->setText(MakeRelativePath(m_target, path));
    picPicture->setEnabled(true);
    fraShape->setEnabled(true);
    cmdOK->setEnabled(true);
}

bool frmIsMap::loadPicture(const QString& path) {
    QFile file;
    QString reason;
    if (!OpenRegularFile(path, kMaxPictureBytes, file, reason))
        return false;
    QImageReader reader(&file);
    // Turned as its orientation mark says, as browsers show it, so the areas fit what they show.
    reader.setAutoTransform(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QImage image = reader.read();
    QApplication::restoreOverrideCursor();
    if (image.isNull() || image.size().isEmpty())
        return false;
    m_model.setPictureSize(image.size());
    picPicture->setPicture(QPixmap::fromImage(image));
    cmdAdd->setEnabled(false);
    showPointer(m_model.pointer());
    fitToPicture();
    return true;
}

void frmIsMap::fitToPicture() {
    // Beyond the room the screen leaves, the picture scrolls and OK and Cancel stay on the screen.
    const AreaOnScreen fit = fitAreaToScreen(*this, *picArea, picPicture->size());
    picArea->setMinimumSize(fit.area);
    picArea->setMaximumSize(fit.area);
    resize(sizeHint().boundedTo(fit.room));
    if (QScreen* screen = this->screen()) {
        QRect placed = frameGeometry();
        placed.moveCenter(screen->availableGeometry().center());
        move(placed.topLeft());
    }
}

void frmIsMap::cmbShape_Click() {
    // By position: the list's texts are in the user's language (RectangleShape is 1, as the list begins).
    m_model.setDrawKind(cmbShape->currentIndex() < 0 ? NoShape : cmbShape->currentIndex() + RectangleShape);
    cmdAdd->setEnabled(false);
    picPicture->update();
}

void frmIsMap::showPointer(QPoint point) {
    lblX->setText(QString::number(point.x()));
    lblY->setText(QString::number(point.y()));
}

void frmIsMap::picPicture_MouseMove(QPoint point) {
    m_model.moveTo(point);
    showPointer(m_model.pointer());
    picPicture->update();
}

void frmIsMap::picPicture_MouseUp(Qt::MouseButton button, QPoint point) {
    if (button == Qt::LeftButton)
        applyEdit(m_model.leftClick(point));
    else if (button == Qt::RightButton)
        applyEdit(m_model.rightClick(point));
    else
        return;
    showPointer(m_model.pointer());
    cmdAdd->setEnabled(m_model.shapeComplete());
    picPicture->update();
}

void frmIsMap::applyEdit(const CoordsEdit& edit) {
    switch (edit.action) {
    case CoordsEdit::Keep:
        break;
    case CoordsEdit::Set:
        txtCoords->setText(edit.text);
        break;
    case CoordsEdit::Append:
        txtCoords->setText(txtCoords->text() + edit.text);
        break;
    case CoordsEdit::Insert:
        txtCoords->insert(edit.text);
        break;
    }
}

void frmIsMap::clearShapeBoxes() {
    for (QLineEdit* box : {txtCoords, txtLink, txtTarget, txtAlt})
        box->clear();
}

void frmIsMap::cmdAdd_Click() {
    const int k =
        m_model.addShape(CleanCoords(txtCoords->text()), txtLink->text(), txtTarget->text(), txtAlt->text());
    if (k < 0)
        return;
    // A new entry is listed without being picked.
    const int picked = cmbShapes->currentIndex();
    cmbShapes->addItem(QStringLiteral("Shape") + QString::number(k));
    cmbShapes->setCurrentIndex(picked);
    clearShapeBoxes();
    cmdAdd->setEnabled(false);
    picPicture->update();
}

void frmIsMap::cmbShapes_Click() {
    const int k = cmbShapes->currentText().mid(5).toInt();
    if (cmbShapes->currentIndex() < 0 || k < 0 || k >= m_model.shapes().size())
        return;
    const MapShape shape = m_model.shapes()[k];
    cmbShape->setCurrentIndex(shape.Kind - 1);
    cmbShape_Click();
    txtAlt->setText(shape.Alt);
    txtCoords->setText(shape.Coords);
    txtLink->setText(shape.Link);
    txtTarget->setText(shape.Target);
}

void frmIsMap::cmdRemove_Click() {
    const int index = cmbShapes->currentIndex();
    if (index < 0)
        return;
    m_model.removeShape(cmbShapes->itemText(index).mid(5).toInt());
    cmbShapes->removeItem(index);
    cmbShapes->setCurrentIndex(-1);
    // The boxes are emptied, so an outline in progress would go on from coordinates it lost.
    m_model.discardDrawing();
    clearShapeBoxes();
    cmdAdd->setEnabled(false);
    picPicture->update();
}

void frmIsMap::cmdBrowse_Click() {
    const QString chosen = ShowFileDialog(m_host, FileDialogAction::Open, true);
    if (!chosen.isEmpty())
        txtLink->setText(MakeRelativePath(m_target, chosen));
}

void frmIsMap::cmdOK_Click() {
    if (txtPicture->text().isEmpty()) {
        reject();
    } else {
        // Into the document current when the dialog opened; nowhere once it has closed.
        if (m_target)
            m_target->InsertAtCursor(BuildImageMapCode(txtPicture->text(), txtMapName->text(),
                                                       m_model.shapes(), m_host.settings().Indent));
        accept();
    }
    if (m_target)
        m_target->text().setFocus();
}

void frmIsMap::cmdCancel_Click() {
    reject();
}

#include "moc_frmIsMap.cpp"
