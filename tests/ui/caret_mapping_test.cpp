// The field/code mapping: which code the field's lines make, and where the caret goes
// for a code position, across line breaks and characters outside the BMP.
#include <QTest>

#include "CaretMapping.h"

using namespace zendric;
using namespace Qt::StringLiterals;

namespace {
const QString Emoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // one code point, two UTF-16 units
const QString Para = QString(QChar::ParagraphSeparator);
const QString LineSep = QString(QChar::LineSeparator);
}  // namespace

class CaretMappingTest : public QObject {
  Q_OBJECT

 private slots:
  void codeTextDropsHardBreaksOnly_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("code");
    QTest::newRow("one line") << u"ZN2. W+ X"_s << u"ZN2. W+ X"_s;
    QTest::newRow("line feeds") << u"ZN2. W+\nH-\n X"_s << u"ZN2. W+H- X"_s;
    QTest::newRow("document breaks") << u"ZN2."_s + Para + " W+" << u"ZN2. W+"_s;
    QTest::newRow("line separator") << u"ZN2. W+"_s + LineSep + "H-" << u"ZN2. W+H-"_s;
    QTest::newRow("empty lines") << u"\nZN2.\n\n W\n"_s << u"ZN2. W"_s;
    QTest::newRow("blanks and tabs stay") << u"ZN2. \t W"_s << u"ZN2. \t W"_s;
    QTest::newRow("outside the BMP") << u"ZN2. "_s + Emoji + "\nX" << u"ZN2. "_s + Emoji + "X";
  }
  void codeTextDropsHardBreaksOnly() {
    QFETCH(QString, field);
    QFETCH(QString, code);
    QCOMPARE(CodeTextOfField(field), code);
  }

  void offsetForPosition_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("offset");
    QTest::newRow("first character") << u"ZN2. X"_s << 1 << 1;
    QTest::newRow("last character") << u"ZN2. X"_s << 6 << 6;
    QTest::newRow("one past the end") << u"ZN2. X"_s << 7 << 6;
    QTest::newRow("far past the end") << u"ZN2. X"_s << 99 << 6;
    QTest::newRow("position 0") << u"ZN2. X"_s << 0 << 0;
    QTest::newRow("empty field") << u""_s << 1 << 0;
    // "ZN2. W+" then "H- X": the X is code position 11, field index 11.
    QTest::newRow("after one break") << u"ZN2. W+\nH- X"_s << 11 << 12;
    QTest::newRow("last character of a line") << u"ZN2. W+\nH-"_s << 7 << 7;
    QTest::newRow("first character of the next line") << u"ZN2. W+\nH-"_s << 8 << 9;
    QTest::newRow("after two breaks") << u"ZN2.\n W+\n X"_s << 9 << 11;
    QTest::newRow("empty lines between") << u"ZN2.\n\n\nX"_s << 5 << 8;
    QTest::newRow("document break") << u"ZN2."_s + Para + "X" << 5 << 6;
    QTest::newRow("line separator") << u"ZN2."_s + LineSep + "X" << 5 << 6;
    QTest::newRow("the wide character itself") << u"ZN2. "_s + Emoji + "X" << 6 << 7;
    QTest::newRow("after a wide character") << u"ZN2. "_s + Emoji + "X" << 7 << 8;
    QTest::newRow("wide character, then a break") << u"ZN2."_s + Emoji + "\nX" << 6 << 8;
    QTest::newRow("two wide characters over lines") << Emoji + "\n" + Emoji + "\nX" << 3 << 7;
    QTest::newRow("lone surrogate is one position") << QString(QChar(0xD800)) + "X" << 2 << 2;
  }
  void offsetForPosition() {
    QFETCH(QString, field);
    QFETCH(int, position);
    QFETCH(int, offset);
    QCOMPARE(FieldOffsetForCodePosition(field, position), offset);
  }

  // Whatever the lines, the caret lands right behind the very character the code has there.
  void caretFollowsTheCharacterEverywhere() {
    const QString field = "ZN2.\n" + Emoji + " W+\n\nH-" + Emoji + "\n X";
    const QList<uint> code = CodeTextOfField(field).toUcs4();
    for (int p = 1; p <= code.size(); ++p) {
      const int offset = FieldOffsetForCodePosition(field, p);
      const QString before = field.left(offset);
      QVERIFY2(!before.isEmpty(), qPrintable(QString::number(p)));
      const QList<uint> last = before.right(before.at(before.size() - 1).isLowSurrogate() ? 2 : 1).toUcs4();
      QCOMPARE(last.front(), code[p - 1]);
    }
  }
};

QTEST_APPLESS_MAIN(CaretMappingTest)
#include "caret_mapping_test.moc"
