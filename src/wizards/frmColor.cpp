#include "wizards/frmColor.h"

#include "editor/DocumentHost.h"
#include "editor/EditableDocument.h"
#include "markup/ColorCodes.h"
#include "platform/Dialogs.h"
#include "platform/RichTextControl.h"
#include "platform/UiHelpers.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

namespace {

bool IsHexDigit(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

bool LooksLikeCode(const QString& code) {
    return code.size() == 7 && code.at(0) == QLatin1Char('#');
}

// The colour of a "#rrggbb" code, each digit read with HexValue; black for anything else.
QColor ColorOfCode(const QString& code) {
    if (!LooksLikeCode(code))
        return QColor(0, 0, 0);
    const auto component = [&code](int at) {
        return HexValue(code.mid(at, 1)) * 16 + HexValue(code.mid(at + 1, 1));
    };
    return QColor(component(1), component(3), component(5));
}

// A box shows `color` as its background, its text in black or white, whichever stays readable.
void PaintBox(QLineEdit& box, const QColor& color) {
    QPalette palette = box.palette();
    palette.setColor(QPalette::Base, color);
    const int brightness = (color.red() * 299 + color.green() * 587 + color.blue() * 114) / 1000;
    palette.setColor(QPalette::Text, brightness >= 128 ? Qt::black : Qt::white);
    box.setPalette(palette);
}

int ComponentValue(const QLineEdit* box) {
    return std::clamp(box->text().toInt(), 0, 255);
}

} // namespace

frmColor::frmColor(const QString& initialCode, DocumentHost& host, QWidget* parent)
    : QDialog(parent), m_host(host) {
    setObjectName(QStringLiteral("frmColor"));
    setWindowTitle(tr("Quillora - Color"));
    setModal(true);

    auto* grid = new QGridLayout;
    const auto addBox = [this, grid](const QString& caption, const char* name, int row) {
        auto* box = new QLineEdit(QStringLiteral("0"), this);
        box->setObjectName(QLatin1String(name));
        auto* label = new QLabel(caption, this);
        label->setBuddy(box);
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        return box;
    };
    txtRed = addBox(tr("Red:"), "txtRed", 0);
    txtGreen = addBox(tr("Green:"), "txtGreen", 1);
    txtBlue = addBox(tr("Blue: "), "txtBlue", 2);
    txtColor = addBox(tr("Hex:"), "txtColor", 3);
    txtColor->setText(QStringLiteral("#000000"));
    txtColor->setAccessibleDescription(tr("The code of the colour chosen, shown on that colour."));
    txtColor->setReadOnly(true);
    for (QLineEdit* box : {txtRed, txtGreen, txtBlue}) {
        box->setMaxLength(3);
        // Digits only, also when pasted or dropped; the key filter below handles typing.
        box->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), box));
        box->installEventFilter(this);
        connect(box, &QLineEdit::textChanged, this, [this, box] { component_Change(box); });
    }

    cmdSelect = new QPushButton(tr("Select color..."), this);
    cmdSelect->setObjectName(QStringLiteral("cmdSelect"));
    cmdPick = new QPushButton(tr("Get color from picture..."), this);
    cmdPick->setObjectName(QStringLiteral("cmdPick"));
    cmdOK = new QPushButton(tr("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(tr("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdSelect, &QPushButton::clicked, this, &frmColor::cmdSelect_Click);
    connect(cmdPick, &QPushButton::clicked, this, &frmColor::cmdPick_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmColor::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    picPicture = new QLabel;
    picPicture->setObjectName(QStringLiteral("picPicture"));
    picPicture->setAccessibleName(tr("Picture"));
    picPicture->setAccessibleDescription(tr("A click on the picture takes the colour of that point."));
    picPicture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picPicture->setCursor(Qt::CrossCursor);
    picPicture->installEventFilter(this);
    // A picture larger than the screen is scrolled; its pixels stay at the label's coordinates.
    m_pictureArea = new QScrollArea(this);
    m_pictureArea->setWidgetResizable(false);
    m_pictureArea->setWidget(picPicture);
    picPicture->hide();
    m_pictureArea->hide();

    auto* tools = new QVBoxLayout;
    tools->addWidget(cmdSelect);
    tools->addWidget(cmdPick);
    tools->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(grid);
    top->addLayout(tools);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->addWidget(m_pictureArea, 1);

    setTabOrder(txtRed, txtGreen);
    setTabOrder(txtGreen, txtBlue);
    setTabOrder(txtBlue, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, cmdSelect);
    setTabOrder(cmdSelect, cmdPick);
    setTabOrder(cmdPick, txtColor);

    // The boxes write the code in lower case as they change; the code given is then shown as it
    // stands, unless it is no colour code, when the boxes' own code stays.
    const QColor initial = ColorOfCode(initialCode);
    setComponents(initial);
    if (LooksLikeCode(initialCode) && std::all_of(initialCode.begin() + 1, initialCode.end(), IsHexDigit))
        txtColor->setText(initialCode);

    txtRed->setFocus();
    txtRed->selectAll();
}

QString frmColor::code() const {
    return txtColor->text();
}

QColor frmColor::color() const {
    return QColor(ComponentValue(txtRed), ComponentValue(txtGreen), ComponentValue(txtBlue));
}

void frmColor::component_Change(QLineEdit* box) {
    // Each rewrite comes back here and goes on from the rewritten text.
    if (box->text().isEmpty()) {
        box->setText(QStringLiteral("0"));
        return;
    }
    if (box->text().toInt() > 255) {
        box->setText(QStringLiteral("255"));
        return;
    }
    showColor();
}

void frmColor::showColor() {
    const QColor current = color();
    PaintBox(*txtColor, current);
    txtColor->setText(RGBToHex(current.red(), current.green(), current.blue()));
}

void frmColor::setComponents(const QColor& color) {
    txtRed->setText(QString::number(color.red()));
    txtGreen->setText(QString::number(color.green()));
    txtBlue->setText(QString::number(color.blue()));
    // Boxes that already held their value raise no change: the code is written anyway.
    showColor();
}

bool frmColor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == picPicture) {
        // Only mouse events are read as such.
        const bool press = event->type() == QEvent::MouseButtonPress;
        const auto* mouse =
            press || event->type() == QEvent::MouseMove ? static_cast<QMouseEvent*>(event) : nullptr;
        if (mouse && (press ? mouse->button() == Qt::LeftButton : bool(mouse->buttons() & Qt::LeftButton))) {
            pickAt(mouse->position().toPoint());
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && (box == txtRed || box == txtGreen || box == txtBlue)) {
        if (event->type() == QEvent::KeyPress && componentKey(box, static_cast<QKeyEvent*>(event)))
            return true;
        if (event->type() == QEvent::FocusOut && box->text().isEmpty())
            box->setText(QStringLiteral("0"));
        // Enter in a box moves on (see componentKey): no button is the default meanwhile, not even
        // the one the dialog made default when it was shown or when a button lost the focus.
        if (event->type() == QEvent::FocusIn)
            for (QPushButton* button : findChildren<QPushButton*>())
                button->setDefault(false);
    }
    return QDialog::eventFilter(watched, event);
}

