#include "app/frmSettings.h"

#include "app/SettingsIO.h"
#include "app/frmQuillora.h"
#include "editor/Spelling.h"
#include "editor/frmNotepad.h"
#include "platform/Dialogs.h"
#include "platform/Paths.h"
#include "platform/RichTextControl.h"
#include "wizards/Pictures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

namespace {
template <class T> T* named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

// The characters a file name cannot hold; the path and extension boxes drop them as they are typed.
const QString kRefusedInPaths = QStringLiteral("/\\:*?\"<>|");
const QString kCrLf = QStringLiteral("\r\n");
// Font sizes the store can hold; anything else keeps the size in memory.
constexpr int kMinFontSize = 1, kMaxFontSize = 32767;
// The colours of the boxes txtHTMLcolor(0) to (3).
constexpr ColorSlot kBoxSlots[] = {ColorSlot::Tag, ColorSlot::Text, ColorSlot::Value, ColorSlot::Comment};

void setBoxColor(QLineEdit* box, ColorValue color) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, colorFromValue(color));
    box->setPalette(palette);
}

QLabel* labelFor(QWidget* buddy, const QString& caption) {
    auto* label = new QLabel(caption, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}
} // namespace

QStringList DoOnOpenTexts() {
    return {QCoreApplication::translate("frmSettings", "Nothing"),
            QCoreApplication::translate("frmSettings", "Lcase HTML commands"),
            QCoreApplication::translate("frmSettings", "Remove HTML commands"),
            QCoreApplication::translate("frmSettings", "Ucase HTMLcommands"),
            QCoreApplication::translate("frmSettings", "Convert to DOS format"),
            QCoreApplication::translate("frmSettings", "Convert to UNIX format"),
            QCoreApplication::translate("frmSettings", "Convert to MAC format")};
}

frmSettings::frmSettings(frmQuillora& main, QWidget* parent) : QDialog(parent), m_main(main) {
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(tr("Quillora - Settings"));
    setAttribute(Qt::WA_DeleteOnClose);

    tbsOptions = named(new QTabBar(this), QStringLiteral("tbsOptions"));
    const std::pair<const char*, const char*> tabs[] = {
        {QT_TR_NOOP("General"), QT_TR_NOOP("General settings")},
        {QT_TR_NOOP("HTML Colors"), QT_TR_NOOP("Change the colors of the HTML code")},
        {QT_TR_NOOP("Documents"), QT_TR_NOOP("Settings for documents")}};
    m_pages = new QStackedWidget(this);
    for (int i = 0; i < 3; ++i) {
        tbsOptions->addTab(tr(tabs[i].first));
        tbsOptions->setTabToolTip(i, tr(tabs[i].second));
        picOptions[i] = named(new QWidget(m_pages), QStringLiteral("picOptions%1").arg(i));
        m_pages->addWidget(picOptions[i]);
    }
    buildGeneralPage(picOptions[0]);
    buildColorsPage(picOptions[1]);
    buildDocumentsPage(picOptions[2]);

    cmdOK = named(new QPushButton(tr("&OK"), this), QStringLiteral("cmdOK"));
    cmdCancel = named(new QPushButton(tr("&Cancel"), this), QStringLiteral("cmdCancel"));
    // Enter in any box confirms; only OK is a default button.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    cmdOK->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tbsOptions);
    layout->addWidget(m_pages);
    layout->addLayout(buttons);

    connect(tbsOptions, &QTabBar::currentChanged, this, &frmSettings::tbsOptions_Click);
    // Ctrl+Tab moves to the next page, from the last back to the first.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this), &QShortcut::activated, this,
            [this] { tbsOptions->setCurrentIndex((tbsOptions->currentIndex() + 1) % tbsOptions->count()); });
    connect(cmdBrowseCompiler, &QPushButton::clicked, this, &frmSettings::cmdBrowseCompiler_Click);
    connect(cmdBrowseSkin, &QPushButton::clicked, this, &frmSettings::cmdBrowseSkin_Click);
    connect(cmdBrowserDir, &QPushButton::clicked, this, &frmSettings::cmdBrowserDir_Click);
    for (int i = 0; i < 4; ++i)
        connect(cmdHTMLbrowse[i], &QPushButton::clicked, this, [this, i] { cmdHTMLbrowse_Click(i); });
    connect(cmdBrowseBGColor, &QPushButton::clicked, this, &frmSettings::cmdBrowseBGColor_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmSettings::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    fillFromSettings();
    connect(cmbFont, &QComboBox::currentTextChanged, this, &frmSettings::updateExample);
    connect(cmbFontSize, &QComboBox::currentTextChanged, this, &frmSettings::updateExample);

    const QList<QWidget*> order = {
        txtJavaCompiler,  cmdBrowseCompiler, cmbLineBreak,     txtDefDir,        cmdBrowserDir,
        chkLastDir,       txtSkin,           cmdBrowseSkin,    cmbExtention,     optIndTab,
        optIndOth,        txtIndent,         chkAutoIndent,    chkCloseTags,     chkRestoreSession,
        chkUseColors,     txtHTMLcolor[0],   cmdHTMLbrowse[0], txtHTMLcolor[1],  cmdHTMLbrowse[1],
        txtHTMLcolor[2],  cmdHTMLbrowse[2],  txtHTMLcolor[3],  cmdHTMLbrowse[3], txtTabWidth,
        chkHighlightLine, txtBackcolor,      cmdBrowseBGColor, cmbFont,          cmbFontSize,
        cmbOnOpen,        chkSpellCheck,     cmbSpellLanguage, chkSpellComments, cmdOK,
        cmdCancel,        tbsOptions};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    txtJavaCompiler->setFocus();
}

