#include "wizards/frmFrames.h"

#include "editor/DocumentHost.h"
#include "editor/EditableDocument.h"
#include "editor/mdlFile.h"
#include "platform/Dialogs.h"
#include "platform/RichTextControl.h"
#include "platform/UiHelpers.h"
#include "platform/Version.h"
#include "wizards/Pictures.h"
#include "wizards/WizardHelpers.h"
#include "wizards/frmColor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The drawing area's inner size in twips: 400 by 300 pixels.
constexpr float kAreaWidth = 6000;
constexpr float kAreaHeight = 4500;

const QColor kFrameColor(192, 192, 192);
const QColor kSelectedFrameColor(255, 255, 128);
const QColor kBorderColor(128, 128, 128);
const QColor kSelectedBorderColor(255, 0, 0);

// A point in pixels as twips, at the middle of its pixel.
float ToTwips(qreal pixels) {
    return static_cast<float>(pixels) * FramesModel::TwipsPerPixel + FramesModel::TwipsPerPixel / 2;
}

bool Contains(const TwipRect& rect, QPointF pixel) {
    const float x = ToTwips(pixel.x()), y = ToTwips(pixel.y());
    return x >= rect.left && x < rect.left + rect.width && y >= rect.top && y < rect.top + rect.height;
}

} // namespace

FramesArea::FramesArea(const FramesModel& model, QWidget* parent) : QWidget(parent), m_model(model) {
    setFixedSize(qRound(model.innerWidth() / FramesModel::TwipsPerPixel),
                 qRound(model.innerHeight() / FramesModel::TwipsPerPixel));
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(tr("Frames"));
    setAccessibleDescription(tr("The page's frames as they divide the window. A click on a frame "
                                "selects it, a border is dragged to move it."));
}

QRectF FramesArea::toPixels(const TwipRect& rect) {
    const float scale = FramesModel::TwipsPerPixel;
    return QRectF(rect.left / scale, rect.top / scale, rect.width / scale, rect.height / scale);
}

int FramesArea::borderAt(QPointF point) const {
    for (int k = 1; k <= m_model.splitCount(); ++k)
        if (Contains(m_model.borderRects[k], point))
            return k;
    return 0;
}

int FramesArea::frameAt(QPointF point) const {
    for (int k = 0; k <= m_model.splitCount(); ++k)
        if (Contains(m_model.frameRects[k], point))
            return k;
    return -1;
}

void FramesArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    for (int k = 0; k <= m_model.splitCount(); ++k) {
        const QRectF area = toPixels(m_model.frameRects[k]);
        painter.fillRect(area, k == m_model.selected ? kSelectedFrameColor : kFrameColor);
        painter.setPen(QColor(96, 96, 96));
        painter.drawRect(area.adjusted(0, 0, -1, -1));
        painter.setPen(Qt::black);
        painter.drawText(area, Qt::AlignCenter, QString::number(k));
    }
    for (int k = 1; k <= m_model.splitCount(); ++k)
        painter.fillRect(toPixels(m_model.borderRects[k]),
                         k == m_model.currentBorder ? kSelectedBorderColor : kBorderColor);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void FramesArea::mousePressEvent(QMouseEvent* event) {
    const QPointF point = event->position();
    m_pressedBorder = 0;
    if (const int border = borderAt(point)) {
        if (event->button() == Qt::LeftButton)
            m_pressedBorder = border;
        emit borderMouseDown(border);
    } else if (const int frame = frameAt(point); frame >= 0) {
        emit frameMouseDown(frame);
    }
}

void FramesArea::mouseMoveEvent(QMouseEvent* event) {
    // The border pressed on follows the pointer as long as the left button is held.
    if (m_pressedBorder == 0 || !(event->buttons() & Qt::LeftButton))
        return;
    const bool horizontal = m_model.borders[m_pressedBorder].Horizontal;
    const float pointer = ToTwips(horizontal ? event->position().y() : event->position().x());
    emit borderMouseMove(m_pressedBorder, pointer - m_model.borderRects[m_pressedBorder].start(horizontal));
}

void FramesArea::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_pressedBorder = 0;
}

