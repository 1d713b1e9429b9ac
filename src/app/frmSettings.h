#pragma once

#include "editor/ThemeColors.h"
#include "platform/Colors.h"

#include <QDialog>
#include <QStringList>
#include <array>

class frmQuillora;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTabBar;

// "Quillora - Settings": the preferences in memory on three pages. Nothing changes until OK, which
// stores every value, gives every open document the background and font at once, loads the chosen
// button skin and writes the settings store. Cancel changes nothing.
class frmSettings : public QDialog {
    Q_OBJECT
public:
    frmSettings(frmQuillora& main, QWidget* parent);

    QTabBar* tbsOptions = nullptr;
    std::array<QWidget*, 3> picOptions{};
    // General
    QLineEdit *txtJavaCompiler = nullptr, *txtDefDir = nullptr, *txtSkin = nullptr, *txtIndent = nullptr;
    QPushButton *cmdBrowseCompiler = nullptr, *cmdBrowserDir = nullptr, *cmdBrowseSkin = nullptr;
    QComboBox *cmbLineBreak = nullptr, *cmbExtention = nullptr;
    QCheckBox* chkLastDir = nullptr;
    QRadioButton *optIndTab = nullptr, *optIndOth = nullptr;
    // HTML Colors: tag, text, value and comment colour, in that order.
    QCheckBox* chkUseColors = nullptr;
    QCheckBox *chkHighlightLine = nullptr, *chkAutoIndent = nullptr, *chkRestoreSession = nullptr;
    QCheckBox* chkCloseTags = nullptr;
    std::array<QLineEdit*, 4> txtHTMLcolor{};
    std::array<QPushButton*, 4> cmdHTMLbrowse{};
    QSpinBox* txtTabWidth = nullptr; // tab stops every so many characters
    // Documents
    QLineEdit* txtBackcolor = nullptr;
    QPushButton* cmdBrowseBGColor = nullptr;
    QComboBox *cmbFont = nullptr, *cmbFontSize = nullptr, *cmbOnOpen = nullptr;
    QGroupBox* fraExample = nullptr;
    QLabel* lblExample = nullptr;
    // Spelling: checked as typed, the dictionary of pages that name no language, comments and strings.
    QCheckBox *chkSpellCheck = nullptr, *chkSpellComments = nullptr;
    QComboBox* cmbSpellLanguage = nullptr;

    QPushButton *cmdOK = nullptr, *cmdCancel = nullptr;

    // The colour a colour box shows (its background).
    static ColorValue boxColor(const QLineEdit* box);

public slots:
    void tbsOptions_Click();
    void cmdBrowseCompiler_Click();
    void cmdBrowseSkin_Click();
    void cmdBrowserDir_Click();
    void cmdHTMLbrowse_Click(int index);
    void cmdBrowseBGColor_Click();
    void cmdOK_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildGeneralPage(QWidget* page);
    void buildColorsPage(QWidget* page);
    void buildDocumentsPage(QWidget* page);
    void fillFromSettings();
    // A file through the shared file dialog; "" when cancelled.
    QString browseFile(const QString& filter);
    // The colour dialog over a colour box; false when cancelled.
    bool chooseBoxColor(QLineEdit* box);
    // The sample label in the text colour, background, font and size the boxes show now.
    void updateExample();
    // The size in the size box when it is a usable size, else the size in memory.
    int chosenFontSize() const;
    // Background and font for every open document, without marking a clean one changed.
    void applyToDocuments();
    // The colour boxes into the settings: a box left as it was filled keeps its setting, so a
    // default stays a default that follows the palette.
    void storeColors(Settings& settings) const;

    frmQuillora& m_main;
    QStackedWidget* m_pages = nullptr;
    DocumentColors m_filledColors; // what the colour boxes were filled with
};

// The texts that stand for the "DoOnOpen" codes 0 to 6, by code.
QStringList DoOnOpenTexts();
