#include "input/typed_character.h"

#include <QKeyEvent>
#include <QTest>

using namespace Qt::StringLiterals;
using Kind = qm::TypedCharacter::Kind;

Q_DECLARE_METATYPE(Kind)

class TypedCharacterTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void codeOfKeyPress_data();
    void codeOfKeyPress();
};

void TypedCharacterTest::codeOfKeyPress_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("code");

    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;

    QTest::newRow("Latin small letter") << int(Qt::Key_F) << none << u"f"_s << Kind::Code << 102;
    QTest::newRow("Cyrillic small а is 224") << 0x0410 << none << u"а"_s << Kind::Code << 224;
    QTest::newRow("Cyrillic capital Я is 223")
        << 0x042F << Qt::KeyboardModifiers(Qt::ShiftModifier) << u"Я"_s << Kind::Code << 223;
    QTest::newRow("euro sign has a Windows-1251 byte") << int(Qt::Key_unknown) << none << u"€"_s << Kind::Code << 0x88;
    QTest::newRow("Chinese character has none") << 0x4E2D << none << u"中"_s << Kind::Unencodable << 0;

    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << u"\b"_s << Kind::Code << 8;
    QTest::newRow("Ctrl+Backspace, X11 text") << int(Qt::Key_Backspace) << ctrl << u"\b"_s << Kind::Code << 127;
    QTest::newRow("Return") << int(Qt::Key_Return) << none << u"\r"_s << Kind::Code << 13;
    QTest::newRow("Ctrl+Return") << int(Qt::Key_Return) << ctrl << u"\r"_s << Kind::Code << 10;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << none << u"\x1b"_s << Kind::Code << 27;

    QTest::newRow("Ctrl+C, synthesized text") << int(Qt::Key_C) << ctrl << u"c"_s << Kind::Code << 3;
    QTest::newRow("Ctrl+C, X11 text") << int(Qt::Key_C) << ctrl << u"\x03"_s << Kind::Code << 3;
    QTest::newRow("Ctrl+C on the Russian layout") << int(Qt::Key_C) << ctrl << u"с"_s << Kind::Code << 3;
    QTest::newRow("Ctrl+V on the Russian layout") << int(Qt::Key_V) << ctrl << u"м"_s << Kind::Code << 22;
    QTest::newRow("Ctrl+Shift+X") << int(Qt::Key_X) << (ctrl | Qt::ShiftModifier) << u"X"_s << Kind::Code << 24;

    QTest::newRow("Alt+F is no character")
        << int(Qt::Key_F) << Qt::KeyboardModifiers(Qt::AltModifier) << u"f"_s << Kind::None << 0;
    QTest::newRow("AltGr-style Ctrl+Alt uses the text")
        << int(Qt::Key_E) << (ctrl | Qt::AltModifier) << u"€"_s << Kind::Code << 0x88;
    QTest::newRow("Delete, whose X11 text is DEL") << int(Qt::Key_Delete) << none << u"\x7f"_s << Kind::None << 0;
    QTest::newRow("Left arrow") << int(Qt::Key_Left) << none << QString() << Kind::None << 0;
    QTest::newRow("Tab moves focus") << int(Qt::Key_Tab) << none << u"\t"_s << Kind::None << 0;
}

void TypedCharacterTest::codeOfKeyPress()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, text);
    QFETCH(Kind, kind);
    QFETCH(int, code);

    const QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
    const qm::TypedCharacter typed = qm::typedCharacterOf(event);
    QCOMPARE(typed.kind, kind);
    if (kind == Kind::Code)
        QCOMPARE(int(typed.code), code);
}

QTEST_GUILESS_MAIN(TypedCharacterTest)
#include "test_typed_character.moc"