frmFrames::frmFrames(DocumentHost& host, QWidget* parent)
    : QDialog(parent), m_host(host), m_target(host.documents().currentEditable()),
      m_model(kAreaWidth, kAreaHeight) {
    setObjectName(QStringLiteral("frmFrames"));
    setWindowTitle(tr("Quillora - Frames"));
    setModal(true);

    picWindow = named(new FramesArea(m_model, this), "picWindow");
    cmdVFrame = named(new QPushButton(tr("Insert &vertical frame"), this), "cmdVFrame");
    cmdHFrame = named(new QPushButton(tr("Insert &horizontal frame"), this), "cmdHFrame");

    Frame1 = named(new QGroupBox(this), "Frame1");
    txtName = named(new QLineEdit(Frame1), "txtName");
    txtSRC = named(new QLineEdit(Frame1), "txtSRC");
    cmdBrowse = named(new QPushButton(tr("&Browse..."), Frame1), "cmdBrowse");
    cmbScrolling = named(new QComboBox(Frame1), "cmbScrolling");
    cmbScrolling->addItems({QStringLiteral("Auto"), QStringLiteral("Yes"), QStringLiteral("No")});
    cmbScrolling->installEventFilter(this);
    txtMarginWidth = named(new QLineEdit(Frame1), "txtMarginWidth");
    txtMarginHeight = named(new QLineEdit(Frame1), "txtMarginHeight");
    txtFrameWidth = named(new QLineEdit(Frame1), "txtFrameWidth");
    txtFrameHeight = named(new QLineEdit(Frame1), "txtFrameHeight");
    chkNoResize = named(new QCheckBox(tr("No resize."), Frame1), "chkNoResize");
    auto* source = new QHBoxLayout;
    source->addWidget(txtSRC);
    source->addWidget(cmdBrowse);
    auto* framePage = new QFormLayout(Frame1);
    framePage->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    framePage->addRow(tr("Name:"), txtName);
    framePage->addRow(tr("Source:"), source);
    framePage->addRow(tr("Scrolling:"), cmbScrolling);
    framePage->addRow(tr("Margin width:"), txtMarginWidth);
    framePage->addRow(tr("Margin height:"), txtMarginHeight);
    framePage->addRow(tr("Width (%, * or px):"), txtFrameWidth);
    framePage->addRow(tr("Height (%, * or px): "), txtFrameHeight);
    framePage->addRow(chkNoResize);

    Frame2 = named(new QGroupBox(this), "Frame2");
    txtBorder = named(new QLineEdit(Frame2), "txtBorder");
    txtBorderColor = named(new QLineEdit(Frame2), "txtBorderColor");
    cmdColor = named(new QPushButton(tr("Colo&r..."), Frame2), "cmdColor");
    auto* color = new QHBoxLayout;
    color->addWidget(txtBorderColor);
    color->addWidget(cmdColor);
    auto* borderPage = new QFormLayout(Frame2);
    borderPage->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    borderPage->addRow(tr("Border size:"), txtBorder);
    borderPage->addRow(tr("Border color:"), color);

    cmdRemove = named(new QPushButton(tr("Restart"), this), "cmdRemove");
    cmdOK = named(new QPushButton(tr("&OK"), this), "cmdOK");
    cmdCancel = named(new QPushButton(tr("&Cancel"), this), "cmdCancel");

    auto* splits = new QHBoxLayout;
    splits->addWidget(cmdVFrame);
    splits->addWidget(cmdHFrame);
    auto* drawing = new QVBoxLayout;
    drawing->addWidget(picWindow);
    drawing->addLayout(splits);
    drawing->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRemove);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    Frame1->setMinimumWidth(340);
    auto* pages = new QVBoxLayout;
    pages->addWidget(Frame1);
    pages->addWidget(Frame2);
    pages->addStretch();
    pages->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(drawing);
    layout->addLayout(pages);

    setTabChain({picWindow, cmdVFrame, cmdHFrame, txtName, txtSRC, cmdBrowse, cmbScrolling, txtMarginWidth,
                 txtMarginHeight, txtFrameWidth, txtFrameHeight, chkNoResize, txtBorder, txtBorderColor,
                 cmdColor, cmdRemove, cmdOK, cmdCancel});

    connect(cmdVFrame, &QPushButton::clicked, this, &frmFrames::cmdVFrame_Click);
    connect(cmdHFrame, &QPushButton::clicked, this, &frmFrames::cmdHFrame_Click);
    connect(picWindow, &FramesArea::frameMouseDown, this, &frmFrames::picFrame_MouseDown);
    connect(picWindow, &FramesArea::borderMouseDown, this, &frmFrames::picBorder_MouseDown);
    connect(picWindow, &FramesArea::borderMouseMove, this, &frmFrames::picBorder_MouseMove);
    for (QLineEdit* box : {txtName, txtSRC, txtMarginWidth, txtMarginHeight, txtFrameWidth, txtFrameHeight})
        connect(box, &QLineEdit::textChanged, this, &frmFrames::frameEdited);
    connect(cmbScrolling, &QComboBox::activated, this, &frmFrames::frameEdited);
    connect(chkNoResize, &QCheckBox::toggled, this, &frmFrames::frameEdited);
    for (QLineEdit* box : {txtBorder, txtBorderColor})
        connect(box, &QLineEdit::textChanged, this, &frmFrames::borderEdited);
    connect(cmdBrowse, &QPushButton::clicked, this, &frmFrames::cmdBrowse_Click);
    connect(cmdColor, &QPushButton::clicked, this, &frmFrames::cmdColor_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmFrames::cmdRemove_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmFrames::cmdOK_Click);
    // Enter in a box never finishes the frameset: OK is pressed by its button or Ctrl+Enter.
    OkByItsButtonOnly(*this, cmdOK);
    connect(cmdCancel, &QPushButton::clicked, this, &frmFrames::cmdCancel_Click);

    restart();
    txtName->setFocus();
}

void frmFrames::restart() {
    m_model.reset();
    showFramePage();
    showBorderPage();
    picWindow->update();
}

