#include "input/field_input_rules.h"
#include "support/fake_keyboard_layout.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Stroke {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QString text;
};
using Strokes = QList<Stroke>;

// The key a character sits on, as Qt reports it (letters as capitals).
Qt::Key keyOf(QChar character)
{
    return static_cast<Qt::Key>(character.toUpper().unicode());
}

Strokes typed(const QString &text)
{
    Strokes strokes;
    for (const QChar character : text)
        strokes.append({keyOf(character), Qt::NoModifier, QString(character)});
    return strokes;
}

Stroke press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, QString text = {})
{
    return {key, modifiers, std::move(text)};
}

const Stroke backspace = press(Qt::Key_Backspace, Qt::NoModifier, u"\b"_s);
const Stroke ctrlBackspace = press(Qt::Key_Backspace, Qt::ControlModifier, u"\b"_s);

const QStringList kFilteredFields{u"txtINN"_s, u"txtZavNum"_s, u"txtGodVyp"_s, u"txtEKLZ"_s, u"txtMIFNS"_s};
const QStringList kAllFields = QStringList{u"txtNameOrg"_s} + kFilteredFields;

// The main window's act text fields, named and limited as there, with their
// key rules installed. Created in the main window's tab order, so focus
// starts in the customer field.
class ActFields {
public:
    ActFields(qint16 nullKeyCode, qm::KeyboardLayout &layout)
    {
        act.customer = box(u"txtNameOrg"_s, 40);
        act.inn = box(u"txtINN"_s, 12);
        act.serialNumber = box(u"txtZavNum"_s, 12);
        act.yearMade = box(u"txtGodVyp"_s, 4);
        act.registrationNumber = box(u"txtEKLZ"_s, 10);
        act.taxInspectorate = box(u"txtMIFNS"_s, 40);
        qm::installFieldInputRules(act, nullKeyCode, layout);
    }

    QWidget *window() { return &owner_; }
    QLineEdit *field(const QString &objectName) const { return owner_.findChild<QLineEdit *>(objectName); }

    qm::ActTextFields act;

private:
    QLineEdit *box(const QString &name, int maxLength)
    {
        auto *edit = new QLineEdit(&owner_);
        edit->setObjectName(name);
        edit->setMaxLength(maxLength);
        return edit;
    }

    QWidget owner_;
};

void send(QLineEdit *field, const Strokes &strokes)
{
    for (const Stroke &stroke : strokes)
        QTest::sendKeyEvent(QTest::Click, field, stroke.key, stroke.text, stroke.modifiers);
}

}  // namespace

Q_DECLARE_METATYPE(Strokes)

class FieldInputRulesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void typing_data();
    void typing();
    void clipboardKeys_data();
    void clipboardKeys();
    void rulesEditLikeTyping();
    void textOutsideKeyPresses();
    void customerFieldSwitchesToRussianOnFocus();

private:
    qm::test::FakeKeyboardLayout layout_{{u"00000409"_s, u"00000419"_s}};
};

void FieldInputRulesTest::typing_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("nullKeyCode");
    QTest::addColumn<QString>("before");
    QTest::addColumn<Strokes>("strokes");
    QTest::addColumn<QString>("after");

    QTest::newRow("serial: Russian and small Latin letters become capitals, others are refused")
        << u"txtZavNum"_s << 127 << QString() << typed(u"аЯf- б中9"_s) << u"FZF9"_s;
    QTest::newRow("serial: mapped letter stops at the maximum length")
        << u"txtZavNum"_s << 127 << u"12345678901"_s << typed(u"аб2"_s) << u"12345678901F"_s;
    QTest::newRow("serial: Ctrl+V on the Russian layout is not the letter V")
        << u"txtZavNum"_s << 127 << u"A"_s << Strokes{press(Qt::Key_V, Qt::ControlModifier, u"м"_s)} << u"A"_s;
    for (const QString &field : {u"txtINN"_s, u"txtGodVyp"_s, u"txtEKLZ"_s, u"txtMIFNS"_s}) {
        QTest::addRow("%s: digits only, Enter refused", qPrintable(field))
            << field << 127 << QString() << (typed(u"a1Z ж+-.,9"_s) << press(Qt::Key_Return, Qt::NoModifier, u"\r"_s))
            << u"19"_s;
    }
    QTest::newRow("INN: arrows and Delete edit as usual, Delete is not KeyNull")
        << u"txtINN"_s << 127 << u"123"_s
        << Strokes{press(Qt::Key_Home), press(Qt::Key_Delete, Qt::NoModifier, u"\x7f"_s), press(Qt::Key_End),
                   press(Qt::Key_Left), typed(u"9"_s).front()}
        << u"293"_s;
    QTest::newRow("customer: any text passes")
        << u"txtNameOrg"_s << 127 << QString() << typed(u"ООО \"Ж-1\" 中"_s) << u"ООО \"Ж-1\" 中"_s;

    for (const QString &field : kAllFields) {
        QTest::addRow("%s: Ctrl+Backspace empties with the default KeyNull", qPrintable(field))
            << field << 127 << u"1234"_s << Strokes{ctrlBackspace} << QString();
        QTest::addRow("%s: KeyNull 48 makes 0 empty the field", qPrintable(field))
            << field << 48 << u"1234"_s << typed(u"0"_s) << QString();
        // The filters test Backspace first; the customer rule does not.
        QTest::addRow("%s: KeyNull 8", qPrintable(field))
            << field << 8 << u"1234"_s << Strokes{backspace} << (field == u"txtNameOrg"_s ? QString() : u"123"_s);
    }
}

