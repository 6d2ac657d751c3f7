// The customer field where the desktop cannot switch to Russian: it types the
// Russian layout by key position. Key presses carry X keycodes as the xcb and
// Wayland platforms deliver them.

#include "input/field_input_rules.h"
#include "support/fake_keyboard_layout.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// X keycodes of the keys the cases press.
enum Keycode : quint32 {
    K3 = 12,
    KR = 27,
    KI = 31,
    KBracketL = 34,
    KBracketR = 35,
    KF = 41,
    KH = 43,
    KJ = 44,
    KL = 46,
    KSemicolon = 47,
    KApostrophe = 48,
    KGrave = 49,
    KV = 55,
    KComma = 59,
    KPeriod = 60,
    KSlash = 61
};

// The X state's lock bit, as xcb reports Caps Lock.
constexpr quint32 kCapsLock = 0x2;

// One key press and release as the desktop's layout types it.
void press(QWidget *field, quint32 keycode, const QString &text, Qt::KeyboardModifiers modifiers = {},
           quint32 nativeModifiers = 0)
{
    const int key = text.isEmpty() ? int(Qt::Key_unknown) : int(text.toUpper().front().unicode());
    QKeyEvent down(QEvent::KeyPress, key, modifiers, keycode, 0, nativeModifiers, text);
    QApplication::sendEvent(field, &down);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers, keycode, 0, nativeModifiers, text);
    QApplication::sendEvent(field, &up);
}

struct CustomerField {
    explicit CustomerField(QStringList layouts = {u"00000409"_s}) : layout(std::move(layouts))
    {
        auto *column = new QVBoxLayout(&window);
        act.inn = new QLineEdit(&window);
        act.customer = new QLineEdit(&window);
        act.customer->setMaxLength(40);
        column->addWidget(act.inn);
        column->addWidget(act.customer);
        qm::installFieldInputRules(act, 127, layout);
        window.show();
        if (!QTest::qWaitForWindowActive(&window))
            qFatal("window not active");
        act.customer->setFocus();
    }

    QToolButton *mark() const { return act.customer->findChild<QToolButton *>(u"russianTypingMark"_s); }

    qm::test::FakeKeyboardLayout layout;
    QWidget window;
    qm::ActTextFields act;
};

}  // namespace

class RussianTypingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keysTypeTheRussianLayoutWithinTheFieldsRules()
    {
        CustomerField form;  // the desktop offers no Russian layout
        QLineEdit *field = form.act.customer;
        QSignalSpy edits(field, &QLineEdit::textEdited);
        QVERIFY(!field->testAttribute(Qt::WA_InputMethodEnabled));
        QVERIFY(form.mark()->isVisible());
        QVERIFY(form.mark()->isChecked());
        QVERIFY(field->rect().contains(form.mark()->geometry()));

        // "ООО" typed as Shift+J J J; Caps Lock shows in the letter's own case.
        press(field, KJ, u"J"_s, Qt::ShiftModifier);
        press(field, KJ, u"j"_s);
        press(field, KJ, u"J"_s);
        press(field, KGrave, u"~"_s, Qt::ShiftModifier);
        press(field, K3, u"#"_s, Qt::ShiftModifier);
        press(field, KPeriod, u"."_s);
        press(field, KSlash, u"/"_s);
        press(field, KSlash, u"?"_s, Qt::ShiftModifier);
        QCOMPARE(field->text(), u"ОоОЁ№ю.,"_s);
        QCOMPARE(edits.size(), 8);

        // Undo takes back translated keys as it takes back a typed word; a
        // key without a scan code passes as it is, and so does a shortcut.
        QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(field->text(), QString());
        QTest::keyClick(field, Qt::Key_X);
        QCOMPARE(field->text(), u"x"_s);

        // The clear key still empties the field, and its maximum length holds.
        QTest::keyClick(field, Qt::Key_Backspace, Qt::ControlModifier);
        QCOMPARE(field->text(), QString());
        field->setText(QString(39, u'x'));
        press(field, KH, u"h"_s);
        press(field, KH, u"h"_s);
        QCOMPARE(field->text(), QString(39, u'x') + u"р"_s);

        // Pasted text is not translated.
        field->clear();
        QGuiApplication::clipboard()->setText(u"Romashka"_s);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(field->text(), u"Romashka"_s);

        // Leaving the field gives it back its input method and hides the mark.
        form.act.inn->setFocus();
        QVERIFY(field->testAttribute(Qt::WA_InputMethodEnabled));
        QVERIFY(!form.mark()->isVisible());
    }

    // Caps Lock gives capitals on the keys that are Russian letters but not
    // Latin ones too, Shift with it small letters, as the Russian layout does.
    void capsLockTypesCapitalsOnEveryRussianLetter()
    {
        CustomerField form;  // the desktop offers no Russian layout
        QLineEdit *field = form.act.customer;
        const quint32 keys[] = {KSemicolon, KBracketL, KComma, KPeriod, KApostrophe, KBracketR, KGrave};
        const QString plain = u";[,.']`"_s, shifted = u":{<>\"}~"_s;
        for (int i = 0; i < 7; ++i)
            press(field, keys[i], plain.at(i), {}, kCapsLock);
        for (int i = 0; i < 7; ++i)
            press(field, keys[i], shifted.at(i), Qt::ShiftModifier, kCapsLock);
        press(field, KJ, u"J"_s, {}, kCapsLock);
        press(field, KJ, u"j"_s, Qt::ShiftModifier, kCapsLock);
        press(field, K3, u"#"_s, Qt::ShiftModifier, kCapsLock);
        press(field, KSlash, u"/"_s, {}, kCapsLock);
        QCOMPARE(field->text(), u"ЖХБЮЭЪЁжхбюэъёОо№."_s);
    }

    // He switches himself, or clicks the mark: his choice holds until the
    // field loses the focus.
    void theMechanicsOwnChoiceWins()
    {
        CustomerField form;  // the desktop offers no Russian layout
        QLineEdit *field = form.act.customer;
        press(field, KR, u"r"_s);
        press(field, KL, u"д"_s);  // his own switch to a Russian layout
        press(field, KJ, u"j"_s);  // and back: Latin, as he asks
        QCOMPARE(field->text(), u"кдj"_s);
        QVERIFY(!form.mark()->isChecked());
        QVERIFY(field->testAttribute(Qt::WA_InputMethodEnabled));

        QTest::mouseClick(form.mark(), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), field);
        press(field, KV, u"v"_s);
        QTest::mouseClick(form.mark(), Qt::LeftButton);
        press(field, KV, u"v"_s);
        QCOMPARE(field->text(), u"кдjмv"_s);

        const QAccessibleInterface *mark = QAccessible::queryAccessibleInterface(form.mark());
        QCOMPARE(mark->text(QAccessible::Name), u"РУ"_s);
        QVERIFY(!mark->state().checked);
        QVERIFY(!mark->text(QAccessible::Description).isEmpty());

        // A new visit translates again.
        form.act.inn->setFocus();
        field->setFocus();
        press(field, KI, u"i"_s);
        QCOMPARE(field->text(), u"кдjмvш"_s);
    }
};

QTEST_MAIN(RussianTypingTest)
#include "test_russian_typing.moc"
