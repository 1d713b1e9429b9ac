#include <QApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QDebug>
#include "platform/RichTextControl.h"
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  RichTextControl c;
  c.setText("ab\r\ncd\r\n\r\nef");
  qDebug() << c.document()->toRawText() << c.text() << c.textLength() << c.document()->characterCount();
  c.paint(0, 14, 255);
  c.paint(2, 1, 65280);  // CR of line 0
  c.paint(4, 1, 16711680); // 'c'
  for (int i = 0; i < c.textLength(); ++i) qDebug() << i << c.charAt(i) << c.colorAt(i);
  qDebug() << c.textRange(3, 4) << c.textRange(2, 1) << c.textRange(0,14);
  c.select(4,0); c.setSelColor(123); c.setSelText("X"); qDebug() << c.text() << c.colorAt(4);
  return 0;
}
