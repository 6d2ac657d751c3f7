#include "common/act_files.h"
#include "common/failure.h"
#include "common/guarded_command.h"
#include "common/qt_prompts.h"
#include "common/system_error_text.h"
#include "common/windows1251.h"
#include "support/log_capture.h"
#include "support/scripted_prompts.h"

#include <QRegularExpression>
#include <QTest>

#include <cerrno>

#include <new>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace qm::test {

class CommonTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A record finds its own copy by its facts and number; a name never holds
    // a separator that would put the copy into another folder.
    void actPdfNamesAreSafeAndTellReprintsApart()
    {
        const QDate date(2026, 12, 7);
        QCOMPARE(actPdfFileName(date, u"ООО «Ромашка»"_s, u"0012345"_s, 42),
                 u"2026-12-07 ООО «Ромашка» 0012345 №42.pdf"_s);
        QCOMPARE(actPdfFileName(date, u" "_s, u" "_s, 7), actPdfFileName(date, QString(), QString(), 7));
        QVERIFY(actPdfFileName(date, u"x"_s, u"1"_s, 1) != actPdfFileName(date, u"x"_s, u"1"_s, 2));
        const QString hostile = actPdfFileName(date, u"../..\\a:b*?\"<>|\nc"_s, u".hidden"_s, 3);
        QVERIFY2(!hostile.contains(u'/') && !hostile.contains(u'\\') && !hostile.contains(u'\n'), qPrintable(hostile));
        QVERIFY2(!hostile.contains(u" ."_s), qPrintable(hostile));
    }

    void windows1251RoundTrip()
    {
        const QString text = u"Ёлка №5 «Ромашка» — ИНН"_s;
        const auto bytes = toWindows1251(text);
        QVERIFY(bytes);
        QCOMPARE(bytes->left(4), QByteArray("\xA8\xEB\xEA\xE0"));
        QVERIFY(bytes->contains('\xB9'));   // №
        QCOMPARE(fromWindows1251(*bytes), text);
    }

    void charactersWithoutAWindows1251ByteAreRefused()
    {
        QVERIFY(!toWindows1251(u"漢字"_s));
        QVERIFY(!toWindows1251(u"Снеговик ☃"_s));
        QVERIFY(toWindows1251(u"Ґрунт €"_s));
    }

    // Failure messages carry the system's reason in Russian whatever the
    // system's language; an unknown number still says which it was.
    void systemReasonsAreRussian()
    {
        static const QRegularExpression latin(u"[A-Za-z]"_s);
        for (int number : {ENOENT, ENOTDIR, EACCES, EPERM, EROFS, ENOSPC, EDQUOT, EEXIST, EIO, ENOLCK})
            QVERIFY2(!systemErrorText(number).isEmpty() && !systemErrorText(number).contains(latin),
                     qPrintable(systemErrorText(number)));
        QCOMPARE(systemErrorText(12345), u"системная ошибка 12345"_s);
    }

    void cp866Decodes()
    {
        QCOMPARE(fromCp866(QByteArray("\x80\xA0\xAF")), u"Аап"_s);
    }

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

QTEST_MAIN(qm::test::CommonTest)
#include "test_common.moc"
