#pragma once

#include <QString>

// The attributes of a FORM tag, as typed; an empty one is left out.
struct FormFields {
    QString Name, Action, Method, Class, EncType, ID, Lang, Language, Target, Title;
};

// "<FORM" with the attributes in the fixed order NAME, ACTION, METHOD, CLASS, ENCTYPE, ID, LANG,
// LANGUAGE, TARGET, TITLE, then ">", an empty line and "</FORM>", every line ended by CR LF.
QString BuildFormCode(const FormFields& fields);

// The fields of a form control that a type of control uses besides its name.
enum FormObjectField : unsigned {
    UsesValue = 1u << 0,
    UsesSelections = 1u << 1,
    UsesSize = 1u << 2,
    UsesMaxLength = 1u << 3,
    UsesChecked = 1u << 4,
    UsesRows = 1u << 5,
    UsesCols = 1u << 6,
    UsesOnChange = 1u << 7,
    UsesOnClick = 1u << 8,
};

// One type of form control: its caption in the type list, the opening of its tag, the name and
// value it starts with, and the fields it uses.
struct FormObjectType {
    const char* caption;
    const char* opening;
    const char* defaultName;
    const char* defaultValue;
    unsigned fields;
};

// The ten types, in the order of the type list; FormObjectTypes is indexed by them.
enum FormObjectKind {
    FormButton,
    FormCheckBox,
    FormComboBox,
    FormHidden,
    FormList,
    FormRadioButton,
    FormResetButton,
    FormSubmitButton,
    FormTextArea,
    FormTextField,
    FormObjectTypeCount
};
extern const FormObjectType FormObjectTypes[FormObjectTypeCount];

// The largest number of options a list or combo box is given.
enum { MaxFormSelections = 32767 };

// The most characters of options a control is given: a long value repeated thousands of times
// would make gigabytes of text.
constexpr qint64 MaxFormCodeLength = 16 * 1024 * 1024;

// A control's fields, as typed.
struct ObjectFields {
    QString Name, Value, Selections, Size, MaxLength, Rows, Cols, OnChange, OnClick;
    bool Checked = false;
};

// Whether `selections` is empty or a whole number from 0 to MaxFormSelections.
bool SelectionCountAccepted(const QString& selections);

// Whether the control's options stay within MaxFormCodeLength characters.
bool ObjectCodeFits(int type, const ObjectFields& fields, const QString& indent);

// The markup of one control of the type at `type` (a FormObjectKind): its tag with the
// name, the value (not for lists, combo boxes and text areas), SIZE, MAXLENGTH, ROWS, COLS,
// ONCHANGE, ONCLICK and CHECKED (check boxes and radio buttons); a list's or combo box's options,
// each indented by `indent` and holding the value, and its end tag; a text area's value on its
// own line and its end tag. Every line is ended by CR LF. "" for a type out of range, a refused
// number of options or options beyond MaxFormCodeLength.
QString BuildObjectCode(int type, const ObjectFields& fields, const QString& indent);
