// Runs the customer field's layout switch against a real X server: a private
// Xvfb with the layouts "us,ru", the way a mechanic's desktop is set up.

#include "input/field_input_rules.h"
#include "input/keyboard_layout.h"
#include "support/x11_test_case.h"
#include "xkb_group_probe.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using qm::test::xkbGroupSeenByAnotherClient;

namespace {

struct CustomerForm {
    explicit CustomerForm(qm::KeyboardLayout &layout)
    {
        auto *column = new QVBoxLayout(&window);
        act.inn = new QLineEdit(&window);
        act.customer = new QLineEdit(&window);
        column->addWidget(act.inn);
        column->addWidget(act.customer);
        act.inn->setFocus();
        qm::installFieldInputRules(act, 127, layout);
        window.show();
    }

    // Focus changes are delivered directly: Xvfb has no window manager to
    // grant the window the X input focus reliably.
    void focusCustomer()
    {
        QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(act.customer, &focusIn);
    }

    QWidget window;
    qm::ActTextFields act;
};

}  // namespace

class X11KeyboardLayoutTest : public qm::test::X11TestCase {
    Q_OBJECT
public:
    using X11TestCase::X11TestCase;

private Q_SLOTS:
    void focusingCustomerFieldSwitchesToRussian();
    void unreadableRussianGroupIsLeftAsItIs();
};

void X11KeyboardLayoutTest::focusingCustomerFieldSwitchesToRussian()
{
    const std::unique_ptr<qm::KeyboardLayout> layout = qm::makeSystemKeyboardLayout();
    QCOMPARE(layout->activeLayoutId(), u"00000409"_s);
    QCOMPARE(xkbGroupSeenByAnotherClient(displayName()), 0);

    CustomerForm form(*layout);
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    QCOMPARE(layout->activeLayoutId(), u"00000409"_s);

    form.focusCustomer();
    QCOMPARE(layout->activeLayoutId(), u"00000419"_s);
    QCOMPARE(xkbGroupSeenByAnotherClient(displayName()), 1);

    // Already Russian: a second visit must not step on to English.
    form.focusCustomer();
    QCOMPARE(layout->activeLayoutId(), u"00000419"_s);
    QCOMPARE(xkbGroupSeenByAnotherClient(displayName()), 1);
    // The desktop switches, so the field leaves its keys alone.
    QVERIFY(!form.act.customer->findChild<QWidget *>(u"russianTypingMark"_s)->isVisibleTo(&form.window));
}

// The server names "us" alone while its Russian group is active, as Xwayland
// does: the group cannot be read, so nothing steps the mechanic away from
// Russian, and the field types Russian itself in case the desktop does not.
void X11KeyboardLayoutTest::unreadableRussianGroupIsLeftAsItIs()
{
    QVERIFY(qm::test::lockXkbGroupFromAnotherClient(displayName(), 1));
    QVERIFY(qm::test::advertiseXkbLayouts(displayName(), "us"));
    const std::unique_ptr<qm::KeyboardLayout> layout = qm::makeSystemKeyboardLayout();
    QCOMPARE(layout->activeLayoutId(), QString());

    CustomerForm form(*layout);
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    for (int visit = 0; visit < 2; ++visit) {
        form.focusCustomer();
        QCOMPARE(xkbGroupSeenByAnotherClient(displayName()), 1);
    }
    QVERIFY(form.act.customer->findChild<QWidget *>(u"russianTypingMark"_s)->isVisibleTo(&form.window));
}

int main(int argc, char *argv[])
{
    qm::test::XvfbDisplay xvfb;
    QString skipReason;
    if (!xvfb.start())
        skipReason = u"No X server for the layout test: "_s + xvfb.error();
    else if (!xvfb.run({u"setxkbmap"_s, u"-display"_s, xvfb.name(), u"-layout"_s, u"us,ru"_s}))
        skipReason = u"setxkbmap failed (is x11-xkb-utils installed?)"_s;
    qm::test::prepareApplicationFor(xvfb, skipReason);

    QApplication app(argc, argv);
    X11KeyboardLayoutTest test(xvfb.name(), skipReason);
    return QTest::qExec(&test, argc, argv);
}

#include "test_x11_keyboard_layout.moc"
