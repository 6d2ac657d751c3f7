#include "archive/archive_filter.h"

#include <QDate>
#include <QHash>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>

namespace qm {

// Case folding of one code page, made once: every byte mapped to the first
// byte whose character folds to the same one, so that comparing mapped bytes
// is comparing folded characters.
struct CodePageFolding {
    std::array<unsigned char, 256> canonical{};
    std::array<bool, 256> space{};
    QHash<char16_t, unsigned char> byFolded;

    explicit CodePageFolding(DbfCodePage codePage)
    {
        for (int byte = 0; byte < 256; ++byte) {
            const char raw = char(byte);
            const QString character = decodeDbfText(QByteArrayView(&raw, 1), codePage);
            const QString folded = character.toCaseFolded();
            const char16_t key = folded.size() == 1 ? folded.front().unicode() : character.front().unicode();
            const auto known = byFolded.constFind(key);
            canonical[std::size_t(byte)]
                = known != byFolded.cend() ? *known : (byFolded.insert(key, uchar(byte)), uchar(byte));
            space[std::size_t(byte)] = character.front().isSpace();
        }
    }
};

namespace {

const CodePageFolding &foldingOf(DbfCodePage codePage)
{
    static const CodePageFolding windows1251(DbfCodePage::Windows1251);
    static const CodePageFolding dos(DbfCodePage::Cp866);
    return codePage == DbfCodePage::Cp866 ? dos : windows1251;
}

QByteArrayView withoutPadding(QByteArrayView cell)
{
    qsizetype end = cell.size();
    while (end > 0 && (cell[end - 1] == ' ' || cell[end - 1] == '\0'))
        --end;
    return cell.first(end);
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

ArchiveFilter::ArchiveFilter(const ArchiveRecordText &columns, const QString &text)
    : columns_(columns), folding_(foldingOf(columns.codePage()))
{
    const QString folded = text.toCaseFolded();
    pattern_.reserve(folded.size());
    dateLike_ = !folded.isEmpty();
    for (const QChar character : folded) {
        const auto byte = folding_.byFolded.constFind(character.unicode());
        if (byte == folding_.byFolded.cend()) {
            possible_ = false;
            return;
        }
        pattern_.append(char(*byte));
        acrossParts_ = acrossParts_ || character == u' ' || character == u'~';
        dateLike_ = dateLike_ && (character == u'.' || (character >= u'0' && character <= u'9'));
    }
    // Without a dot or a zero, the text matches the date written either way
    // only where it matches the digits as stored: the two spellings differ in
    // nothing else.
    dateLike_ = dateLike_ && (folded.contains(u'.') || folded.contains(u'0'));
    if (pattern_.isEmpty())
        return;
    endsInText_ = pattern_.back() != ' ' && pattern_.back() != '\0';
    for (int byte = 0; byte < 256; ++byte) {
        if (folding_.canonical[std::size_t(byte)] == uchar(pattern_.front()))
            firstBytes_.push_back(uchar(byte));
    }
    int recordLength = 1;
    for (int fact = 0; fact < kArchiveFactCount; ++fact)
        recordLength = std::max(recordLength,
                                columns_.field(ArchiveFact(fact)).offset + columns_.field(ArchiveFact(fact)).width);
    factAt_.assign(std::size_t(recordLength), -1);
    cellEnd_.assign(kArchiveFactCount, 0);
    for (int fact = 0; fact < kArchiveFactCount; ++fact) {
        const DbfField &field = columns_.field(ArchiveFact(fact));
        if (field.type != 'C') {
            otherFacts_.push_back(ArchiveFact(fact));
            continue;
        }
        std::fill(factAt_.begin() + field.offset, factAt_.begin() + field.offset + field.width, char(fact));
        cellEnd_[std::size_t(fact)] = field.offset + field.width;
    }
}

bool ArchiveFilter::candidateMatches(const unsigned char *record, qsizetype at) const
{
    const int fact = factAt_[std::size_t(at)];
    if (fact < 0)
        return false;
    const qsizetype end = cellEnd_[std::size_t(fact)];
    const qsizetype length = pattern_.size();
    if (at + length > end)
        return false;
    const auto *needle = reinterpret_cast<const unsigned char *>(pattern_.constData());
    for (qsizetype i = 1; i < length; ++i) {
        if (folding_.canonical[record[at + i]] != needle[i])
            return false;
    }
    if (endsInText_)
        return true;
    // A match ending in spaces counts only before the cell's padding.
    for (qsizetype i = at + length; i < end; ++i) {
        if (record[i] != ' ' && record[i] != '\0')
            return true;
    }
    return false;
}

bool ArchiveFilter::textCellsMatch(QByteArrayView record) const
{
    // One pass over the whole record for the bytes the text can start with,
    // sixteen at a time where the processor allows; only those are looked at
    // further, and only inside a fact's cell.
    const auto *bytes = reinterpret_cast<const unsigned char *>(record.data());
    const qsizetype size = std::min<qsizetype>(record.size(), qsizetype(factAt_.size()));
    qsizetype at = 1;
#if defined(__SSE2__)
    if (firstBytes_.size() <= 4) {
        __m128i wanted[4];
        for (std::size_t i = 0; i < 4; ++i)
            wanted[i] = _mm_set1_epi8(char(firstBytes_[std::min(i, firstBytes_.size() - 1)]));
        for (; at + 16 <= size; at += 16) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + at));
            const __m128i hits
                = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, wanted[0]), _mm_cmpeq_epi8(chunk, wanted[1])),
                               _mm_or_si128(_mm_cmpeq_epi8(chunk, wanted[2]), _mm_cmpeq_epi8(chunk, wanted[3])));
            for (unsigned mask = unsigned(_mm_movemask_epi8(hits)); mask != 0; mask &= mask - 1) {
                if (candidateMatches(bytes, at + std::countr_zero(mask)))
                    return true;
            }
        }
    }
