#include "app/prompts/guarded_command.h"
#include "app/prompts/qt_prompts.h"
#include "common/failure.h"
#include "support/log_capture.h"
#include "support/scripted_prompts.h"

#include <QTest>

#include <new>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace qm::test {

class PromptsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fileFilterBecomesQtFilter()
    {
        QCOMPARE(QtPrompts::toQtFilter(u"Шаблон акта|Quillmarch.xls"_s), u"Шаблон акта (Quillmarch.xls)"_s);
        QCOMPARE(QtPrompts::toQtFilter(u"Книги|*.xls;*.xlsx|Все|*"_s), u"Книги (*.xls *.xlsx);;Все (*)"_s);
    }

    void guardedCommandShowsTheFailureAndGoesOn()
    {
        ScriptedPrompts prompts;
        QVERIFY(!runGuarded(prompts, [] { throw Failure(53, u"Файл QM.dbf не найден."_s); }));
        QVERIFY(!runGuarded(prompts, [] { throw std::bad_alloc(); }));
        QVERIFY(runGuarded(prompts, [] {}));
        QCOMPARE(prompts.messages.size(), 2);
        QCOMPARE(prompts.messages[0].text, u"Ошибка 53\r\n\r\nФайл QM.dbf не найден."_s);
        QCOMPARE(prompts.messages[0].title, u"Quillmarch"_s);
        QCOMPARE(prompts.messages[0].icon, PromptIcon::Critical);
        QVERIFY(prompts.messages[1].text.startsWith(u"Ошибка 7\r\n"_s));
    }

    // The mechanic reads Russian only; what a layer said in English, and the
    // command that failed, are in the log.
    void guardedCommandLogsWhatItShowsAndKeepsTheTechnicalTextOff()
    {
        ScriptedPrompts prompts;
        const LogCapture log;
        runGuarded(prompts, u"Архив", [] { throw Failure(3049, u"Архив повреждён."_s, u"bad header at 0x20"_s); });
        runGuarded(prompts, u"Очистить", [] { throw std::runtime_error("vector::_M_range_check"); });
        QCOMPARE(prompts.messages.size(), 2);
        QCOMPARE(prompts.messages[0].text, u"Ошибка 3049\r\n\r\nАрхив повреждён."_s);
        QCOMPARE(prompts.messages[1].text, u"Ошибка 1004\r\n\r\nВнутренняя ошибка программы."_s);
        QVERIFY2(log.joined().contains(u"failure 3049 at step \"Архив\": Архив повреждён. [bad header at 0x20]"_s),
                 qPrintable(log.joined()));
        QVERIFY2(log.joined().contains(u"failure 1004 at step \"Очистить\""_s)
                     && log.joined().contains(u"vector::_M_range_check"_s),
                 qPrintable(log.joined()));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::PromptsTest)
#include "test_prompts.moc"
