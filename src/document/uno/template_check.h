#pragma once

#include "document/uno/uno_failure.h"

#include <QString>

#include <rtl/ustring.hxx>

namespace qm::calc {

// The template must be a readable, non-empty file: throws 5152 when the path
// cannot be reached or names no file, 1004 when the file is empty.
void requireReadableTemplate(const QString &templatePath);

// The import filter of the template's spreadsheet format, found by looking at
// the file's contents. Without a filter the office would open any file, a
// garbage one included, as imported text; a file that is no workbook fails with
// 1004.
rtl::OUString spreadsheetFilterFor(OfficeSession &session, const QString &templatePath, const rtl::OUString &url);

}  // namespace qm::calc