void frmSettings::buildGeneralPage(QWidget* page) {
    const auto pathBox = [this, page](const char* name) {
        auto* box = named(new QLineEdit(page), QLatin1String(name));
        box->installEventFilter(this);
        return box;
    };
    const auto browseButton = [page](const char* name) {
        return named(new QPushButton(QStringLiteral("..."), page), QLatin1String(name));
    };
    txtJavaCompiler = pathBox("txtJavaCompiler");
    cmdBrowseCompiler = browseButton("cmdBrowseCompiler");
    cmbLineBreak = named(new QComboBox(page), QStringLiteral("cmbLineBreak"));
    cmbLineBreak->addItems({QStringLiteral("WIN/DOS"), QStringLiteral("UNIX"), QStringLiteral("MAC")});
    txtDefDir = pathBox("txtDefDir");
    cmdBrowserDir = browseButton("cmdBrowserDir");
    chkLastDir = named(new QCheckBox(tr("Remember last directory."), page), QStringLiteral("chkLastDir"));
    txtSkin = pathBox("txtSkin");
    cmdBrowseSkin = browseButton("cmdBrowseSkin");
    cmbExtention = named(new QComboBox(page), QStringLiteral("cmbExtention"));
    cmbExtention->setEditable(true);
    cmbExtention->installEventFilter(this);
    cmbExtention->addItems({"asp", "cgi", "dhtml", "htm", "html", "java", "js", "php3", "phtml", "pl", "css",
                            "shtml", "txt", "xml"});
    optIndTab = named(new QRadioButton(tr("Tab"), page), QStringLiteral("optIndTab"));
    optIndOth = named(new QRadioButton(tr("Other:"), page), QStringLiteral("optIndOth"));
    txtIndent = named(new QLineEdit(page), QStringLiteral("txtIndent"));
    txtIndent->setAccessibleName(tr("Other indent")); // the option beside it is its label
    chkAutoIndent = named(new QCheckBox(tr("Start a new line indented as the line above."), page),
                          QStringLiteral("chkAutoIndent"));
    chkCloseTags =
        named(new QCheckBox(tr("Complete end tags after \"</\"."), page), QStringLiteral("chkCloseTags"));
    chkRestoreSession = named(new QCheckBox(tr("Reopen the documents of the last session."), page),
                              QStringLiteral("chkRestoreSession"));

    auto* grid = new QGridLayout(page);
    grid->addWidget(labelFor(txtJavaCompiler, tr("Java compiler:")), 0, 0);
    grid->addWidget(txtJavaCompiler, 0, 1, 1, 3);
    grid->addWidget(cmdBrowseCompiler, 0, 4);
    grid->addWidget(labelFor(cmbLineBreak, tr("Default linebreak: ")), 1, 0);
    grid->addWidget(cmbLineBreak, 1, 1, 1, 3);
    grid->addWidget(labelFor(txtDefDir, tr("Default directory:")), 2, 0);
    grid->addWidget(txtDefDir, 2, 1, 1, 3);
    grid->addWidget(cmdBrowserDir, 2, 4);
    grid->addWidget(chkLastDir, 3, 1, 1, 3);
    grid->addWidget(labelFor(txtSkin, tr("Button skin:")), 4, 0);
    grid->addWidget(txtSkin, 4, 1, 1, 3);
    grid->addWidget(cmdBrowseSkin, 4, 4);
    grid->addWidget(labelFor(cmbExtention, tr("Default file extention:")), 5, 0);
    grid->addWidget(cmbExtention, 5, 1, 1, 3);
    grid->addWidget(new QLabel(tr("Standard indent:"), page), 6, 0);
    grid->addWidget(optIndTab, 6, 1);
    grid->addWidget(optIndOth, 6, 2);
    grid->addWidget(txtIndent, 6, 3);
    grid->addWidget(chkAutoIndent, 7, 1, 1, 3);
    grid->addWidget(chkCloseTags, 8, 1, 1, 3);
    grid->addWidget(chkRestoreSession, 9, 1, 1, 3);
    grid->setRowStretch(10, 1);
}

