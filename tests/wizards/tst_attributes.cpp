#include "markup/Attributes.h"

#include <QtTest>

class AttributesTest : public QObject {
    Q_OBJECT
private slots:
    void readAttribute_data();
    void readAttribute();
};

void AttributesTest::readAttribute_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("rest");
    QTest::newRow("unquoted last") << R"( BORDER="1" WIDTH=50)"
                                   << "WIDTH="
                                   << "50"
                                   << R"( BORDER="1")";
    QTest::newRow("quoted") << R"( BORDER="1" WIDTH=50)"
                            << "BORDER="
                            << "1"
                            << "  WIDTH=50";
    QTest::newRow("unquoted before quoted") << R"( WIDTH=50 BORDER="1")"
                                            << "WIDTH="
                                            << "50"
                                            << R"( BORDER="1")";
    QTest::newRow("the other one intact") << R"( WIDTH=50 BORDER="1")"
                                          << "border="
                                          << "1"
                                          << " WIDTH=50 ";
    QTest::newRow("not inside a longer name") << R"( DATA-WIDTH="9" WIDTH="5")"
                                              << "WIDTH="
                                              << "5"
                                              << R"( DATA-WIDTH="9" )";
    QTest::newRow("ALINK is not LINK") << R"( ALINK="#f00")"
                                       << "LINK="
                                       << ""
                                       << R"( ALINK="#f00")";
    QTest::newRow("not inside a value") << R"( TITLE="a WIDTH=3" WIDTH=7)"
                                        << "WIDTH="
                                        << "7"
                                        << R"( TITLE="a WIDTH=3")";
    QTest::newRow("after a closing quote") << R"(A="1"WIDTH="2")"
                                           << "width="
                                           << "2"
                                           << R"(A="1")";
    QTest::newRow("ends at >") << " BGCOLOR=red>"
                               << "BGCOLOR="
                               << "red"
                               << ">";
    QTest::newRow("single quotes") << " ALT='a b'"
                                   << "ALT="
                                   << "a b"
                                   << " ";
    QTest::newRow("> inside quotes") << R"~( ONLOAD="if(a>b)x()">)~"
                                     << "ONLOAD="
                                     << "if(a>b)x()"
                                     << " >";
    QTest::newRow("unclosed quote stops at >") << R"( WIDTH="50>)"
                                               << "WIDTH="
                                               << "50"
                                               << " >";
    QTest::newRow("empty value") << R"( WIDTH="" X=1)"
                                 << "WIDTH="
                                 << ""
                                 << R"( WIDTH="" X=1)";
    QTest::newRow("quoted only") << " BORDERCOLOR=red"
                                 << "BORDERCOLOR=\""
                                 << ""
                                 << " BORDERCOLOR=red";
    QTest::newRow("quoted name") << R"( BORDERCOLOR="red" X)"
                                 << "BORDERCOLOR=\""
                                 << "red"
                                 << "  X";
    // Cut from between two pieces that touch it, the pieces stay apart: joined, an unquoted value
    // read next would run from one into the other.
    QTest::newRow("cut from between touching pieces") << R"(B=1;W="50%"W="5 x"red">)"
                                                      << "W="
                                                      << "5 x"
                                                      << R"(B=1;W="50%" red">)";
    QTest::newRow("missing") << " X=1"
                             << "Y="
                             << ""
                             << " X=1";
}

void AttributesTest::readAttribute() {
    QFETCH(QString, text);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QString, rest);
    QCOMPARE(ReadAttribute(0, 0, text, name), value);
    QCOMPARE(text, rest);
}

QTEST_GUILESS_MAIN(AttributesTest)
#include "tst_attributes.moc"
