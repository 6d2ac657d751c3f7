#include "common/taxpayer_number.h"

#include <array>
#include <span>

namespace qm {
namespace {

// The weights of the tax service's check digit: the digits before it,
// weighted, summed, taken modulo 11 and then modulo 10.
constexpr std::array<int, 9> kOrganisationWeights{2, 4, 10, 3, 5, 9, 4, 6, 8};
constexpr std::array<int, 10> kPersonFirstWeights{7, 2, 4, 10, 3, 5, 9, 4, 6, 8};
constexpr std::array<int, 11> kPersonSecondWeights{3, 7, 2, 4, 10, 3, 5, 9, 4, 6, 8};

bool onlyDigits(QStringView text)
{
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

int digitAt(QStringView digits, qsizetype index)
{
    return digits.at(index).unicode() - u'0';
}

// Whether the digit after the weighted ones is their check digit.
bool checkDigitHolds(QStringView digits, std::span<const int> weights)
{
    int sum = 0;
    for (std::size_t i = 0; i < weights.size(); ++i)
        sum += weights[i] * digitAt(digits, qsizetype(i));
    return sum % 11 % 10 == digitAt(digits, qsizetype(weights.size()));
}

}  // namespace

bool taxpayerNumberCheckDigitsHold(QStringView inn)
{
    if (!onlyDigits(inn))
        return false;
    if (inn.size() == 10)
        return checkDigitHolds(inn, kOrganisationWeights);
    if (inn.size() == 12)
        return checkDigitHolds(inn, kPersonFirstWeights) && checkDigitHolds(inn, kPersonSecondWeights);
    return false;
}

bool taxpayerNumberWantsConfirmation(QStringView inn)
{
    if (inn.trimmed().isEmpty())
        return false;
    return !taxpayerNumberCheckDigitsHold(inn);
}

}  // namespace qm