void frmSettings::buildColorsPage(QWidget* page) {
    chkUseColors = named(new QCheckBox(tr("Use colored HTML tags."), page), QStringLiteral("chkUseColors"));
    auto* grid = new QGridLayout(page);
    grid->addWidget(chkUseColors, 0, 0, 1, 3);
    const char* captions[] = {QT_TR_NOOP("Tag color:"), QT_TR_NOOP("Text color:"), QT_TR_NOOP("Value color:"),
                              QT_TR_NOOP("Comment color:")};
    for (int i = 0; i < 4; ++i) {
        txtHTMLcolor[i] = named(new QLineEdit(page), QStringLiteral("txtHTMLcolor%1").arg(i));
        txtHTMLcolor[i]->setReadOnly(true);
        cmdHTMLbrowse[i] =
            named(new QPushButton(QStringLiteral("..."), page), QStringLiteral("cmdHTMLbrowse%1").arg(i));
        grid->addWidget(labelFor(txtHTMLcolor[i], tr(captions[i])), i + 1, 0);
        grid->addWidget(txtHTMLcolor[i], i + 1, 1);
        grid->addWidget(cmdHTMLbrowse[i], i + 1, 2);
    }
    for (const char* note :
         {QT_TR_NOOP("The text color is also used as the text color when colored HTML tags is disabled."),
          QT_TR_NOOP("These settings will take affect next time you start Quillora.")}) {
        auto* label = new QLabel(tr(note), page);
        label->setWordWrap(true);
        grid->addWidget(label, grid->rowCount(), 0, 1, 3);
    }
    txtTabWidth = named(new QSpinBox(page), QStringLiteral("txtTabWidth"));
    txtTabWidth->setRange(1, 16);
    const int tabRow = grid->rowCount();
    grid->addWidget(labelFor(txtTabWidth, tr("Tab width:")), tabRow, 0);
    grid->addWidget(txtTabWidth, tabRow, 1);
    chkHighlightLine =
        named(new QCheckBox(tr("Mark the line of the cursor."), page), QStringLiteral("chkHighlightLine"));
    grid->addWidget(chkHighlightLine, tabRow + 1, 0, 1, 3);
    grid->setRowStretch(grid->rowCount(), 1);
}

