#include "archive/commands/archive_lines.h"

#include <algorithm>

namespace qm {
namespace {

// Large enough that the blocks' own overhead vanishes, small enough that the
// last, partly filled block wastes little.
constexpr qsizetype kBlockCharacters = 32 * 1024;

}  // namespace

void ArchiveLines::append(QStringView line)
{
    if (blocks_.empty() || blocks_.back().size() + line.size() > blocks_.back().capacity()) {
        QString block;
        block.reserve(std::max(kBlockCharacters, line.size()));
        blocks_.push_back(std::move(block));
    }
    QString &block = blocks_.back();
    spans_.push_back(Span{quint32(blocks_.size() - 1), quint32(block.size()), quint32(line.size())});
    block.append(line);
}

void ArchiveLines::remove(qsizetype position)
{
    // The text stays in its block: one deleted act is not worth moving the rest.
    spans_.erase(spans_.begin() + position);
}

QStringView ArchiveLines::line(qsizetype position) const
{
    const Span &span = spans_[std::size_t(position)];
    return QStringView(blocks_[span.block]).sliced(span.offset, span.length);
}

}  // namespace qm