void frmFrames::showFramePage() {
    const FrameRecord& frame = m_model.frames[m_model.selected];
    m_filling = true;
    Frame1->setTitle(tr("Frame(%1) properties:").arg(m_model.selected));
    Frame1->setEnabled(true);
    txtName->setText(frame.Name);
    cmbScrolling->setCurrentIndex(cmbScrolling->findText(frame.Scrolling));
    txtSRC->setText(frame.Source);
    txtMarginWidth->setText(frame.MarginWidth);
    txtMarginHeight->setText(frame.MarginHeight);
    chkNoResize->setChecked(frame.NoResize);
    txtFrameHeight->setText(frame.Height);
    txtFrameWidth->setText(frame.Width);
    m_filling = false;
}

void frmFrames::showBorderPage() {
    const int current = m_model.currentBorder;
    m_filling = true;
    Frame2->setTitle(current ? tr("Border(%1) properties:").arg(current) : tr("Border properties:"));
    Frame2->setEnabled(current != 0);
    txtBorder->setText(m_model.borders[current].BorderSize);
    txtBorderColor->setText(m_model.borders[current].BorderColor);
    txtBorderColor->setPalette(QPalette()); // the picker's colour belonged to the border shown before
    m_filling = false;
}

void frmFrames::frameEdited() {
    if (m_filling)
        return;
    FrameRecord& frame = m_model.frames[m_model.selected];
    frame.Name = txtName->text();
    frame.Scrolling = cmbScrolling->currentText();
    frame.Source = txtSRC->text();
    frame.MarginWidth = txtMarginWidth->text();
    frame.MarginHeight = txtMarginHeight->text();
    frame.NoResize = chkNoResize->isChecked();
    frame.Height = txtFrameHeight->text();
    frame.Width = txtFrameWidth->text();
}

void frmFrames::borderEdited() {
    if (m_filling || m_model.currentBorder == 0)
        return;
    BorderRecord& border = m_model.borders[m_model.currentBorder];
    border.BorderSize = txtBorder->text();
    border.BorderColor = txtBorderColor->text();
}

void frmFrames::cmdVFrame_Click() {
    split(false);
}

void frmFrames::cmdHFrame_Click() {
    split(true);
}

void frmFrames::split(bool horizontal) {
    if (!m_model.split(horizontal))
        return;
    m_filling = true;
    txtFrameHeight->setText(m_model.frames[m_model.selected].Height);
    txtFrameWidth->setText(m_model.frames[m_model.selected].Width);
    m_filling = false;
    picWindow->update();
    picWindow->setFocus();
}

void frmFrames::picFrame_MouseDown(int frame) {
    m_model.selected = frame;
    showFramePage();
    picWindow->update();
}

void frmFrames::picBorder_MouseDown(int border) {
    m_model.currentBorder = border;
    showBorderPage();
    picWindow->update();
}

void frmFrames::picBorder_MouseMove(int border, float across) {
    if (border != m_model.splitCount())
        return; // only the latest border moves
    const int selected = m_model.selected;
    m_model.dragLatestBorder(across);
    if (m_model.selected != selected) {
        showFramePage();
    } else {
        m_filling = true;
        txtFrameWidth->setText(m_model.frames[selected].Width);
        txtFrameHeight->setText(m_model.frames[selected].Height);
        m_filling = false;
    }
    picWindow->update();
}

void frmFrames::cmdBrowse_Click() {
    const QString path = ShowFileDialog(m_host, FileDialogAction::Open, true);
    if (!path.isEmpty())
        txtSRC->insert(MakeRelativePath(m_target, path)); // in place of the selected text
}

void frmFrames::cmdColor_Click() {
    frmColor picker(txtBorderColor->text(), m_host, this);
    if (picker.exec() == QDialog::Accepted)
        frmColor::applyToField(*txtBorderColor, picker.code());
}

void frmFrames::cmdRemove_Click() {
    const QString question = tr("When restarting all frames, borders and properties will be removed.\r\n"
                                "Are you sure you want to remove all frames and restart?");
    if (Dialogs::instance().message(this, MessageBoxTitle(), question, Dialogs::Buttons::YesNo,
                                    Dialogs::Icon::Question) == Dialogs::Answer::Yes)
        restart();
}

void frmFrames::cmdOK_Click() {
    // Without a split there is no frameset: the document stays as it is.
    if (m_target && m_model.splitCount() > 0)
        m_target->InsertAtCursor(BuildFrameset(m_model, m_host.settings().Indent));
    accept();
    if (m_target)
        m_target->text().setFocus();
}

void frmFrames::cmdCancel_Click() {
    reject();
}

bool frmFrames::eventFilter(QObject* watched, QEvent* event) {
    // The scrolling list is only picked from: typed letters do not choose an entry.
    if (watched == cmbScrolling && event->type() == QEvent::KeyPress)
        return !static_cast<QKeyEvent*>(event)->text().trimmed().isEmpty();
    return QDialog::eventFilter(watched, event);
}

#include "moc_frmFrames.cpp"
