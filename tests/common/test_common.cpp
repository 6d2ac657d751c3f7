#include "common/act_files.h"
#include "common/failure.h"
#include "common/windows1251.h"

#include <QRegularExpression>
#include <QTest>

#include <cerrno>

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
        QVERIFY(bytes->contains('\xB9'));  // №
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

    void cp866Decodes() { QCOMPARE(fromCp866(QByteArray("\x80\xA0\xAF")), u"Аап"_s); }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::CommonTest)
#include "test_common.moc"