void frmSettings::buildDocumentsPage(QWidget* page) {
    txtBackcolor = named(new QLineEdit(page), QStringLiteral("txtBackcolor"));
    txtBackcolor->setReadOnly(true);
    cmdBrowseBGColor =
        named(new QPushButton(QStringLiteral("..."), page), QStringLiteral("cmdBrowseBGColor"));
    cmbFont = named(new QComboBox(page), QStringLiteral("cmbFont"));
    cmbFontSize = named(new QComboBox(page), QStringLiteral("cmbFontSize"));
    cmbFontSize->setEditable(true);
    cmbFontSize->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), cmbFontSize));
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        cmbFontSize->addItem(QString::number(size));
    cmbOnOpen = named(new QComboBox(page), QStringLiteral("cmbOnOpen"));
    cmbOnOpen->addItems(DoOnOpenTexts());
    fraExample = named(new QGroupBox(tr("Example"), page), QStringLiteral("fraExample"));
    lblExample = named(new QLabel(tr("123 Example"), fraExample), QStringLiteral("lblExample"));
    lblExample->setAutoFillBackground(true);
    // A large size shows clipped rather than stretching the dialog.
    lblExample->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    lblExample->setMinimumHeight(48);
    (new QVBoxLayout(fraExample))->addWidget(lblExample);

    auto* grid = new QGridLayout(page);
    grid->addWidget(labelFor(txtBackcolor, tr("Backcolor:")), 0, 0);
    grid->addWidget(txtBackcolor, 0, 1);
    grid->addWidget(cmdBrowseBGColor, 0, 2);
    grid->addWidget(labelFor(cmbFont, tr("Font:")), 1, 0);
    grid->addWidget(cmbFont, 1, 1, 1, 2);
    grid->addWidget(labelFor(cmbFontSize, tr("Font size:")), 2, 0);
    grid->addWidget(cmbFontSize, 2, 1, 1, 2);
    grid->addWidget(labelFor(cmbOnOpen, tr("Do on open:")), 3, 0);
    grid->addWidget(cmbOnOpen, 3, 1, 1, 2);
    grid->addWidget(fraExample, 4, 0, 1, 3);
    chkSpellCheck =
        named(new QCheckBox(tr("Check spelling as you type."), page), QStringLiteral("chkSpellCheck"));
    cmbSpellLanguage = named(new QComboBox(page), QStringLiteral("cmbSpellLanguage"));
    chkSpellComments =
        named(new QCheckBox(tr("Check comments, and the strings of style sheets and scripts."), page),
              QStringLiteral("chkSpellComments"));
    grid->addWidget(chkSpellCheck, 5, 0, 1, 3);
    grid->addWidget(labelFor(cmbSpellLanguage, tr("Spelling dictionary:")), 6, 0);
    grid->addWidget(cmbSpellLanguage, 6, 1, 1, 2);
    grid->addWidget(chkSpellComments, 7, 0, 1, 3);
}

