#include "archive/commands/archive_lines.h"

#include <algorithm>

namespace qm {
namespace {

// Large enough that the blocks' own overhead vanishes, small enough that the
// last, partly filled block wastes little.
constexpr qsizetype kBlockCharacters = 32 * 1024;

}  // namespace

void ArchiveLines::append(std::initializer_list<QStringView> parts)
{
    qsizetype length = 0;
    for (QStringView part : parts)
        length += part.size();
    if (blocks_.empty() || blocks_.back().size() + length > blocks_.back().capacity()) {
        QString block;
        block.reserve(std::max(kBlockCharacters, length));
        blocks_.push_back(std::move(block));
    }
    QString &block = blocks_.back();
    spans_.push_back(Span{quint32(blocks_.size() - 1), quint32(block.size()), quint32(length)});
    for (QStringView part : parts)
        block.append(part);
    foldedBlocks_.clear();
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

void ArchiveLines::fold()
{
    while (!foldSome(int(blocks_.size())))
        ;
}

bool ArchiveLines::foldSome(int blocks)
{
    // Folding goes character by character, so a whole block folds as its
    // lines would one by one, in one pass. A block whose folded text came out
    // longer or shorter (characters outside the Basic Multilingual Plane that
    // fold across it) is kept unfolded, so that the spans still fit it.
    for (; blocks > 0 && !isFolded(); --blocks) {
        const QString &block = blocks_[foldedBlocks_.size()];
        QString folded = block.toCaseFolded();
        foldedBlocks_.push_back(folded.size() == block.size() ? std::move(folded) : block);
    }
    return isFolded();
}

QStringView ArchiveLines::foldedLine(qsizetype position) const
{
    const Span &span = spans_[std::size_t(position)];
    return QStringView(foldedBlocks_[span.block]).sliced(span.offset, span.length);
}

}  // namespace qm
