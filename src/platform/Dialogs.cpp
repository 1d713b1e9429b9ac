#include "platform/Dialogs.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>

namespace {
std::unique_ptr<Dialogs>& installed() {
    static std::unique_ptr<Dialogs> dialogs;
    return dialogs;
}
} // namespace

Dialogs& Dialogs::instance() {
    std::unique_ptr<Dialogs>& dialogs = installed();
    if (!dialogs)
        dialogs = std::make_unique<QtDialogs>();
    return *dialogs;
}

void Dialogs::install(std::unique_ptr<Dialogs> dialogs) {
    installed() = std::move(dialogs);
}

namespace {
// The descriptions in the program's file filters, shown in the user's language by qtNameFilters;
// the patterns beside them are never translated.
[[maybe_unused]] const char* const kFilterDescriptions[] = {
    QT_TRANSLATE_NOOP("FileFilter", "Default"),       QT_TRANSLATE_NOOP("FileFilter", "All Formats"),
    QT_TRANSLATE_NOOP("FileFilter", "Dynamic HTML"),  QT_TRANSLATE_NOOP("FileFilter", "Hypertext"),
    QT_TRANSLATE_NOOP("FileFilter", "Stylesheet"),    QT_TRANSLATE_NOOP("FileFilter", "Text"),
    QT_TRANSLATE_NOOP("FileFilter", "All Files"),     QT_TRANSLATE_NOOP("FileFilter", "All files"),
    QT_TRANSLATE_NOOP("FileFilter", "All"),           QT_TRANSLATE_NOOP("FileFilter", "Executables"),
    QT_TRANSLATE_NOOP("FileFilter", "Quillora Skins")};
} // namespace

QStringList qtNameFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i).trimmed();
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        // Qt reads the patterns from the last parentheses, so a description that already shows
        // its patterns gets them in Qt's spelling instead of a second pair.
        static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)$"));
        description.remove(trailingPatterns);
        description = QCoreApplication::translate("FileFilter", description.toUtf8().constData());
        result << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    return result;
}

void PrepareMessageBox(QMessageBox& box, const QString& title, const QString& text, Dialogs::Icon icon) {
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText); // what users typed is shown as it stands
    box.setText(text);
    switch (icon) {
    case Dialogs::Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Dialogs::Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Dialogs::Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Dialogs::Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    // The title bar is the window manager's: its font is taken a fifth larger and bold, as title
    // fonts usually are, and its buttons (close, maximise, minimise) and the window icon get room.
    QFont titleFont = box.font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(title) + 4 * 32;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
}

Dialogs::Answer QtDialogs::message(QWidget* parent, const QString& title, const QString& text,
                                   Buttons buttons, Icon icon) {
    QMessageBox box(parent);
    PrepareMessageBox(box, title, text, icon);
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case Buttons::YesNoDefaultNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::Ok;
    }
}

int QtDialogs::choose(QWidget* parent, const QString& title, const QString& text, const QStringList& choices,
                      Icon icon, int defaultChoice, int cancelChoice) {
    QMessageBox box(parent);
    PrepareMessageBox(box, title, text, icon);
    QList<QPushButton*> buttons;
    for (int i = 0; i < choices.size(); ++i)
        buttons << box.addButton(choices.at(i),
                                 i == cancelChoice ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
    if (defaultChoice >= 0 && defaultChoice < buttons.size())
        box.setDefaultButton(buttons.at(defaultChoice));
    if (cancelChoice >= 0 && cancelChoice < buttons.size())
        box.setEscapeButton(buttons.at(cancelChoice));
    box.exec();
    const auto chosen = buttons.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
    return chosen >= 0 ? static_cast<int>(chosen) : cancelChoice;
}

namespace {
QStringList runFileDialog(QWidget* parent, const Dialogs::FileRequest& request, QFileDialog::AcceptMode mode,
                          QFileDialog::FileMode fileMode) {
    QFileDialog dialog(parent, request.title, request.folder);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(fileMode);
    const QStringList filters = qtNameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(request.filterIndex - 1));
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}
} // namespace

QString QtDialogs::openFile(QWidget* parent, const FileRequest& request) {
    return runFileDialog(parent, request, QFileDialog::AcceptOpen, QFileDialog::ExistingFile).value(0);
}

QString QtDialogs::saveFile(QWidget* parent, const FileRequest& request) {
    return runFileDialog(parent, request, QFileDialog::AcceptSave, QFileDialog::AnyFile).value(0);
}

QStringList QtDialogs::openFiles(QWidget* parent, const FileRequest& request) {
    return runFileDialog(parent, request, QFileDialog::AcceptOpen, QFileDialog::ExistingFiles);
}

QString QtDialogs::chooseFolder(QWidget* parent, const QString& prompt, const QString& folder) {
    return QFileDialog::getExistingDirectory(parent, prompt, folder, QFileDialog::ShowDirsOnly);
}

std::optional<QColor> QtDialogs::chooseColor(QWidget* parent, const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

bool QtDialogs::print(QWidget* parent, const PrintRequest& request) {
    QPrintDialog dialog(request.printer, parent);
    if (request.hasSelection) {
        dialog.setOption(QAbstractPrintDialog::PrintSelection, true);
        request.printer->setPrintRange(QPrinter::Selection);
    }
    return dialog.exec() == QDialog::Accepted;
}
