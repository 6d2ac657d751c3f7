#include "common/act_files.h"

using namespace Qt::StringLiterals;

namespace qm {
namespace {

// Longest part of a name taken from a typed text: the customer field holds 40
// characters, so this only guards against a stored text from elsewhere.
constexpr qsizetype kLongestNamePart = 60;

// Characters a file name on this or a Windows file server cannot hold, and
// control characters, become "_"; leading dots (hidden files) and surrounding
// blanks go.
QString safeNamePart(const QString &text)
{
    QString safe;
    safe.reserve(text.size());
    for (const QChar c : text.trimmed()) {
        const bool forbidden = c.unicode() < 0x20 || c == u'\x7f' || QStringView(u"/\\:*?\"<>|").contains(c);
        safe.append(forbidden ? u'_' : c);
    }
    while (safe.startsWith(u'.'))
        safe.remove(0, 1);
    return safe.left(kLongestNamePart).trimmed();
}

}  // namespace

QString actPdfFolder(const QString &programFolder)
{
    return programFolder + u"/Акты"_s;
}

QString actPdfFileName(const QDate &date, const QString &customer, const QString &serialNumber, quint32 recordNumber)
{
    QStringList parts{date.toString(u"yyyy-MM-dd"_s)};
    for (const QString &text : {customer, serialNumber}) {
        const QString part = safeNamePart(text);
        if (!part.isEmpty())
            parts.append(part);
    }
    parts.append(u"№%1"_s.arg(recordNumber));
    return parts.join(u' ') + u".pdf"_s;
}

}  // namespace qm
