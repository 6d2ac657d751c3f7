#include "common/taxpayer_number.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace qm::test {

class TaxpayerNumberTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Published numbers: companies' ИНН (Сбербанк, Яндекс, Газпром, and
    // Интернет Решения, whose weighted sum leaves 10, so its check digit is
    // 0) and the tax service's samples of a person's ИНН; then the same
    // numbers mistyped, a 12-digit one whose 12th digit agrees with a wrong
    // 11th, and anything but 10 or 12 digits.
    void checkDigits()
    {
        for (const QString &sound : {u"7707083893"_s, u"7736207543"_s, u"7736050003"_s, u"7704217370"_s,
                                     u"500100732259"_s, u"773370857141"_s}) {
            QVERIFY2(taxpayerNumberCheckDigitsHold(sound), qPrintable(sound));
            QVERIFY(!taxpayerNumberWantsConfirmation(sound));
        }
        for (const QString &broken : {u"7707083894"_s, u"7707038893"_s, u"7704217371"_s, u"500100732258"_s,
                                      u"500100732241"_s, u"770708389300"_s, u"5001007322"_s, u"77070838931"_s,
                                      u"770708389"_s, u"77070 83893"_s, u"7707083893 "_s, u"٧٧٠٧٠٨٣٨٩٣"_s}) {
            QVERIFY2(!taxpayerNumberCheckDigitsHold(broken), qPrintable(broken));
            QVERIFY(taxpayerNumberWantsConfirmation(broken));
        }
        // The field may stay empty; a recalled act brings the archive's one-space placeholder back.
        QVERIFY(!taxpayerNumberWantsConfirmation(u""));
        QVERIFY(!taxpayerNumberWantsConfirmation(u" "));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::TaxpayerNumberTest)
#include "test_taxpayer_number.moc"