bool frmColor::componentKey(QLineEdit* box, QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (box->text().isEmpty())
            box->setText(QStringLiteral("0"));
        // The tab reason selects the next box's text, so what is typed there replaces it.
        QWidget* next = box == txtRed     ? static_cast<QWidget*>(txtGreen)
                        : box == txtGreen ? static_cast<QWidget*>(txtBlue)
                                          : static_cast<QWidget*>(cmdOK);
        next->setFocus(Qt::TabFocusReason);
        return true;
    }
    // Shortcuts (copy, paste, select all, mnemonics) and keys without a character go on as usual.
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString typed = event->text();
    if (typed.size() != 1 || !typed.at(0).isPrint())
        return false;
    const QChar digit = typed.at(0);
    if (digit >= QLatin1Char('0') && digit <= QLatin1Char('9')) {
        const int selected = box->hasSelectedText() ? box->selectionLength() : 0;
        const DigitResult result =
            ApplyDigit(box->text(), box->cursorPosition(),
                       selected > 0 ? box->selectionStart() : box->cursorPosition(), selected, digit);
        if (result.changed) {
            box->setText(result.text);
            box->setCursorPosition(std::min(result.cursor, static_cast<int>(box->text().size())));
        }
    }
    return true;
}

void frmColor::cmdOK_Click() {
    for (QLineEdit* box : {txtRed, txtGreen, txtBlue})
        if (box->text().isEmpty())
            box->setText(QStringLiteral("0"));
    accept();
}

