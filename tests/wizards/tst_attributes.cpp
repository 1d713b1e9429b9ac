#include "markup/Attributes.h"
#include "support/DataTable.h"

#include <QtTest>

class AttributesTest : public QObject {
    Q_OBJECT
private slots:
    void readAttribute_data();
    void readAttribute();
};

// The value read for a name, and the text left once the attribute is cut out of it.
void AttributesTest::readAttribute_data() {
    table({"text", "name", "value", "rest"},
          {R"(unquoted last;  BORDER="1" WIDTH=50; WIDTH=; 50;  BORDER="1")",
           R"(quoted, at the very start; BORDER="1" WIDTH=50; BORDER=; 1;  WIDTH=50)",
           "unquoted before quoted, a CR between;  WIDTH=50\rBORDER=\"1\"; WIDTH=; 50; \rBORDER=\"1\"",
           R"(the other one intact;  WIDTH=50 BORDER="1"; border=; 1;  WIDTH=50 )",
           R"(not inside a longer name;  DATA-WIDTH="9" WIDTH="5"; WIDTH=; 5;  DATA-WIDTH="9" )",
           R"(ALINK is not LINK;  ALINK="#f00"; LINK=; ;  ALINK="#f00")",
           R"(not inside a value;  TITLE="a WIDTH=3" WIDTH=7; WIDTH=; 7;  TITLE="a WIDTH=3")",
           R"(after a closing quote; A="1"WIDTH="2"; width=; 2; A="1")",
           "ends at >;  BGCOLOR=red>; BGCOLOR=; red; >", "single quotes;  ALT='é€ 😀'; ALT=; é€ 😀;  ",
           R"~(> inside quotes;  ONLOAD="if(a>b)x()">; ONLOAD=; if(a>b)x();  >)~",
           R"(unclosed quote stops at >;  WIDTH="50>; WIDTH=; 50;  >)",
           R"(empty value;  WIDTH="" X=1; WIDTH=; ;  WIDTH="" X=1)",
           R"(quoted name wanted, none there;  BORDERCOLOR=red; BORDERCOLOR="; ;  BORDERCOLOR=red)",
           R"(quoted name;  BORDERCOLOR="red" X; BORDERCOLOR="; red;   X)",
           R"~(unquoted ends at a quote;  BORDER=1"5 a" WIDTH=2; BORDER=; 1; "5 a" WIDTH=2)~",
           R"(cut from between touching pieces; B=1;W="50%"W="5 x"red">; W=; 5 x; B=1;W="50%" red">)"});
}

void AttributesTest::readAttribute() {
    QFETCH(QString, text);
    QFETCH(QString, name);
    QTEST(ReadAttribute(0, 0, text, name), "value");
    QTEST(text, "rest");
}

QTEST_GUILESS_MAIN(AttributesTest)
#include "tst_attributes.moc"