void FieldInputRulesTest::typing()
{
    QFETCH(QString, field);
    QFETCH(int, nullKeyCode);
    QFETCH(QString, before);
    QFETCH(Strokes, strokes);
    QFETCH(QString, after);

    ActFields fields(static_cast<qint16>(nullKeyCode), layout_);
    QLineEdit *edit = fields.field(field);
    edit->setText(before);
    send(edit, strokes);
    QCOMPARE(edit->text(), after);
}

// Ctrl+C, Ctrl+X and Ctrl+V over the whole text: discarded in the filtered
// fields, so neither the field nor the clipboard changes; in the customer field
// the text is copied, cut and pasted back.
void FieldInputRulesTest::clipboardKeys_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("clipboardAfter");
    for (const QString &field : kFilteredFields)
        QTest::addRow("%s", qPrintable(field)) << field << u"456"_s;
    QTest::newRow("customer") << u"txtNameOrg"_s << u"123"_s;
}

void FieldInputRulesTest::clipboardKeys()
{
    QFETCH(QString, field);
    QFETCH(QString, clipboardAfter);

    ActFields fields(127, layout_);
    QLineEdit *edit = fields.field(field);
    edit->setText(u"123"_s);
    QApplication::clipboard()->setText(u"456"_s);

    edit->selectAll();
    send(edit, {press(Qt::Key_C, Qt::ControlModifier, u"c"_s), press(Qt::Key_X, Qt::ControlModifier, u"\x18"_s)});
    QCOMPARE(edit->text(), field == u"txtNameOrg"_s ? QString() : u"123"_s);
    send(edit, {press(Qt::Key_V, Qt::ControlModifier, u"v"_s)});
    QCOMPARE(edit->text(), u"123"_s);
    QCOMPARE(QApplication::clipboard()->text(), clipboardAfter);
}

// Replaced and emptied text goes through the field's own editing: maximum
// length, selection, undo and textEdited behave as for typed text.
void FieldInputRulesTest::rulesEditLikeTyping()
{
    ActFields fields(127, layout_);
    QLineEdit *serial = fields.act.serialNumber;
    serial->setText(u"12"_s);
    QSignalSpy edited(serial, &QLineEdit::textEdited);

    send(serial, typed(u"а"_s));
    QCOMPARE(serial->text(), u"12F"_s);
    QCOMPARE(edited.size(), 1);
    QCOMPARE(edited.last().at(0).toString(), u"12F"_s);
    serial->undo();
    QCOMPARE(serial->text(), u"12"_s);

    send(serial, {ctrlBackspace});
    QCOMPARE(serial->text(), QString());
    QCOMPARE(edited.last().at(0).toString(), QString());
    serial->undo();
    QCOMPARE(serial->text(), u"12"_s);

    serial->setText(u"ABC"_s);
    serial->setSelection(1, 1);
    send(serial, typed(u"я"_s));
    QCOMPARE(serial->text(), u"AZC"_s);
}

// Pasting from the context menu is not filtered; an input method, which
// commits text outside key presses, gets nothing past a filtered field.
void FieldInputRulesTest::textOutsideKeyPresses()
{
    ActFields fields(127, layout_);
    QApplication::clipboard()->setText(u"ab-1"_s);
    fields.act.serialNumber->paste();
    QCOMPARE(fields.act.serialNumber->text(), u"ab-1"_s);

    for (const QString &name : kAllFields) {
        QLineEdit *field = fields.field(name);
        field->clear();
        const bool filtered = name != u"txtNameOrg"_s;
        QCOMPARE(field->testAttribute(Qt::WA_InputMethodEnabled), !filtered);
        QInputMethodEvent commit;
        commit.setCommitString(u"ab"_s);
        QApplication::sendEvent(field, &commit);
        QCOMPARE(field->text(), filtered ? QString() : u"ab"_s);
    }
}

void FieldInputRulesTest::customerFieldSwitchesToRussianOnFocus()
{
    qm::test::FakeKeyboardLayout layout({u"00000409"_s, u"00000419"_s});
    ActFields fields(127, layout);

    // The customer field is first in the tab order, so the window opens with
    // the keyboard already switched.
    fields.window()->show();
    fields.window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fields.window()));
    QTRY_VERIFY(fields.act.customer->hasFocus());
    QCOMPARE(layout.steps, 1);
    QCOMPARE(layout.activeLayoutId(), u"00000419"_s);

    // Leaving does not switch back; the user switches to English by hand.
    fields.act.inn->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(fields.act.inn->hasFocus());
    QCOMPARE(layout.steps, 1);
    layout.select(u"00000409"_s);

    fields.act.customer->setFocus(Qt::BacktabFocusReason);
    QTRY_VERIFY(fields.act.customer->hasFocus());
    QCOMPARE(layout.steps, 2);
    QCOMPARE(layout.activeLayoutId(), u"00000419"_s);

    // Already Russian: coming back changes nothing.
    fields.act.serialNumber->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(fields.act.serialNumber->hasFocus());
    fields.act.customer->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(fields.act.customer->hasFocus());
    QCOMPARE(layout.steps, 2);
}

QTEST_MAIN(FieldInputRulesTest)
#include "test_field_input_rules.moc"
