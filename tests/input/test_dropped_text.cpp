#include "input/field_input_rules.h"
#include "input/key_rule_filter.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Filter = qint16 (*)(qint16, QLineEdit *, qint16);

// A field of the main window as the input rules equip it: a plain line edit
// with its maximum length and its key rule.
struct RuledField {
    RuledField(Filter filter, qint16 nullKeyCode, int maxLength, qm::KeyRuleFilter::Strictness strictness)
    {
        field.setMaxLength(maxLength);
        field.resize(400, 30);
        field.show();
        new qm::KeyRuleFilter(
            &field, [=](qint16 code, QLineEdit *target) { return filter(code, target, nullKeyCode); }, strictness);
    }
    QLineEdit field;
};

struct Drop {
    QString rule;
    int nullKeyCode;
    int maxLength;
    QString before, dropped, after;
    bool welcome;  // the drop is accepted
};

// Past the end of any text these fields hold: the drop lands after it.
QPoint endOf(const QLineEdit &field)
{
    return {field.width() - 2, field.height() / 2};
}

}  // namespace

// Text dragged from another program onto a field: the field must end up as if
// the text had been typed there, or refuse the drop.
class DroppedTextTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void droppedTextObeysTheKeyRule_data();
    void droppedTextObeysTheKeyRule();
};

void DroppedTextTest::droppedTextObeysTheKeyRule_data()
{
    QTest::addColumn<Drop>("drop");
    QTest::newRow("digits: everything but digits is discarded")
        << Drop{u"digits"_s, 127, 12, QString(), u"ИНН 7707-083 893\r\n"_s, u"7707083893"_s, true};
    QTest::newRow("digits: the maximum length holds")
        << Drop{u"digits"_s, 127, 12, u"1234567890"_s, u"98765"_s, u"123456789098"_s, true};
    QTest::newRow("digits: a drop with no digit is refused")
        << Drop{u"digits"_s, 127, 12, u"12"_s, u"ООО «Ромашка»"_s, u"12"_s, false};
    QTest::newRow("digits: control characters are not text, Backspace deletes nothing")
        << Drop{u"digits"_s, 127, 12, u"77"_s, u"1\t2\b3\x7f"_s, u"77123"_s, true};
    QTest::newRow("digits: the clear key's character is discarded and empties nothing")
        << Drop{u"digits"_s, 48, 12, u"77"_s, u"1020"_s, u"7712"_s, true};
    QTest::newRow("year: four digits at most") << Drop{u"digits"_s, 127, 4, QString(), u"1998 г."_s, u"1998"_s, true};
    QTest::newRow("serial: letters map to Latin capitals as on the keyboard")
        << Drop{u"serial"_s, 127, 12, QString(), u"аЯ-f б9 中😀"_s, u"FZF9"_s, true};
    QTest::newRow("serial: the maximum length holds after mapping")
        << Drop{u"serial"_s, 127, 12, u"12345678901"_s, u"аб2"_s, u"12345678901F"_s, true};
    QTest::newRow("customer: any text passes unchanged")
        << Drop{u"customer"_s, 48, 40, QString(), u"ООО «Ромашка-2000»"_s, u"ООО «Ромашка-2000»"_s, true};
}

void DroppedTextTest::droppedTextObeysTheKeyRule()
{
    QFETCH(Drop, drop);
    const auto &[rule, nullKeyCode, maxLength, before, dropped, after, welcome] = drop;

    using enum qm::KeyRuleFilter::Strictness;
    const Filter filter = rule == u"digits"_s ? qm::DigitKeyFilter
        : rule == u"serial"_s                 ? qm::SerialKeyFilter
                                              : qm::customerKeyRule;
    RuledField ruled(filter, static_cast<qint16>(nullKeyCode), maxLength, rule == u"customer"_s ? Lenient : Strict);
    QLineEdit &field = ruled.field;
    field.setText(before);

    QMimeData data;
    data.setText(dropped);
    QDragEnterEvent enter(endOf(field), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&field, &enter);
    QCOMPARE(enter.isAccepted(), welcome);

    QDropEvent dropEvent(endOf(field), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&field, &dropEvent);
    QCOMPARE(field.text(), after);
    QCOMPARE(dropEvent.isAccepted(), welcome);
    if (welcome)  // what a move's source then removes
        QCOMPARE(dropEvent.dropAction(), Qt::CopyAction);
}

QTEST_MAIN(DroppedTextTest)
#include "test_dropped_text.moc"