void frmColor::cmdSelect_Click() {
    const std::optional<QColor> chosen = Dialogs::instance().chooseColor(this, color());
    if (chosen && chosen->isValid())
        setComponents(chosen->toRgb());
}

void frmColor::cmdPick_Click() {
    Dialogs::FileRequest request;
    request.title = tr("Get color from picture");
    request.folder = m_host.dialogFolder();
    request.filter =
        QStringLiteral("GIF, JPEG, PNG (*.gif,*.jpg,*.png)|*.gif;*.jpg;*.png|BMP (*.bmp)|*.bmp|"
                       "GIF (*.gif)|*.gif|JPEG (*.jpg)|*.jpg|PNG (*.png)|*.png|All files (*.*)|*.*");
    request.filterIndex = 1;
    const QString path = Dialogs::instance().openFile(this, request);
    if (path.isEmpty())
        return;
    const QImage image(path);
    if (image.isNull())
        return;
    showPicture(image);
}

void frmColor::showPicture(const QImage& image) {
    m_picture = image;
    picPicture->setPixmap(QPixmap::fromImage(image));
    picPicture->setFixedSize(image.size());
    picPicture->show();
    m_pictureArea->show();

    // The picture area asks for the whole picture, as far as the screen leaves room beside the
    // rest of the dialog; the dialog grows to that and is kept on the screen.
    const AreaOnScreen fit = fitAreaToScreen(*this, *m_pictureArea, image.size());
    m_pictureArea->setMinimumSize(fit.area);
    resize((isVisible() ? size() : QSize(0, 0)).expandedTo(sizeHint()).boundedTo(fit.room));
    QScreen* screen = this->screen();
    if (screen && isVisible()) {
        const QRect available = screen->availableGeometry();
        QRect placed = frameGeometry();
        placed.moveRight(std::min(placed.right(), available.right()));
        placed.moveBottom(std::min(placed.bottom(), available.bottom()));
        placed.moveLeft(std::max(placed.left(), available.left()));
        placed.moveTop(std::max(placed.top(), available.top()));
        move(placed.topLeft());
    }
}

void frmColor::pickAt(QPoint point) {
    if (m_picture.isNull() || !m_picture.rect().contains(point))
        return;
    setComponents(m_picture.pixelColor(point).toRgb());
}

bool frmColor::runForField(QLineEdit& box, DocumentHost& host) {
    frmColor dialog(box.text(), host, host.dialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    applyToField(box, dialog.code());
    return true;
}

void frmColor::applyToField(QLineEdit& box, const QString& code) {
    box.setText(code);
    PaintBox(box, ColorOfCode(code));
}

QString frmColor::prepareDocumentSelection(EditableDocument& document) {
    RichTextControl& text = document.text();
    const int start = text.selStart();
    if (start > 0 && text.selLength() == 6 && text.charAt(start - 1) == QLatin1Char('#'))
        text.select(start - 1, 7);
    return text.selText();
}

void frmColor::applyToDocument(EditableDocument& document, const QString& code) {
    document.ReplaceSelection(code);
}

bool frmColor::runForDocument(DocumentHost& host, EditableDocument& document) {
    const QString initial = prepareDocumentSelection(document);
    frmColor dialog(initial, host, host.dialogParent());
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (accepted)
        applyToDocument(document, dialog.code());
    document.focus();
    return accepted;
}

#include "moc_frmColor.cpp"
