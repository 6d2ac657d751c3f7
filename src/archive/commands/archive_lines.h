#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace qm {

// The archive list's lines in the table's natural order, as they read when the
// window was opened: line n stands for record n. Kept as text in large blocks
// rather than one string per line, so a list of a million acts costs little
// more than its characters, and a growing list never copies what it holds.
class ArchiveLines {
public:
    void append(QStringView line);
    // Removes the line of one record; the lines after it move up one position.
    void remove(qsizetype position);

    qsizetype size() const { return qsizetype(spans_.size()); }
    bool isEmpty() const { return spans_.empty(); }
    // Valid until the next append.
    QStringView line(qsizetype position) const;

private:
    struct Span {
        quint32 block;
        quint32 offset;
        quint32 length;
    };

    std::vector<QString> blocks_;
    std::vector<Span> spans_;
};

}  // namespace qm
