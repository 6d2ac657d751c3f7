#pragma once

#include "archive/archive_record_text.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

namespace qm {

struct CodePageFolding;

// The archive window's search: a record matches when its list line or any of
// its nine text facts contains the text, letter case ignored (Ё and ё alike,
// not е), and its date also when written with leading zeros ("07.12.2026")
// or without ("7.12.2026"). The same as folding every text with
// QString::toCaseFolded() and asking contains(), but done on the record's
// bytes in the table's code page, so that a search over a million acts needs
// neither their decoded text in memory nor decoding them on every keystroke.
class ArchiveFilter {
public:
    // The empty text matches every record.
    ArchiveFilter(const ArchiveRecordText &columns, const QString &text);

    // record: a record's bytes, deletion flag first.
    bool matches(QByteArrayView record) const;

private:
    bool contains(QByteArrayView text) const;
    bool textCellsMatch(QByteArrayView record) const;
    bool candidateMatches(const unsigned char *record, qsizetype at) const;
    QByteArrayView factBytes(ArchiveFact fact, QByteArrayView record, QByteArray &scratch) const;
    bool dateMatchesEitherWay(QByteArrayView date) const;

    const ArchiveRecordText &columns_;
    const CodePageFolding &folding_;
    QByteArray pattern_;        // folded, one byte a character
    bool possible_ = true;      // false: a character the code page cannot hold
    bool acrossParts_ = false;  // the text may span a line's separator
    bool dateLike_ = false;     // digits and dots with a dot or a zero: worth writing the date both ways
    bool endsInText_ = false;   // its last character is never padding
    // The text columns among the facts, searched on the whole record at once:
    // for each byte of a record, which fact's cell it lies in (-1 for none)
    // and where that cell ends.
    std::vector<signed char> factAt_;
    std::vector<int> cellEnd_;
    std::vector<ArchiveFact> otherFacts_;    // dates and numbers, searched as text
    std::vector<unsigned char> firstBytes_;  // the raw bytes that fold to the first character
    mutable QByteArray scratch_;
    mutable QByteArray line_;
};

}  // namespace qm
