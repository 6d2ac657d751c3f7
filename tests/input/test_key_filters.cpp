#include "common/windows1251.h"
#include "input/field_input_rules.h"

#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The Windows-1251 code of one character, as a typed key delivers it.
int codeOf(QChar character)
{
    return static_cast<unsigned char>(qm::toWindows1251(QString(character)).value().front());
}

using Filter = qint16 (*)(qint16, QLineEdit *, qint16);

// Each row: typed code, NullKeyCode, the code the filter must return, and
// whether the field must have been emptied. The field starts as "123".
void addColumns()
{
    QTest::addColumn<int>("typed");
    QTest::addColumn<int>("nullKeyCode");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("emptied");
}

// What both filters share: Backspace before NullKeyCode, NullKeyCode before
// digits, control and clipboard codes discarded.
void addCommonRows()
{
    QTest::newRow("digit 0") << 48 << 127 << 48 << false;
    QTest::newRow("digit 9") << 57 << 127 << 57 << false;
    QTest::newRow("Backspace") << 8 << 127 << 8 << false;
    QTest::newRow("Backspace while KeyNull is 8") << 8 << 8 << 8 << false;
    QTest::newRow("Ctrl+Backspace is the default KeyNull") << 127 << 127 << 0 << true;
    QTest::newRow("Ctrl+Backspace without that KeyNull") << 127 << 27 << 0 << false;
    QTest::newRow("KeyNull 48 takes 0 before the digit") << 48 << 48 << 0 << true;
    QTest::newRow("KeyNull 49 leaves 0 a digit") << 48 << 49 << 48 << false;
    QTest::newRow("Ctrl+C") << 3 << 127 << 0 << false;
    QTest::newRow("Ctrl+V") << 22 << 127 << 0 << false;
    QTest::newRow("Ctrl+X") << 24 << 127 << 0 << false;
    QTest::newRow("Enter") << 13 << 127 << 0 << false;
    QTest::newRow("space") << 32 << 127 << 0 << false;
    QTest::newRow("minus") << int('-') << 127 << 0 << false;
    QTest::newRow("slash, below 0") << 47 << 127 << 0 << false;
    QTest::newRow("colon, above 9") << 58 << 127 << 0 << false;
    QTest::newRow("Russian б") << codeOf(u'б') << 127 << 0 << false;
}

void checkFilter(Filter filter)
{
    QFETCH(int, typed);
    QFETCH(int, nullKeyCode);
    QFETCH(int, expected);
    QFETCH(bool, emptied);

    QLineEdit field(u"123"_s);
    const qint16 result = filter(static_cast<qint16>(typed), &field, static_cast<qint16>(nullKeyCode));
    QCOMPARE(int(result), expected);
    QCOMPARE(field.text(), emptied ? QString() : u"123"_s);
}

}  // namespace

class KeyFiltersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void digitFilter_data();
    void digitFilter();
    void serialFilter_data();
    void serialFilter();
    void customerRule_data();
    void customerRule();
};

void KeyFiltersTest::digitFilter_data()
{
    addColumns();
    addCommonRows();
    QTest::newRow("Latin small a") << int('a') << 127 << 0 << false;
    QTest::newRow("Latin capital A") << int('A') << 127 << 0 << false;
    QTest::newRow("Russian а") << codeOf(u'а') << 127 << 0 << false;
}

void KeyFiltersTest::digitFilter()
{
    checkFilter(qm::DigitKeyFilter);
}

void KeyFiltersTest::serialFilter_data()
{
    addColumns();
    addCommonRows();

    for (char latin = 'A'; latin <= 'Z'; ++latin) {
        QTest::addRow("Latin capital %c", latin) << int(latin) << 127 << int(latin) << false;
        QTest::addRow("Latin small %c", latin + 32) << latin + 32 << 127 << int(latin) << false;
    }

    // The Russian letter and the Latin capital on the same key.
    const QString russian = u"авгдезийклмнопрстуфцчшщыья"_s;
    const QString latin = u"FDULTPBQRKVYJGHCNEAWXIOSMZ"_s;
    for (qsizetype i = 0; i < russian.size(); ++i) {
        const QChar small = russian.at(i);
        const QChar capital = small.toUpper();
        const int expected = latin.at(i).unicode();
        QTest::addRow("Russian %s", qPrintable(QString(small))) << codeOf(small) << 127 << expected << false;
        QTest::addRow("Russian %s", qPrintable(QString(capital))) << codeOf(capital) << 127 << expected << false;
    }
    for (const QChar letter : u"бжхъэюёБЖХЪЭЮЁ"_s)
        QTest::addRow("Russian %s has no Latin twin", qPrintable(QString(letter)))
            << codeOf(letter) << 127 << 0 << false;

    QTest::newRow("KeyNull set to a letter empties first") << int('F') << int('F') << 0 << true;
    QTest::newRow("at sign, just below A") << int('@') << 127 << 0 << false;
    QTest::newRow("bracket, just above Z") << int('[') << 127 << 0 << false;
    QTest::newRow("backquote, just below a") << int('`') << 127 << 0 << false;
    QTest::newRow("brace, just above z") << int('{') << 127 << 0 << false;
    QTest::newRow("euro sign") << 0x88 << 127 << 0 << false;
}

void KeyFiltersTest::serialFilter()
{
    checkFilter(qm::SerialKeyFilter);
}

void KeyFiltersTest::customerRule_data()
{
    addColumns();
    QTest::newRow("Russian letter") << codeOf(u'ж') << 127 << codeOf(u'ж') << false;
    QTest::newRow("Ctrl+V pastes") << 22 << 127 << 22 << false;
    QTest::newRow("Ctrl+Backspace empties") << 127 << 127 << 0 << true;
    QTest::newRow("Backspace when KeyNull is 8 empties") << 8 << 8 << 0 << true;
    QTest::newRow("Backspace otherwise deletes") << 8 << 127 << 8 << false;
}

void KeyFiltersTest::customerRule()
{
    checkFilter(qm::customerKeyRule);
}

QTEST_MAIN(KeyFiltersTest)
#include "test_key_filters.moc"
