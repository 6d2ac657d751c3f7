#pragma once

#include <QString>
#include <QStringView>

#include <initializer_list>
#include <vector>

namespace qm {

// The archive list's lines in the table's natural order, as they read when the
// window was opened: line n stands for record n. Kept as text in large blocks
// rather than one string per line, so a list of a million acts costs little
// more than its characters, and a growing list never copies what it holds.
class ArchiveLines {
public:
    // Appends one line made of these parts, joined as they are.
    void append(std::initializer_list<QStringView> parts);
    void append(QStringView line) { append({line}); }
    // Removes the line of one record; the lines after it move up one position.
    void remove(qsizetype position);

    qsizetype size() const { return qsizetype(spans_.size()); }
    bool isEmpty() const { return spans_.empty(); }
    QStringView line(qsizetype position) const;

    // Keeps a case-folded copy of every line beside it, for searches that
    // ignore letter case; lines appended afterwards drop it again. foldSome
    // folds a few blocks more and tells whether all are folded now, for
    // folding a long list a little at a time.
    void fold();
    bool foldSome(int blocks);
    bool isFolded() const { return foldedBlocks_.size() == blocks_.size(); }
    // The case-folded line; only while isFolded().
    QStringView foldedLine(qsizetype position) const;

private:
    struct Span {
        quint32 block;
        quint32 offset;
        quint32 length;
    };

    std::vector<QString> blocks_;
    std::vector<QString> foldedBlocks_;   // block by block, the same spans
    std::vector<Span> spans_;
};

}  // namespace qm