void frmSettings::fillFromSettings() {
    const Settings& s = m_main.settings();
    txtJavaCompiler->setText(s.JavaCompiler);
    txtDefDir->setText(s.DefaultDir);
    chkLastDir->setChecked(s.LastDir);
    txtSkin->setText(s.SkinPath);
    cmbExtention->setEditText(s.DefaultFormat);
    chkUseColors->setChecked(s.UseColors);
    // A line break the store holds but the list does not name shows nothing and stays as it is.
    cmbLineBreak->setCurrentIndex(s.DefaultNewLN == kCrLf                 ? 0
                                  : s.DefaultNewLN == QLatin1String("\n") ? 1
                                  : s.DefaultNewLN == QLatin1String("\r") ? 2
                                                                          : -1);
    const bool tab = s.Indent == QLatin1String("\t");
    optIndTab->setChecked(tab);
    optIndOth->setChecked(!tab);
    txtIndent->setText(tab ? QString() : s.Indent);
    // The colours as documents show them under the palette in use.
    m_filledColors = ShownColors(s, DarkPaletteInUse());
    for (int i = 0; i < 4; ++i)
        setBoxColor(txtHTMLcolor[i], m_filledColors[kBoxSlots[i]]);
    setBoxColor(txtBackcolor, m_filledColors.background);
    txtTabWidth->setValue(s.TabWidth);
    chkHighlightLine->setChecked(s.HighlightLine);
    chkAutoIndent->setChecked(s.AutoIndent);
    chkCloseTags->setChecked(s.CloseTags);
    chkRestoreSession->setChecked(s.RestoreSession);
    // A font this system does not have is still offered, so an OK stores it back unchanged.
    cmbFont->addItems(QFontDatabase::families());
    if (cmbFont->findText(s.Font, Qt::MatchFixedString | Qt::MatchCaseSensitive) < 0)
        cmbFont->insertItem(0, s.Font);
    cmbFont->setCurrentIndex(cmbFont->findText(s.Font, Qt::MatchFixedString | Qt::MatchCaseSensitive));
    cmbFontSize->setEditText(QString::number(s.FontSize));
    cmbOnOpen->setCurrentIndex(s.DoOnOpen);
    chkSpellCheck->setChecked(s.SpellCheck);
    chkSpellComments->setChecked(s.SpellComments);
    // The installed dictionaries; pages that name their language are checked with its own. One the
    // settings name that is not installed is still offered, so an OK keeps it.
    cmbSpellLanguage->addItem(tr("System language"), QString());
    SpellingService* spelling = m_main.spelling();
    spelling->refresh();
    for (const QString& name : spelling->dictionaryNames())
        cmbSpellLanguage->addItem(name, name);
    if (!s.SpellLanguage.isEmpty() && cmbSpellLanguage->findData(s.SpellLanguage) < 0)
        cmbSpellLanguage->addItem(s.SpellLanguage, s.SpellLanguage);
    cmbSpellLanguage->setCurrentIndex(std::max(0, cmbSpellLanguage->findData(s.SpellLanguage)));
    updateExample();
}

ColorValue frmSettings::boxColor(const QLineEdit* box) {
    return valueFromColor(box->palette().color(QPalette::Base));
}

int frmSettings::chosenFontSize() const {
    bool ok = false;
    const int size = cmbFontSize->currentText().toInt(&ok);
    return ok && size >= kMinFontSize && size <= kMaxFontSize ? size : m_main.settings().FontSize;
}

void frmSettings::updateExample() {
    QFont font(cmbFont->currentText());
    font.setPointSize(chosenFontSize());
    lblExample->setFont(font);
    QPalette palette = lblExample->palette();
    palette.setColor(QPalette::WindowText, colorFromValue(boxColor(txtHTMLcolor[1])));
    palette.setColor(QPalette::Window, colorFromValue(boxColor(txtBackcolor)));
    lblExample->setPalette(palette);
}

void frmSettings::tbsOptions_Click() {
    m_pages->setCurrentIndex(tbsOptions->currentIndex());
}

bool frmSettings::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (std::any_of(typed.begin(), typed.end(), [](QChar c) { return kRefusedInPaths.contains(c); }))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

QString frmSettings::browseFile(const QString& filter) {
    Dialogs::FileRequest request;
    request.folder = m_main.dialogFolder();
    request.filter = filter;
    request.filterIndex = 1;
    const QString path = Dialogs::instance().openFile(this, request);
    if (!path.isEmpty() && m_main.settings().LastDir)
        m_main.setDialogFolder(QFileInfo(path).absolutePath());
    return path;
}

void frmSettings::cmdBrowseCompiler_Click() {
    // Programs here seldom have an extension, so every file can be chosen too.
    const QString path = browseFile(QStringLiteral("Executables|*.exe;*.com;*.bat|All Files (*.*)|*.*"));
    if (!path.isEmpty())
        txtJavaCompiler->setText(path);
}

void frmSettings::cmdBrowseSkin_Click() {
    const QString path = browseFile(QStringLiteral("Quillora Skins|*.skn"));
    if (!path.isEmpty())
        txtSkin->setText(path);
}

