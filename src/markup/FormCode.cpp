#include "markup/FormCode.h"

#include "markup/Attributes.h"

#include <QtGlobal>

#include <initializer_list>
#include <utility>

namespace {

const QString crlf = QStringLiteral("\r\n");

using Attribute = std::pair<const char*, const QString*>;

// " NAME=\"value\"" for each attribute with a value, in the order given.
QString attributes(std::initializer_list<Attribute> list) {
    QString text;
    for (const auto& [name, value] : list)
        text += QuotedAttribute(name, *value);
    return text;
}

} // namespace

// The captions are English; the wizard shows them in the user's language (context "FormCode").
const FormObjectType FormObjectTypes[FormObjectTypeCount] = {
    {QT_TRANSLATE_NOOP("FormCode", "Button"), "<INPUT TYPE=\"BUTTON\"", "Button", "",
     UsesValue | UsesOnClick},
    {QT_TRANSLATE_NOOP("FormCode", "Check Box"), "<INPUT TYPE=\"CHECKBOX\"", "", "",
     UsesValue | UsesChecked | UsesOnClick},
    {QT_TRANSLATE_NOOP("FormCode", "Combo Box"), "<SELECT", "", "",
     UsesValue | UsesSelections | UsesOnChange | UsesOnClick},
    {QT_TRANSLATE_NOOP("FormCode", "Hidden"), "<INPUT TYPE=\"HIDDEN\"", "", "", UsesValue},
    {QT_TRANSLATE_NOOP("FormCode", "List"), "<SELECT MULTIPLE", "", "",
     UsesValue | UsesSelections | UsesOnChange | UsesOnClick},
    {QT_TRANSLATE_NOOP("FormCode", "Radio Button"), "<INPUT TYPE=\"RADIO\"", "", "",
     UsesValue | UsesChecked | UsesOnClick},
    {QT_TRANSLATE_NOOP("FormCode", "Reset Button"), "<INPUT TYPE=\"RESET\"", "Reset", "Reset",
     UsesValue | UsesOnClick},
    {QT_TRANSLATE_NOOP("FormCode", "Submit Button"), "<INPUT TYPE=\"SUBMIT\"", "Submit", "Submit",
     UsesValue | UsesOnClick},
    {QT_TRANSLATE_NOOP("FormCode", "Text Area"), "<TEXTAREA", "", "",
     UsesValue | UsesRows | UsesCols | UsesOnChange | UsesOnClick},
    {QT_TRANSLATE_NOOP("FormCode", "Text Field"), "<INPUT TYPE=\"TEXT\"", "", "",
     UsesValue | UsesSize | UsesMaxLength | UsesOnChange | UsesOnClick},
};

QString BuildFormCode(const FormFields& f) {
    return QStringLiteral("<FORM") +
           attributes({{"NAME", &f.Name},
                       {"ACTION", &f.Action},
                       {"METHOD", &f.Method},
                       {"CLASS", &f.Class},
                       {"ENCTYPE", &f.EncType},
                       {"ID", &f.ID},
                       {"LANG", &f.Lang},
                       {"LANGUAGE", &f.Language},
                       {"TARGET", &f.Target},
                       {"TITLE", &f.Title}}) +
           QLatin1Char('>') + crlf + crlf + QStringLiteral("</FORM>") + crlf;
}

bool SelectionCountAccepted(const QString& selections) {
    if (selections.isEmpty())
        return true;
    bool ok = false;
    const qulonglong count = selections.toULongLong(&ok);
    return ok && count <= MaxFormSelections;
}

namespace {

QString optionLine(const ObjectFields& f, const QString& indent) {
    return indent + QStringLiteral("<OPTION>") + f.Value + QStringLiteral("</OPTION>") + crlf;
}

} // namespace

bool ObjectCodeFits(int type, const ObjectFields& f, const QString& indent) {
    if (type != FormComboBox && type != FormList)
        return true; // at most a few boxes' worth of text
    const qint64 options = static_cast<qint64>(optionLine(f, indent).size()) * f.Selections.toLongLong();
    return options <= MaxFormCodeLength;
}

QString BuildObjectCode(int type, const ObjectFields& f, const QString& indent) {
    if (type < 0 || type >= FormObjectTypeCount || !SelectionCountAccepted(f.Selections) ||
        !ObjectCodeFits(type, f, indent))
        return QString();
    const bool select = type == FormComboBox || type == FormList;
    const QString noValue;
    QString code = QLatin1String(FormObjectTypes[type].opening) +
                   attributes({{"NAME", &f.Name},
                               {"VALUE", select || type == FormTextArea ? &noValue : &f.Value},
                               {"SIZE", &f.Size},
                               {"MAXLENGTH", &f.MaxLength},
                               {"ROWS", &f.Rows},
                               {"COLS", &f.Cols},
                               {"ONCHANGE", &f.OnChange},
                               {"ONCLICK", &f.OnClick}});
    if (f.Checked && (FormObjectTypes[type].fields & UsesChecked))
        code += QStringLiteral(" CHECKED");
    code += QLatin1Char('>') + crlf;
    if (select) {
        code += optionLine(f, indent).repeated(f.Selections.toInt());
        code += QStringLiteral("</SELECT>") + crlf;
    } else if (type == FormTextArea) {
        code += f.Value + crlf + QStringLiteral("</TEXTAREA>") + crlf;
    }
    return code;
}