#endif
    const unsigned char first = uchar(pattern_.front());
    for (; at < size; ++at) {
        if (folding_.canonical[bytes[at]] == first && candidateMatches(bytes, at))
            return true;
    }
    return false;
}

bool ArchiveFilter::contains(QByteArrayView text) const
{
    const qsizetype length = pattern_.size();
    const auto *hay = reinterpret_cast<const unsigned char *>(text.data());
    const auto *needle = reinterpret_cast<const unsigned char *>(pattern_.constData());
    const unsigned char first = needle[0];
    for (qsizetype at = 0, last = text.size() - length; at <= last; ++at) {
        if (folding_.canonical[hay[at]] != first)
            continue;
        qsizetype i = 1;
        while (i < length && folding_.canonical[hay[at + i]] == needle[i])
            ++i;
        if (i == length)
            return true;
    }
    return false;
}

QByteArrayView ArchiveFilter::factBytes(ArchiveFact fact, QByteArrayView record, QByteArray &scratch) const
{
    const DbfField &field = columns_.field(fact);
    if (field.type == 'C')
        return withoutPadding(record.sliced(field.offset, field.width));
    // Dates and numbers of older archives: the text the window shows for
    // them, which holds only characters every code page has.
    scratch = encodeDbfText(columns_.factText(fact, record), columns_.codePage()).value_or(QByteArray());
    return scratch;
}

bool ArchiveFilter::dateMatchesEitherWay(QByteArrayView date) const
{
    // Read day first as a recall reads it: "7.12.2026", "07/12/2026", spaces around.
    qsizetype at = 0;
    const qsizetype end = date.size();
    const auto skipSpace = [&] {
        while (at < end && folding_.space[uchar(date[at])])
            ++at;
    };
    const auto number = [&](int minDigits, int maxDigits) {
        int value = 0;
        int digits = 0;
        while (at < end && digits < maxDigits && isDigit(date[at])) {
            value = value * 10 + (date[at] - '0');
            ++at;
            ++digits;
        }
        return digits >= minDigits && (at == end || !isDigit(date[at])) ? value : -1;
    };
    const auto separator = [&] {
        if (at < end && (date[at] == '.' || date[at] == '/' || date[at] == '-')) {
            ++at;
            return true;
        }
        return false;
    };
    skipSpace();
    const int day = number(1, 2);
    if (day < 0 || !separator())
        return false;
    const int month = number(1, 2);
    if (month < 0 || !separator())
        return false;
    const int year = number(4, 4);
    skipSpace();
    if (year < 0 || at != end || !QDate::isValid(year, month, day))
        return false;
    char text[16];
    const int padded = std::snprintf(text, sizeof text, "%02d.%02d.%04d", day, month, year);
    if (contains(QByteArrayView(text, padded)))
        return true;
    const int plain = std::snprintf(text, sizeof text, "%d.%d.%04d", day, month, year);
    return contains(QByteArrayView(text, plain));
}

bool ArchiveFilter::matches(QByteArrayView record) const
{
    if (!possible_)
        return false;
    if (pattern_.isEmpty())
        return true;
    if (textCellsMatch(record))
        return true;
    for (const ArchiveFact fact : otherFacts_) {
        if (contains(factBytes(fact, record, scratch_)))
            return true;
    }
    if (dateLike_ && dateMatchesEitherWay(factBytes(ArchiveFact::Date, record, scratch_)))
        return true;
    if (!acrossParts_)
        return false;  // without a separator's character, a line matches only within one of its facts
    line_.clear();
    for (const ArchiveFact part :
         {ArchiveFact::Date, ArchiveFact::Serial, ArchiveFact::Customer, ArchiveFact::Operation}) {
        if (part != ArchiveFact::Date)
            line_.append(" ~ ");
        line_.append(factBytes(part, record, scratch_));
    }
    return contains(line_);
}

}  // namespace qm