void frmSettings::cmdBrowserDir_Click() {
    const QString folder = BrowseForFolder(m_main);
    if (!folder.isEmpty())
        txtDefDir->setText(folder);
}

bool frmSettings::chooseBoxColor(QLineEdit* box) {
    const std::optional<QColor> chosen = Dialogs::instance().chooseColor(this, colorFromValue(boxColor(box)));
    if (!chosen)
        return false;
    setBoxColor(box, valueFromColor(*chosen));
    return true;
}

void frmSettings::cmdHTMLbrowse_Click(int index) {
    if (chooseBoxColor(txtHTMLcolor.at(index)) && index == 1)
        updateExample();
}

void frmSettings::cmdBrowseBGColor_Click() {
    if (chooseBoxColor(txtBackcolor))
        updateExample();
}

void frmSettings::cmdOK_Click() {
    Settings& s = m_main.mutableSettings();
    s.JavaCompiler = txtJavaCompiler->text();
    const QString lineBreak = cmbLineBreak->currentText();
    if (lineBreak == QLatin1String("WIN/DOS"))
        s.DefaultNewLN = kCrLf;
    else if (lineBreak == QLatin1String("UNIX"))
        s.DefaultNewLN = QStringLiteral("\n");
    else if (lineBreak == QLatin1String("MAC"))
        s.DefaultNewLN = QStringLiteral("\r");
    s.DefaultDir = txtDefDir->text();
    s.LastDir = chkLastDir->isChecked();
    // The folder is stored as typed; only one that exists becomes the current and dialog folder.
    const QString startFolder = DialogStartFolder(s.DefaultDir, m_main.programFolder());
    if (!s.LastDir && IsFolder(startFolder)) {
        QDir::setCurrent(startFolder);
        m_main.setDialogFolder(startFolder);
    }
    if (!txtSkin->text().isEmpty()) {
        s.SkinPath = txtSkin->text();
        m_main.LoadSkin(s.SkinPath);
    }
    s.Indent = optIndTab->isChecked() ? QStringLiteral("\t") : txtIndent->text();
    storeColors(s);
    s.UseColors = chkUseColors->isChecked();
    s.Font = cmbFont->currentText();
    s.FontSize = chosenFontSize();
    s.TabWidth = txtTabWidth->value();
    s.HighlightLine = chkHighlightLine->isChecked();
    s.AutoIndent = chkAutoIndent->isChecked();
    s.CloseTags = chkCloseTags->isChecked();
    s.RestoreSession = chkRestoreSession->isChecked();
    s.SpellCheck = chkSpellCheck->isChecked();
    s.SpellLanguage = cmbSpellLanguage->currentData().toString();
    s.SpellComments = chkSpellComments->isChecked();
    applyToDocuments();
    s.DefaultFormat = cmbExtention->currentText();
    const int onOpen = DoOnOpenTexts().indexOf(cmbOnOpen->currentText());
    if (onOpen >= 0)
        s.DoOnOpen = onOpen;
    SaveSettings(s);
    accept();
}

void frmSettings::storeColors(Settings& settings) const {
    const bool dark = DarkPaletteInUse();
    // The background first: the defaults of the role colours depend on it.
    if (const ColorValue chosen = boxColor(txtBackcolor); chosen != m_filledColors.background)
        ChooseColor(settings, ColorSlot::Background, chosen, dark);
    for (int i = 0; i < 4; ++i)
        if (const ColorValue chosen = boxColor(txtHTMLcolor[i]); chosen != m_filledColors[kBoxSlots[i]])
            ChooseColor(settings, kBoxSlots[i], chosen, dark);
}

void frmSettings::applyToDocuments() {
    DocumentTable& table = m_main.documents();
    for (int slot = 0; slot < table.slotCount(); ++slot)
        if (frmNotepad* document = table.Documents[slot]; document && !table.DocumentSlots[slot].Free)
            document->applyViewSettings();
}

#include "moc_frmSettings.cpp"
