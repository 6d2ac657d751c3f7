// Any bytes as the act template the mechanic picks in the file dialog: the
// reader of the sheet that was active when an .xls workbook was saved. It must
// answer or give up on anything, reading nothing outside the given bytes, and
// tell the other spreadsheet formats (.xlsx and .ods are zip archives, .fods is
// XML) apart from a compound file by giving up on them. A crash, undefined
// behaviour, a leak, a hang, an allocation out of all proportion to the input
// or a wrong answer is a bug.

#include "document/uno/xls_active_sheet.h"
#include "fuzz_check.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>

using namespace qm::fuzz;

namespace {

constexpr char compoundSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Wrapped, not copied: the fuzzer's buffer is exactly the input's size, so
    // AddressSanitizer sees the first byte read past its end.
    const QByteArray file = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::optional<int> index = qm::calc::xlsActiveSheetIndex(file);

    if (!file.startsWith(QByteArrayView(compoundSignature, 8)))
        check(!index, "a file that is no compound file gave an active sheet", QString::number(index.value_or(-1)));
    return 0;
}
